#include <cmath>
#include <filesystem>

#include <tesraui/ImageBox.h>
#include <tesraui/Texture.h>

#include "Chapter.h"
#include "EngineHarness.h"
#include "Scene.h"
#include "lua/Calls.h"
#include "ui/UI.h"
#include "ui/ZoomController.h"

using namespace vumo;

using harness::Engine;

// The zoomable scene c1.a, a UI object "badge", the demo's picture "items" in the UI's folder, and a
// library script that reaches for the text renderer before it exists.
class ScriptArguments : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.config("scene: c1.a\n");
        folder.put("data/ui/ui.dts",
                   "<Dataset><Object type='ImageBox' name='badge' rect='0,0,10,10'/></Dataset>");
        folder.putJournal("earlyFont = select(2, pcall(font.getTextHeight, 'debug', 'x', 10))\n");
        std::filesystem::copy(std::string(VUMO_DEMO_DIR) + "/data/ui/items.png",
                              folder.path + "/data/ui/items.png");
        folder.put("data/chapters/c1/c1.datadef", "<Dataset><Texture filename='items'/></Dataset>");
        std::filesystem::copy(std::string(VUMO_DEMO_DIR) + "/data/ui/items.png",
                              folder.path + "/data/chapters/c1/items.png");
        folder.put("data/chapters/c1/scenes/a.scene", "__maxZoomScale = 2\n");
        engine.reset(new Engine(folder));
        engine->start();
        ASSERT_NE(Session::getActiveScene(), nullptr) << engine->logText();
    }
    std::string lua(const std::string& expression) { return engine->luaOrError(expression); }
    std::string failure(const std::string& code) { return engine->failure(code); }
    tesraui::ImageBox* root() { return Session::getActiveScene()->getRootObject(); }
    bool rootIsFinite()
    {
        const kavtypes::Vector2 position = root()->getPosition();
        return std::isfinite(position.x) && std::isfinite(position.y) && std::isfinite(root()->getScaleX());
    }
};

TEST_F(ScriptArguments, BadArgumentsRaiseTheirMessageAndChangeNothing)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"ui.messageBox(nil)",
         "Error calling ui.messageBox(table), passed argument 1 as a nil, expected table"},
        {"ui.messageBox(io.stdout)",
         "Error calling ui.messageBox(table), passed argument 1 as a userdata, expected table"},
        {"sys.messageBox('t', 'x', nil)", "Error calling sys.messageBox(string, string, table, [table]), "
                                          "passed argument 3 as a nil, expected table"},
        {"sys.messageBox('t', 'x', {ok = 'note(1)'}, io.stdout)",
         "Error calling sys.messageBox(string, string, table, table), passed argument 4 as a userdata, "
         "expected table"},
        {"dialog.sequence(gvec2(1, 2))",
         "Error calling dialog.sequence(table), passed argument 1 as a userdata, expected table"},
        {"dialog.sequence(nil)",
         "Error calling dialog.sequence(table), passed argument 1 as a nil, expected table"},
        {"object.create('ImageBox', 'made', nil, io.stdout)",
         "Error calling object.create(string, string, object, table), passed argument 4 as a userdata, "
         "expected table"},
        {"scene.focusPoint(0/0, 10)", "scene.focusPoint failed, NaN/INF value passed as argument 1."},
        {"scene.focusPoint(10, math.huge, 2, 0, true)",
         "scene.focusPoint failed, NaN/INF value passed as argument 2."},
        {"scene.focusPoint(10, 10, 0/0)", "scene.focusPoint failed, NaN/INF value passed as argument 3."},
        {"scene.focusPoint(10, 10, 2, -math.huge)",
         "scene.focusPoint failed, NaN/INF value passed as argument 4."},
        {"scene.zoomOut(0/0)", "scene.zoomOut failed, NaN/INF value passed as argument 1."},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(failure(c.first), c.second) << c.first;
    }
    EXPECT_FALSE(UI::getInstance()->isMessageBoxActive());
    EXPECT_EQ(lua("tostring(object.exists('made'))"), "false");
    EXPECT_FLOAT_EQ(root()->getScaleX(), 1.0f);
    EXPECT_TRUE(rootIsFinite());

    // The game runs on, and the same calls with proper arguments work; a nil title table is none.
    engine->frame();
    EXPECT_EQ(failure("sys.messageBox('t', 'x', {ok = 'note(\"ok\")'}, nil)"), "ok");
    EXPECT_EQ(lua("table.concat(journal, ' ')"), "ok");
    EXPECT_EQ(failure("object.create('ImageBox', 'made', nil, nil)"), "ok");
    EXPECT_EQ(failure("scene.focusPoint(80, 60, 2, 0, true)"), "ok");
    EXPECT_FLOAT_EQ(root()->getScaleX(), 2.0f);
    EXPECT_EQ(failure("scene.zoomOut(0)"), "ok");
    EXPECT_FLOAT_EQ(root()->getScaleX(), 1.0f);
    EXPECT_EQ(Engine::errorLines(), 0) << engine->logText();
}

TEST_F(ScriptArguments, ANonFiniteOffsetInTheZoomClampLandsAtTheOrigin)
{
    ZoomController* zoom = UI::getInstance()->getZoomController();
    zoom->focusPoint(NAN, 60, 2, 0, false);
    EXPECT_FLOAT_EQ(root()->getScaleX(), 2.0f);
    EXPECT_TRUE(rootIsFinite());
    EXPECT_EQ(ZoomController::getOffset(), kavtypes::Vector2(0, 0));

    // A root already lost is brought back by the next frame.
    root()->setPosition(INFINITY, NAN);
    engine->frame();
    EXPECT_TRUE(rootIsFinite());
    EXPECT_EQ(ZoomController::getOffset(), kavtypes::Vector2(0, 0));
}

TEST_F(ScriptArguments, FontCallsBeforeTheTextRendererRaise)
{
    EXPECT_EQ(lua("earlyFont"), "font.getTextHeight: the text renderer is not started yet");
    EXPECT_EQ(lua("tostring(font.exists('nothing'))"), "false");
}

TEST_F(ScriptArguments, NamesAreResolvedAlikeByEveryCallOfAFamily)
{
    // Inline text names itself.
    EXPECT_EQ(lua("tostring(text.exists('{hello}')) .. ' ' .. text.getText('{hello}')"), "true hello");
    EXPECT_EQ(lua("tostring(text.exists('nothing'))"), "false");

    // Everything after a dataset's name is the object's name.
    EXPECT_EQ(lua("tostring(object.exists('ui.badge'))"), "true");
    EXPECT_EQ(lua("tostring(object.exists('ui.marker.x'))"), "false");
    EXPECT_EQ(lua("tostring(object.exists('ui.badge.x'))"), "false");

    // One texture file, however it is named, and loaded once.
    EXPECT_EQ(lua("image.createTexture('ui', 'items')"), "data/ui/items.png");
    EXPECT_EQ(lua("image.createTexture('ui', 'items.png')"), "data/ui/items.png");
    EXPECT_EQ(lua("tostring(image.textureExists('ui', 'items')) .. "
                  "tostring(image.textureExists('ui', 'items.png')) .. "
                  "tostring(image.textureExists('ui', 'data/ui/items.png'))"),
              "truetruetrue");
    EXPECT_EQ(failure("image.destroyTexture('ui', 'items.png')"), "ok");
    EXPECT_EQ(lua("tostring(image.textureExists('ui', 'items'))"), "false");
    EXPECT_EQ(lua("image.createTexture('ui', 'items.png')"), "data/ui/items.png");
    EXPECT_EQ(failure("image.destroyTexture('ui', 'items')"), "ok");
    EXPECT_EQ(lua("tostring(image.textureExists('ui', 'items.png'))"), "false");
}

TEST_F(ScriptArguments, ATextureTheChapterFileDeclaresIsOneTextureWhateverNameReachesIt)
{
    Chapter* chapter = Session::getChapter("c1");
    tesraui::Texture* declared = chapter->getTexture("items");
    const size_t textures = chapter->getTextures().size();
    for (const char* name : {"items", "items.png", "./items.png"})
    {
        EXPECT_EQ(lua(std::string("image.createTexture('c1', '") + name + "')"), "items") << name;
        EXPECT_EQ(lua(std::string("tostring(image.textureExists('c1', '") + name + "'))"), "true") << name;
    }
    EXPECT_EQ(chapter->getTextures().size(), textures);
    EXPECT_EQ(chapter->getTexture("items"), declared);
    // Its whole-texture image keeps it, under either name.
    EXPECT_EQ(failure("image.destroyTexture('c1', 'items.png')"),
              "Error destroying texture 'data/chapters/c1/items.png', another image is using it: c1.items");
    EXPECT_EQ(failure("image.createTexture('c1', 'other.png')"),
              "Unable to create texture, 'other.png' not found");
    EXPECT_EQ(Engine::errorLines(), 0) << engine->logText();
}
