#include <functional>

#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>
#include <tesraui/ToggleButton.h>

#include "EngineHarness.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;

namespace
{
    // A UI object "holder" that keeps the red colour image without drawing it, and what hides it and
    // shows it again.
    struct HolderRow
    {
        const char* what;
        std::string objects;
        std::function<void(tesraui::Object*)> hide;
        std::function<void(tesraui::Object*)> show;
        // Whether deleting the holder lets the image go.
        bool leavesWithHolder;
    };

    void setVisible(tesraui::Object* object, bool value)
    {
        object->setProperty("visible", value ? "1" : "0");
    }

    void PrintTo(const HolderRow& row, std::ostream* out)
    {
        *out << row.what;
    }

    const std::vector<int> RED{255, 0, 0, 255};
} // namespace

class ColorImageHolders : public harness::GameTest
{
protected:
    void start(const std::string& objects)
    {
        folder.config();
        folder.put("data/ui/ui.dts", "<Dataset>" + objects + "</Dataset>");
        engine.reset(new Engine(folder));
        engine->start();
    }

    // Well over the five seconds an undrawn colour image is kept for when nothing uses it.
    void idle()
    {
        for (int i = 0; i < 65; ++i)
        {
            engine->frame(0.1f);
        }
    }
};

class ColorImageHolderRows : public ColorImageHolders, public ::testing::WithParamInterface<HolderRow>
{
};

TEST_P(ColorImageHolderRows, KeepTheirImageWhileNotDrawingIt)
{
    start(GetParam().objects);
    tesraui::Object* holder = UI::getUIDataset()->getObject("holder");
    GetParam().hide(holder);
    idle();
    EXPECT_TRUE(UI::getUIDataset()->getImages().hasKey("0xFF0000"));

    GetParam().show(holder);
    engine->frame(0.016f);
    engine->frame(0.016f);
    EXPECT_EQ(engine->pixel(20, 20), RED);

    UI::getUIDataset()->destroyObject(holder);
    idle();
    EXPECT_EQ(UI::getUIDataset()->getImages().hasKey("0xFF0000"), !GetParam().leavesWithHolder);
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ColorImageHolderRows,
    ::testing::Values(
        HolderRow{"composite image",
                  "<CompositeImage name='comp' w='4' h='4'><ImageRef name='0xFF0000' rect='0,0,4,4'/>"
                  "</CompositeImage><Object type='ImageBox' name='holder' rect='0,0,40,40' image='comp'/>",
                  [](tesraui::Object* holder) { setVisible(holder, false); },
                  [](tesraui::Object* holder) { setVisible(holder, true); }, false},
        HolderRow{"normal image of a disabled button",
                  "<Object type='ImageButton' name='holder' rect='0,0,40,40' image='0xFF0000' "
                  "disabled_image='0x0000FF'/>",
                  [](tesraui::Object* holder) { holder->setProperty("enabled", "0"); },
                  [](tesraui::Object* holder) { holder->setProperty("enabled", "1"); }, true},
        HolderRow{"progress and mask of a hidden bar",
                  "<Object type='ProgressBar' name='holder' rect='0,0,40,40' progress_image='0xFF0000' "
                  "mask_image='0x00000000'/>",
                  [](tesraui::Object* holder) { setVisible(holder, false); },
                  [](tesraui::Object* holder) { setVisible(holder, true); }, true},
        HolderRow{"progress of a hidden circle",
                  "<Object type='ProgressCircle' name='holder' rect='0,0,40,40' progress_image='0xFF0000' "
                  "mask_image='0x00000000'/>",
                  [](tesraui::Object* holder) { setVisible(holder, false); },
                  [](tesraui::Object* holder) { setVisible(holder, true); }, true},
        HolderRow{"toggled image of an untoggled button",
                  "<Object type='ToggleButton' name='holder' rect='0,0,40,40' image='0x0000FF' "
                  "toggled_image='0xFF0000'/>",
                  [](tesraui::Object*) {},
                  [](tesraui::Object* holder)
                  { dynamic_cast<tesraui::ToggleButton*>(holder)->setToggled(true); },
                  true}));

TEST_F(ColorImageHolders, ObjectsOfAnotherDatasetKeepTheUIsImages)
{
    start("");
    {
        tesraui::Dataset other("", "other");
        tesraui::ImageBox* box = new tesraui::ImageBox("box", kavtypes::Rectangle(0, 0, 40, 40));
        other.registerObjects(box);
        box->setImageByName("ui.0x00FF00");
        box->setVisible(false);
        UI::getInstance()->getRootObject()->addChild(box);
        idle();
        EXPECT_TRUE(UI::getUIDataset()->getImages().hasKey("0x00FF00"));

        box->setVisible(true);
        engine->frame(0.016f);
        EXPECT_EQ(engine->pixel(20, 20), (std::vector<int>{0, 255, 0, 255}));
    }
    // Its dataset gone, nothing holds it.
    idle();
    EXPECT_FALSE(UI::getUIDataset()->getImages().hasKey("0x00FF00"));
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}
