#include "UpsellTestSupport.h"

using orvalotest::Lines;
using orvalotest::LogCapture;

namespace
{
    class UpsellScreen : public orvalotest::UpsellTest
    {
    };
} // namespace

TEST_F(UpsellScreen, RefusalsLeaveNoDataset)
{
    LogCapture log;
    ASSERT_NE(orvalo::createUpsellScreen(this->scene->root, "dummy"), nullptr);
    EXPECT_EQ(orvalo::createUpsellScreen(this->scene->root, "dummy"), nullptr);
    orvalo::destroyUpsellScreen();
    orvalo::destroyUpsellScreen();
    EXPECT_FALSE(tesraui::getDatasets().hasKey("upsell"));
    orvalo::setUpsellFilename("");
    EXPECT_EQ(orvalo::createUpsellScreen(this->scene->root, "dummy"), nullptr);
    orvalo::setUpsellFilename("upsell/none.dts");
    EXPECT_EQ(orvalo::createUpsellScreen(this->scene->root, "dummy"), nullptr);
    EXPECT_EQ(log.take(), Lines({"Creating Upsell Screen.", "ERROR: Upsell Screen already exists!",
                                 "ERROR: Upsell Screen does not exist!",
                                 "ERROR: Upsell Screen dataset file does not exist: ",
                                 "WARNING: Upsell filename could not be found: upsell/none.dts",
                                 "ERROR: Upsell Screen dataset file does not exist: upsell/none.dts"}));

    // A broken file and a file whose root is not the screen: the reason, and nothing stays.
    const int datasets = tesraui::getDatasets().size();
    this->folder.put("upsell/broken.dts", "<Dataset><Object type=\"UpsellScreen\"");
    this->folder.put("upsell/plain.dts",
                     "<Dataset><Object type=\"Container\" name=\"orvalo_us\" rect=\"0,0,1,1\"/></Dataset>");
    for (const char* file : {"upsell/broken.dts", "upsell/plain.dts"})
    {
        orvalo::setUpsellFilename(file);
        EXPECT_EQ(orvalo::createUpsellScreen(this->scene->root, "dummy"), nullptr);
        Lines lines = log.take();
        ASSERT_EQ(lines.size(), 2u) << file;
        EXPECT_EQ(lines[1].rfind("ERROR: ", 0), 0u);
        EXPECT_EQ(tesraui::getDatasets().size(), datasets);
        EXPECT_EQ(this->scene->root->getChildren().size(), 0);
    }
    orvalo::initData("alpha", "", "games");
    EXPECT_EQ(orvalo::createUpsellScreen(this->scene->root, "dummy"), nullptr);
    EXPECT_TRUE(log.has("ERROR: Can't create Upsell Screen, system path not set!"));
}

TEST_F(UpsellScreen, ScreenButtonsAndTheContactingOverlay)
{
    orvalo::UpsellScreen* screen = orvalo::createUpsellScreen(this->scene->root, "dummy");
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->getParent(), this->scene->root);
    EXPECT_EQ(screen->getZOrder(), 100000);
    EXPECT_TRUE(screen->isAnchorLeft() && screen->isAnchorRight() && screen->isAnchorTop() &&
                screen->isAnchorBottom());
    auto* contacting = get<tesraui::Label>("orvalo_us_label_contacting");
    EXPECT_EQ(contacting->getTextKey(), "{%f} orvalo.OrvaloUpsellContacting");
    EXPECT_EQ(contacting->getText(), "Contacting");
    EXPECT_EQ(screen->getProperty("contact_time_out").toFloat(), 60.0f);
    EXPECT_TRUE(screen->setProperty("contact_time_out", "12.5"));
    EXPECT_EQ(screen->getContactTimeOut(), 12.5f);
    EXPECT_EQ(screen->getPropertyDescriptions().back(),
              PropertyInfo("contact_time_out", PropertyInfo::FLOAT));

    LogCapture log;
    EXPECT_EQ(orvalo::getUpsellLaterButton(), upsell()->getObject("orvalo_us_button_later"));
    EXPECT_EQ(orvalo::getUpsellUnlockButton(), upsell()->getObject("orvalo_us_button_unlock"));
    EXPECT_EQ(orvalo::getUpsellRestoreButton(), nullptr);
    EXPECT_EQ(log.take(), Lines({"ERROR: Could not get 'Restore' button!"}));

    // Whoever shows the overlay makes it visible; its cancel button hides it again.
    EXPECT_FALSE(orvalo::isUpsellOverlayShown());
    tesraui::Object* overlay = upsell()->getObject("orvalo_us_overlay");
    tesraui::Object* cancel = upsell()->getObject("orvalo_us_button_overlay_cancel");
    overlay->setVisible(true);
    cancel->setVisible(true);
    EXPECT_TRUE(orvalo::isUpsellOverlayShown());
    overlay->setAlpha(0);
    EXPECT_FALSE(orvalo::isUpsellOverlayShown());
    overlay->setAlpha(255);
    cancel->triggerEvent("Click", 0u);
    this->frames(1);
    EXPECT_FALSE(orvalo::isUpsellOverlayShown());
    EXPECT_FALSE(overlay->isVisible());
    EXPECT_FALSE(cancel->isVisible());

    orvalo::destroyUpsellScreen();
    EXPECT_EQ(this->scene->root->getChildren().size(), 0);
    EXPECT_EQ(orvalo::getUpsellLaterButton(), nullptr);
    orvalo::hideUpsellOverlay();
    EXPECT_EQ(log.take(), Lines({"ERROR: Could not get 'Later' button, Upsell screen does not exist!",
                                 "ERROR: Upsell Screen does not exist!"}));
}

// Two sliders of one kind in one upsell dataset: each names the boxes, dots and labels it makes after
// itself, so that the screen comes up and each slider runs with parts of its own.
TEST_F(UpsellScreen, TwoSlidersOfAKindEachMakeTheirOwnParts)
{
    const std::pair<const char*, const char*> kinds[] = {
        {"UpsellImageSlider", "image_name_prefix=\"img_\""},
        {"UpsellImageSliderStatic",
         "image_name_prefix=\"pic_\" image_indicator_active=\"dot_on\" image_indicator_inactive=\"dot_off\""},
        {"UpsellTextSlider", "text_key_prefix=\"orvalo.upsell_text_\""}};
    std::string textures;
    for (const char* name :
         {"img_0", "img_1", "img_3", "pic_0", "pic_1", "pic_2", "dot_on", "dot_off", "button"})
        textures += std::string("<Texture filename=\"") + name + "\"/>";
    std::string seen;
    for (const auto& [type, attributes] : kinds)
    {
        std::string sliders;
        for (const char* name : {"one", "two"})
            sliders += std::string("<Object type=\"") + type + "\" name=\"" + name +
                       "\" rect=\"0,0,200,100\" " + attributes + "/>";
        this->folder.put("upsell/two.dts",
                         "<Dataset>" + textures +
                             "<Object type=\"UpsellScreen\" name=\"orvalo_us\" "
                             "rect=\"0,0,1280,720\">" +
                             sliders +
                             "<Object type=\"Label\" name=\"orvalo_us_label_contacting\" "
                             "rect=\"0,0,400,40\"/><Object type=\"ImageButton\" "
                             "name=\"orvalo_us_button_overlay_cancel\" x=\"0\" y=\"0\" image=\"button\"/>"
                             "</Object></Dataset>");
        orvalo::setUpsellFilename("upsell/two.dts");
        seen += std::string(type) + ":";
        if (orvalo::createUpsellScreen(this->scene->root, "dummy") == nullptr)
        {
            seen += " no screen\n";
            continue;
        }
        try
        {
            this->frames(2);
        }
        catch (const quortypes::exception& e)
        {
            seen += " " + std::string(e.getMessage()) + ";";
        }
        for (const char* name : {"one", "two"})
        {
            int own = 0;
            for (tesraui::Object* part : upsell()->getObject(name)->getChildren())
                own += (part->getName().startsWith(hstring(name) + "_") &&
                        upsell()->tryGetObject(part->getName()) == part && part->isHeldPart())
                           ? 1
                           : 0;
            seen += " " + std::string(name) + " " + std::to_string(own);
        }
        seen += "\n";
        orvalo::destroyUpsellScreen();
    }
    // Six rocking boxes; two sliding boxes and a dot for each of three images; two labels.
    EXPECT_EQ(seen, "UpsellImageSlider: one 6 two 6\n"
                    "UpsellImageSliderStatic: one 5 two 5\n"
                    "UpsellTextSlider: one 2 two 2\n");
}

TEST_F(UpsellScreen, AScreenWhoseTreeGoesFirstIsForgotten)
{
    ASSERT_NE(orvalo::createUpsellScreen(this->scene->root, "dummy"), nullptr);
    // The scene's root goes before the store scene destroys the screen.
    this->scene.reset();
    orvalo::destroyUpsellScreen();
    EXPECT_FALSE(tesraui::getDatasets().hasKey("upsell"));
    this->scene = std::make_unique<orvalotest::Scene>();
    ASSERT_NE(orvalo::createUpsellScreen(this->scene->root, "dummy"), nullptr);

    // The framework's shut-down deletes the upsell dataset with the screen in it.
    tesraui::destroy();
    this->scene->dataset = nullptr;
    this->scene.reset();
    EXPECT_EQ(orvalo::getUpsellScreen(), nullptr);
    LogCapture log;
    orvalo::destroyUpsellScreen();
    EXPECT_EQ(log.take(), Lines({"ERROR: Upsell Screen does not exist!"}));
    // The framework starts empty again: its factories need registering anew.
    tesraui::init();
    orvalo::registerObjectFactories();
    this->scene = std::make_unique<orvalotest::Scene>();
    EXPECT_NE(orvalo::createUpsellScreen(this->scene->root, "dummy"), nullptr);
}

TEST_F(UpsellScreen, AScreenDeletedWithItsParentsTreeLeavesNothingBehind)
{
    orvalo::UpsellScreen* screen = orvalo::createUpsellScreen(this->scene->root, "dummy");
    ASSERT_NE(screen, nullptr);
    // The parent's dataset takes the screen down with its own tree, as a scene that ends does.
    this->scene->dataset->destroyObject(this->scene->root);
    this->scene->root = nullptr;
    EXPECT_EQ(orvalo::getUpsellScreen(), nullptr);
    // The rootless dataset is walked every frame: it must not reach the freed screen.
    tesraui::update(0.1f);
    orvalotest::Scene next(1280, 720, "next");
    ASSERT_NE(orvalo::createUpsellScreen(next.root, "dummy"), nullptr);
    EXPECT_NE(orvalo::getUpsellLaterButton(), nullptr);
    orvalo::destroyUpsellScreen();
    EXPECT_FALSE(tesraui::getDatasets().hasKey("upsell"));

    // Ended with the tree and then asked to go, as the store scene's deactivation does: nothing stays.
    ASSERT_NE(orvalo::createUpsellScreen(next.root, "dummy"), nullptr);
    next.dataset->destroyObject(next.root);
    next.root = nullptr;
    orvalo::destroyUpsellScreen();
    EXPECT_FALSE(tesraui::getDatasets().hasKey("upsell"));
}
