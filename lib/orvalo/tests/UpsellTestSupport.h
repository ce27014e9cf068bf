#pragma once

#include <tesraui/Animator.h>
#include <tesraui/ImageBox.h>
#include <tesraui/Label.h>

#include <orvalo/UpsellImageSlider.h>
#include <orvalo/UpsellImageSliderStatic.h>
#include <orvalo/UpsellTextSlider.h>

#include "OrvaloTestSupport.h"

namespace orvalotest
{
    // The promotion data with an upsell dataset of three sliders: a carousel over img_0, img_1 and img_3
    // (100 by 60), a static gallery over pic_0 to pic_2 (100 by 50) with dots of 10 by 10, and a text
    // slider 200 wide over three texts.
    class UpsellTest : public OrvaloTest
    {
    protected:
        std::unique_ptr<Scene> scene;

        void SetUp() override
        {
            OrvaloTest::SetUp();
            this->writePromotionData({"alpha"});
            this->folder.put("system/texts/t.txt",
                             "OrvaloUpsellContacting\n{\nContacting\n}\nupsell_text_0\n{\nfirst\n}\n"
                             "upsell_text_1\n{\nsecond\n}\nupsell_text_2\n{\nthird\n}\n");
            const std::pair<const char*, std::string> images[] = {
                {"img_0", solidPng(100, 60, 255, 0, 0)},     {"img_1", solidPng(100, 60, 0, 255, 0)},
                {"img_3", solidPng(100, 60, 0, 0, 255)},     {"pic_0", solidPng(100, 50, 255, 0, 0)},
                {"pic_1", solidPng(100, 50, 0, 255, 0)},     {"pic_2", solidPng(100, 50, 0, 0, 255)},
                {"other_0", solidPng(80, 40, 255, 255, 0)},  {"other_1", solidPng(80, 40, 0, 255, 255)},
                {"dot_on", solidPng(10, 10, 255, 255, 255)}, {"dot_off", solidPng(10, 10, 90, 90, 90)},
                {"button", solidPng(40, 20, 50, 50, 200)}};
            std::string textures;
            for (const auto& [name, png] : images)
            {
                this->folder.put(std::string("upsell/") + name + ".png", png);
                textures += std::string("<Texture filename=\"") + name + "\"/>";
            }
            this->folder.put(
                "upsell/upsell.dts",
                "<Dataset>" + textures +
                    "<Object type=\"UpsellScreen\" name=\"orvalo_us\" rect=\"0,0,1280,720\">"
                    "<Object type=\"UpsellImageSlider\" name=\"carousel\" rect=\"0,0,600,200\" "
                    "image_name_prefix=\"img_\"/>"
                    "<Object type=\"UpsellImageSliderStatic\" name=\"gallery\" rect=\"0,300,50,50\" "
                    "image_name_prefix=\"pic_\" image_indicator_active=\"dot_on\" "
                    "image_indicator_inactive=\"dot_off\"/>"
                    "<Object type=\"UpsellTextSlider\" name=\"texts\" rect=\"0,500,200,40\" "
                    "text_key_prefix=\"orvalo.upsell_text_\"/>"
                    "<Object type=\"ImageButton\" name=\"orvalo_us_button_later\" x=\"700\" y=\"600\" "
                    "image=\"button\"/>"
                    "<Object type=\"ImageButton\" name=\"orvalo_us_button_unlock\" x=\"800\" y=\"600\" "
                    "image=\"button\"/>"
                    "<Object type=\"Container\" name=\"orvalo_us_overlay\" rect=\"0,0,1280,720\" "
                    "visible=\"0\">"
                    "<Object type=\"Label\" name=\"orvalo_us_label_contacting\" rect=\"0,0,400,40\"/>"
                    "</Object>"
                    "<Object type=\"ImageButton\" name=\"orvalo_us_button_overlay_cancel\" x=\"900\" "
                    "y=\"600\" "
                    "image=\"button\" visible=\"0\"/>"
                    "</Object></Dataset>");
            orvalo::init("alpha", "system", "games", "upsell/upsell.dts");
            this->scene = std::make_unique<Scene>();
        }

        void TearDown() override
        {
            this->scene.reset();
            OrvaloTest::TearDown();
        }

        static tesraui::Dataset* upsell() { return tesraui::getDatasetByName("upsell"); }
        template <class T> static T* get(const hstring& name)
        {
            return dynamic_cast<T*>(upsell()->getObject(name));
        }

        void frames(int count, float step = 1.0f / 60.0f)
        {
            for (int i = 0; i < count; ++i)
            {
                tesraui::processEvents();
                this->scene->root->update(step);
            }
        }

        static harray<tesraui::Animator*> rotators(orvalo::UpsellImageSliderBase* slider)
        {
            harray<tesraui::Animator*> result;
            for (tesraui::ImageBox* box : slider->getImageBoxes())
                for (tesraui::Object* child : box->getChildren())
                    if (auto* animator = dynamic_cast<tesraui::Animator*>(child))
                        result.push_back(animator);
            return result;
        }
    };
} // namespace orvalotest
