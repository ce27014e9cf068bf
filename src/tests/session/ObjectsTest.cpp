#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>

#include "EngineHarness.h"
#include "objects/ColorImage.h"
#include "objects/VumoViewportObject.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

TEST(ViewportObject, KeepsItsRectangleInsideTheObject)
{
    VumoViewportObject viewport("v", kavtypes::Rectangle(0, 0, 100, 100));
    EXPECT_EQ(viewport.getClassName(), "VumoViewportObject");
    viewport.setProperty("viewport", "0.5,0.5,1,1");
    EXPECT_EQ(viewport.getProperty("viewport"), "0.500000,0.500000,0.500000,0.500000");
    viewport.setProperty("viewport", "0.1,0.1,0.2");
    EXPECT_EQ(viewport.getProperty("viewport_w"), "0.500000");
    viewport.setProperty("viewport", "0,0,1,1");
    viewport.setProperty("viewport_x", "0.75");
    EXPECT_EQ(viewport.getProperty("viewport_w"), "0.250000");
    viewport.setProperty("viewport_y", "-3");
    EXPECT_EQ(viewport.getProperty("viewport_y"), "0.000000");
    EXPECT_EQ(viewport.getProperty("viewport_h"), "1.000000");
}

namespace
{
    struct PressRecorder : tesraui::Object
    {
        int presses = 0;
        PressRecorder() : tesraui::Object("recorder", kavtypes::Rectangle(0, 0, 160, 120)) {}
        bool onMouseDown(unsigned int) override
        {
            ++presses;
            return true;
        }
    };
} // namespace

class EngineObjects : public harness::GameTest
{
protected:
    void start(const std::string& objects)
    {
        folder.config();
        folder.put("data/ui/ui.dts", "<Dataset>" + objects + "</Dataset>");
        engine.reset(new Engine(folder));
        engine->start();
    }
};

TEST_F(EngineObjects, PressesDuringASceneLockGoNowhere)
{
    start("");
    PressRecorder* recorder = new PressRecorder();
    UI::getUIDataset()->registerObjects(recorder);
    Session::getViewport()->addChild(recorder);
    Session::lockScene();
    engine->mouse(tesra::Window::MOUSE_DOWN, 50, 50);
    engine->mouse(tesra::Window::MOUSE_UP, 50, 50);
    EXPECT_EQ(recorder->presses, 0);
    Session::unlockScene();
    engine->mouse(tesra::Window::MOUSE_DOWN, 50, 50);
    EXPECT_EQ(recorder->presses, 1);
}

TEST_F(EngineObjects, ColourImagesFillTheirRectangleAndLeaveWhenUnused)
{
    start("<Object type='ImageBox' name='green' rect='0,0,40,40' image='0x00FF00'/>"
          "<Object type='ImageBox' name='red' rect='60,0,40,40' image='0xFF000080' alpha='128'/>");
    engine->frame(0.016f);
    EXPECT_EQ(engine->pixel(20, 20), (std::vector<int>{0, 255, 0, 255}));
    // Half alpha of its own, half of the object's: a quarter of red over the black frame.
    std::vector<int> red = engine->pixel(80, 20);
    EXPECT_NEAR(red[0], 64, 2);
    EXPECT_EQ(red[1], 0);
    EXPECT_EQ(vumo::ColorImage::getRegistry().size(), 2);

    tesraui::Object* green = UI::getUIDataset()->getObject("green");
    green->setProperty("image", "null");
    for (int i = 0; i < 49; ++i)
    {
        engine->frame(0.1f);
    }
    EXPECT_TRUE(UI::getUIDataset()->getImages().hasKey("0x00FF00"));
    for (int i = 0; i < 3; ++i)
    {
        engine->frame(0.1f);
    }
    EXPECT_FALSE(UI::getUIDataset()->getImages().hasKey("0x00FF00"));
    // The one still on screen stays; the other is made again on its next use.
    EXPECT_EQ(vumo::ColorImage::getRegistry().size(), 1);
    green->setProperty("image", "0x00FF00");
    engine->frame(0.016f);
    EXPECT_EQ(engine->pixel(20, 20), (std::vector<int>{0, 255, 0, 255}));
}

TEST_F(EngineObjects, ColourImagesDueTogetherAreCheckedADatasetAFrame)
{
    start("<Object type='Container' name='hidden' rect='0,0,10,10' visible='0'>"
          "<Object type='ImageBox' name='kept' rect='0,0,5,5' image='0x102030'/>"
          "<Object type='ImageBox' name='dropped' rect='0,0,5,5' image='0x405060'/>"
          "</Object>");
    UI::getUIDataset()->getObject("dropped")->setProperty("image", "null");
    // A second dataset: one image in use by a box that is never drawn, and many that nothing uses.
    tesraui::Dataset other("", "other");
    tesraui::ImageBox* box = new tesraui::ImageBox("box", kavtypes::Rectangle(0, 0, 5, 5));
    other.registerObjects(box);
    vumo::ColorImage::registerIfColorName(&other, "0x708090");
    box->setImage(other.getImage("0x708090"));
    for (int i = 0; i < 200; ++i)
    {
        vumo::ColorImage::registerIfColorName(&other, formatString("0x%06X", 0x800000 + i));
    }
    vumo::ColorImage::registerIfColorName(&other, "0xA0B0C0");
    auto names = []
    {
        harray<hstring> result;
        for (vumo::ColorImage* image : vumo::ColorImage::getRegistry())
            result.push_back(image->getDataset()->getName() + "." + image->getName());
        return result;
    };
    ASSERT_EQ(vumo::ColorImage::getRegistry().size(), 204);

    // The first due image's dataset is checked in this frame, the other's in the next.
    vumo::ColorImage::updateAll(5.5f);
    EXPECT_EQ(vumo::ColorImage::getRegistry().size(), 203);
    EXPECT_FALSE(UI::getUIDataset()->getImages().hasKey("0x405060"));
    EXPECT_TRUE(other.getImages().hasKey("0xA0B0C0"));
    vumo::ColorImage::updateAll(0.0f);
    EXPECT_EQ(names(), harray<hstring>({"ui.0x102030", "other.0x708090"}));
    EXPECT_EQ(other.getImages().keys(), harray<hstring>({"0x708090"}));
    EXPECT_EQ(box->getImage()->getName(), "0x708090");

    // Those in use stay, five seconds at a time.
    vumo::ColorImage::updateAll(4.9f);
    vumo::ColorImage::updateAll(0.2f);
    vumo::ColorImage::updateAll(0.0f);
    EXPECT_EQ(names(), harray<hstring>({"ui.0x102030", "other.0x708090"}));
    other.destroyObject(box);
    vumo::ColorImage::updateAll(5.5f);
    vumo::ColorImage::updateAll(0.0f);
    EXPECT_EQ(names(), harray<hstring>({"ui.0x102030"}));
}
