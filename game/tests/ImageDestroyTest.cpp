#include <filesystem>
#include <memory>

#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>

#include "EngineHarness.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;

// The demo's picture "items" in the UI's folder, and the UI dataset file given.
class ImageDestroy : public harness::GameTest
{
protected:
    void start(const std::string& elements)
    {
        folder.config();
        folder.put("data/ui/ui.dts", "<Dataset>" + elements + "</Dataset>");
        std::filesystem::copy(std::string(VUMO_DEMO_DIR) + "/data/ui/items.png",
                              folder.path + "/data/ui/items.png");
        engine.reset(new Engine(folder));
        engine->start();
    }
    std::string failure(const std::string& code) { return engine->failure(code); }
    bool imageExists(const std::string& name) { return UI::getUIDataset()->getImages().hasKey(name); }
};

// Objects keeping images they do not show now: a disabled button's normal image, an untoggled button's
// toggled image, a progress bar's progress and mask images.
TEST_F(ImageDestroy, AnImageKeptButNotShownIsNotDestroyed)
{
    start("<Texture filename='items'><Image name='normal' rect='0,0,8,8'/><Image name='off' rect='8,0,8,8'/>"
          "<Image name='toggled' rect='16,0,8,8'/><Image name='progress' rect='24,0,8,8'/>"
          "<Image name='mask' rect='32,0,8,8'/></Texture>"
          "<Object type='ImageButton' name='button' rect='0,0,8,8' image='items/normal' "
          "disabled_image='items/off'/>"
          "<Object type='ToggleButton' name='toggle' rect='10,0,8,8' image='items/off' "
          "toggled_image='items/toggled'/>"
          "<Object type='ProgressBar' name='bar' rect='20,0,8,8' progress_image='items/progress' "
          "mask_image='items/mask'/>");
    UI::getUIDataset()->getObject("button")->setProperty("enabled", "0");
    engine->frame();
    const std::vector<std::pair<std::string, std::string>> kept = {
        {"items/normal", "ui.button"},
        {"items/toggled", "ui.toggle"},
        {"items/progress", "ui.bar"},
        {"items/mask", "ui.bar"},
    };
    for (const auto& row : kept)
    {
        EXPECT_EQ(failure("image.destroy('ui', '" + row.first + "')"),
                  "Error destroying image 'ui." + row.first + "', another object is using it: " + row.second);
        EXPECT_TRUE(imageExists(row.first)) << row.first;
    }
    UI::getUIDataset()->getObject("button")->setProperty("enabled", "1");
    engine->frame();
    EXPECT_EQ(UI::getUIDataset()->getObject("button")->getImages()[0]->getName(), "items/normal");

    // With their holders gone, each goes.
    EXPECT_EQ(failure("object.destroy('ui.button') object.destroy('ui.toggle') object.destroy('ui.bar')"),
              "ok");
    for (const auto& row : kept)
    {
        EXPECT_EQ(failure("image.destroy('ui', '" + row.first + "')"), "ok");
        EXPECT_FALSE(imageExists(row.first)) << row.first;
    }
    engine->frame();
    EXPECT_EQ(Engine::errorLines(), 0) << engine->logText();
}

TEST_F(ImageDestroy, HoldersOutsideEveryDatasetCountButACompositesOwnReferencesDoNot)
{
    start("<Texture filename='items'><Image name='free' rect='0,0,8,8'/></Texture>");
    std::unique_ptr<tesraui::ImageBox> loose(new tesraui::ImageBox("loose", kavtypes::Rectangle(0, 0, 8, 8)));
    loose->setImage(UI::getUIDataset()->getImage("items/free"));
    EXPECT_EQ(failure("image.destroy('ui', 'items/free')"),
              "Error destroying image 'ui.items/free', another object is using it: an object or image "
              "outside every dataset");
    EXPECT_TRUE(imageExists("items/free"));
    loose.reset();
    EXPECT_EQ(failure("image.destroy('ui', 'items/free')"), "ok");

    // A composite showing itself would draw itself without end: refused, and the composite goes as any.
    EXPECT_EQ(
        failure("image.create({type = 'CompositeImage', dataset = 'ui', name = 'loop', w = 4, h = 4}) "
                "image.setProperty('ui.loop', 'references', {{image = 'ui.loop', w = 4, h = 4}})"),
        "Unable to set 'references' property on image 'ui.loop', a reference to 'ui.loop' would draw the "
        "image inside itself");
    EXPECT_EQ(failure("image.destroy('ui', 'loop')"), "ok");
    EXPECT_FALSE(imageExists("loop"));
}

// A dataset file's texture, by the name it is kept under: its file name as the file gives it, without
// its folder.
class ImageDestroyTexture : public ImageDestroy, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(ImageDestroyTexture, ADatasetFilesTextureIsFoundByItsName)
{
    const std::string name = GetParam();
    start("<Texture filename='" + name + "'/>");
    const std::string exists = "tostring(image.textureExists('ui', '" + name + "'))";
    ASSERT_EQ(engine->lua(exists), "true");
    EXPECT_EQ(failure("image.destroyTexture('ui', '" + name + "')").find("Error destroying texture"), 0u);

    // Only what is found goes.
    EXPECT_NE(failure("image.destroyTexture('ui', 'nothing.png')")
                  .find("Texture doesn't exist: 'data/ui/nothing.png' in dataset 'ui'"),
              std::string::npos);
    EXPECT_EQ(engine->lua(exists), "true");

    EXPECT_EQ(failure("image.destroy('ui', '" + name + "') image.destroyTexture('ui', '" + name + "')"),
              "ok");
    EXPECT_EQ(engine->lua(exists), "false");
    engine->frame();
    EXPECT_EQ(Engine::errorLines(), 0) << engine->logText();
}

INSTANTIATE_TEST_SUITE_P(Names, ImageDestroyTexture, ::testing::Values("items", "items.png"));
