#include <tesra_testing/Png.h>
#include <tesraui/Dataset.h>
#include <tesraui/Texture.h>
#include <tesraui/tesraui.h>

#include "EngineHarness.h"
#include "lua/LuaInterface.h"

using harness::Engine;

namespace
{
    // ch2 declares the textures a and b, with one image each.
    const char* const chapter2 = "<Dataset>"
                                 "<Texture filename='a'><Image name='ia' rect='0,0,4,4'/></Texture>"
                                 "<Texture filename='b'><Image name='ib' rect='0,0,4,4'/></Texture>"
                                 "</Dataset>";

    std::string picture()
    {
        return tesra_testing::makePng(4, 4, [](int, int) { return tesra::Color(200, 40, 40); });
    }
} // namespace

// What scripts destroy while the engine works on it: the scene switch's loading, a composite whose
// references went with their chapter.
class DestroyedResources : public harness::GameTest
{
protected:
    void SetUp() override
    {
        harness::forgetSession();
        folder.config("scene: ch1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/chapters/ch1/ch1.datadef", chapter2);
        folder.put("data/chapters/ch1/a.png", picture());
        folder.put("data/chapters/ch1/b.png", picture());
        folder.put("data/chapters/ch1/scenes/a.scene", "");
        folder.put("data/chapters/ch2/ch2.datadef", chapter2);
        folder.put("data/chapters/ch2/a.png", picture());
        folder.put("data/chapters/ch2/b.png", picture());
        folder.put("data/chapters/ch2/scenes/x.scene", "");
    }
    void start(const std::string& uiScript)
    {
        folder.putJournal(uiScript);
        engine.reset(new Engine(folder));
        engine->start();
        ASSERT_NE(Session::getActiveScene(), nullptr) << engine->logText();
    }
    std::string journal() { return engine->lua("table.concat(journal, ' ')"); }
};

// The loading hook frees the objects, images and textures the switch is loading: the switch loads what
// is left and ends in the new scene, and the textures go at the frame's end.
TEST_F(DestroyedResources, ALoadingHookFreesTheNewScenesTextures)
{
    start("function ui.OnSceneActivating(s)\n"
          "  if s ~= 'ch2.x' then return end\n"
          "  object.create('ImageBox', 'boxa', nil, {x = 0, y = 0, w = 4, h = 4, image = 'ch2.a/ia'})\n"
          "  object.create('ImageBox', 'boxb', nil, {x = 4, y = 0, w = 4, h = 4, image = 'ch2.b/ib'})\n"
          "end\n"
          "function ui.OnUpdateLoading(p)\n"
          "  note(string.format('p%.2f', p))\n"
          "  if p > 0.6 and p < 1 and not freed then\n"
          "    freed = true\n"
          "    object.destroy('ch2.boxa') object.destroy('ch2.boxb')\n"
          "    image.destroy('ch2', 'a/ia') image.destroy('ch2', 'b/ib')\n"
          "    image.destroyTexture('ch2', 'a') image.destroyTexture('ch2', 'b')\n"
          "    note('freed')\n"
          "  end\n"
          "end\n");
    LuaInterface::execute("scene.switch({scene = 'ch2.x', time = 0, effect = 'none'})");
    ASSERT_TRUE(engine->settleAt("ch2.x")) << engine->logText();
    EXPECT_NE(journal().find("freed"), std::string::npos) << journal();
    EXPECT_EQ(engine->lua("tostring(object.exists('ch2.boxa'))"), "false");
    EXPECT_EQ(engine->lua("tostring(image.textureExists('ch2', 'a'))"), "false");
    engine->frame();
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

// A composite of the UI's chapter referencing an image of ch1 keeps the reference after ch1 unloads; the
// reference reads as absent, and the others stay.
TEST_F(DestroyedResources, ACompositesReferencesAfterTheirChapterUnloaded)
{
    start("");
    LuaInterface::execute("image.create({type = 'CompositeImage', dataset = 'ui', name = 'cmp', w = 8, h = 4,"
                          " references = {{image = 'ch1.a/ia', x = 0, y = 0, w = 4, h = 4},"
                          " {image = 'ui.null', x = 4, y = 0, w = 4, h = 4}}})");
    EXPECT_EQ(engine->lua("#image.getProperty('ui.cmp', 'references')"), "2");
    LuaInterface::execute("scene.switch({scene = 'ch2.x', time = 0, effect = 'none'})");
    ASSERT_TRUE(engine->settleAt("ch2.x")) << engine->logText();
    EXPECT_EQ(engine->luaOrError("(function() local r = image.getProperty('ui.cmp', 'references') "
                                 "return #r .. ' ' .. r[1].name .. ' ' .. r[1].x end)()"),
              "1 ui.null 4");
    engine->frame();
}
