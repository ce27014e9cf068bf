#include <filesystem>

#include <tesraui/Dataset.h>

#include "EngineHarness.h"
#include "ui/UI.h"

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
    // The message a protected call of the code raised, without its position, or "ok".
    std::string failure(const std::string& code)
    {
        std::string text = engine->lua("(function() local ok, e = pcall(function() " + code +
                                       " end) return ok and 'ok' or e end)()");
        const size_t at = text.find("]:1: ");
        return at == std::string::npos ? text : text.substr(at + 5);
    }
    bool imageExists(const std::string& name) { return UI::getUIDataset()->getImages().hasKey(name); }
};

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
