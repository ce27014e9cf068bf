#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>

#include <orvalo/UpsellScreen.h>
#include <tesra/Window.h>
#include <yim/yim.h>

#include <tesrauilua/Literal.h>

#include "../../lib/tesravideo/tests/VideoWriter.h"
#include "EngineHarness.h"
#include "Match3Scene.h"
#include "Session.h"
#include "SessionState.h"
#include "VumoPlayerTorvinOrvaloUI.h"
#include "lua/LuaInterface.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

// Every hook and script callback the engine calls, each made to do something destructive the moment it is
// called: destroy what it was called for, its parent, whole trees and every picture of the chapter, change,
// remove, reset or save profiles, switch or reset the scene, end the program or raise. The game must run on
// or end cleanly, with no sanitizer report, and each profile's files must hold only its own data. The hooks
// are the headings of docs/hooks.md, so that a hook documented later is in the matrix at once (and fails
// until it has a way to be called here); the callbacks the page does not list are named below.
namespace
{
    std::string docsDir()
    {
        return std::string(VUMO_SOURCE_DIR) + "/docs";
    }

    // "ui.OnKeyDown" and "OnUpdate" for "### ui.OnKeyDown(keyCode)" and "### OnUpdate(timeDelta)".
    std::vector<std::string> documentedHooks()
    {
        std::vector<std::string> names;
        std::istringstream page(harness::readFile(docsDir() + "/hooks.md"));
        for (std::string line; std::getline(page, line);)
        {
            const size_t open = line.find('(');
            if (line.rfind("### ", 0) != 0 || open == std::string::npos || open == 4)
            {
                continue;
            }
            const std::string name = line.substr(4, open - 4);
            if (name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_.") ==
                std::string::npos)
            {
                names.push_back(name);
            }
        }
        return names;
    }

    // What the engine calls besides the hooks of docs/hooks.md: the inventory's item functions, event
    // handlers, delayed calls, a message box's button, the dialog's reply code, the duel's end.
    const std::vector<std::string> callbacks = {
        "item_<item>_count",
        "item_<item>_count in a profile load",
        "inv_use_item_<item>",
        "inv_combine_<a>_and_<b>",
        "event Click",
        "scene.delayedCall",
        "vumo.delayedCall",
        "message box button",
        "dialog reply",
        "event PlaybackDone",
        "OnLost",
        "OnSolved",
    };

    // Each action is Lua run inside the hook; `self` is the object the hook was called for, or the game's
    // bag on the UI when there is none.
    const std::vector<std::pair<std::string, std::string>> actions = {
        {"destroy self", "object.destroy(self)"},
        {"destroy parent", "object.destroy(object.getParent(self))"},
        {"destroy the scene root's children", "object.destroyChildren(matrix.sceneRoot())"},
        {"destroy ui.root's children", "object.destroyChildren(ui.root_object)"},
        {"destroy the chapters' images and textures", "matrix.destroyPictures()"},
        {"profile.change", "profile.change(matrix.otherProfile())"},
        {"profile.remove", "profile.remove(matrix.otherProfile())"},
        {"profile.sync", "profile.sync()"},
        {"profile.save", "profile.save()"},
        {"profile.reset", "profile.reset()"},
        {"vars.revertToProfile", "vars.revertToProfile()"},
        {"profile.unlockAchievement", "profile.unlockAchievement('rich')"},
        {"scene.switch to another chapter", "scene.switch('ch2.x')"},
        {"scene.switch at once", "scene.switch({scene = 'ch1.b', time = 0, effect = 'none'})"},
        {"scene.reset", "scene.reset()"},
        {"vumo.endProgram", "vumo.endProgram()"},
        {"error", "error('raised on purpose')"},
    };

    // The game: a UI with a bag in a container, two chapters with a picture each, profiles Alpha (marker
    // 111) and Beta (marker 222, holding the key), and every hook and callback reporting to `matrix.hit`.
    const char* const matrixScript = R"(
vars.create('marker', 0)
vars.create('inn_templar_count', 0)
matrix = {calls = 0, done = false, log = {}}
function matrix.sceneRoot()
  local chapter = _G[scene.getChapterName()]
  return chapter[scene.getName()].root_object
end
function matrix.otherProfile()
  return profile.getName() == 'Alpha' and 'Beta' or 'Alpha'
end
-- The scenes' picture boxes first, so that nothing holds the pictures when they go.
function matrix.destroyPictures()
  for _, box in ipairs({'ch1.pica', 'ch1.seconda', 'ch1.picb', 'ch1.secondb', 'ch2.picx', 'ch2.secondx', 'ui.banner'}) do
    if object.exists(box) then pcall(object.destroy, box) end
  end
  for _, dataset in ipairs({'ch1', 'ch2', 'ui'}) do
    for _, texture in ipairs({'pic', 'pic2'}) do
      for _, name in ipairs({'full', 'part'}) do
        if image.exists(dataset, texture .. '/' .. name) then image.destroy(dataset, texture .. '/' .. name) end
      end
      if image.textureExists(dataset, texture) then image.destroyTexture(dataset, texture) end
    end
  end
end
-- Calls that come too early to hurt: the loading hook acts once most of the chapter is there.
local notYet = {
  ['ui.OnUpdateLoading'] = function(progress) return progress < 0.6 or progress >= 1 end,
}
-- The hook of this run does the action of this run, once; every hook counts its calls.
function matrix.hit(name, self, ...)
  if name ~= MATRIX_HOOK then return end
  matrix.calls = matrix.calls + 1
  if matrix.done or (notYet[name] and notYet[name](...)) then return end
  matrix.done = true
  self = self or 'ui.bag'
  local act = loadstring('local self = ...; ' .. MATRIX_ACTION)
  if MATRIX_ACTION:find('^error') then
    return act(self)
  end
  local ok, message = pcall(act, self)
  matrix.log[#matrix.log + 1] = tostring(ok) .. ' ' .. tostring(message)
end
local returns = {
  getUIIdiomOverride = function() return 'pc' end,
  canSaveGame = function() return 1 end,
  displayDialog = function() return 0.1 end,
  getCursorMode = function() return matrix.cursorMode end,
}
local objects = {
  createCursor = function(mode, cursor) return cursor end,
  destroyCursor = function(cursor) return cursor end,
  createMessageBox = function(box) return box end,
}
for _, name in ipairs(MATRIX_UI_HOOKS) do
  ui[name] = function(...)
    local self = objects[name] and objects[name](...) or nil
    matrix.hit('ui.' .. name, self, ...)
    if returns[name] then return returns[name](...) end
  end
end
function ui.displayDialogReplies(replies)
  matrix.hit('ui.displayDialogReplies')
  if dialog.isActive() and dialog.getNumReplies() > 0 then dialog.chooseReply(0) end
end
function ui.createMessageBox(box, params)
  matrix.hit('ui.createMessageBox', box)
  matrix.boxes = (matrix.boxes or 0) + 1
  local button = object.create('TextImageButton', 'matrix_ok' .. matrix.boxes, box,
                               {x = 0, y = 0, w = 40, h = 20, image = '0x305070'})
  object.assignEvent(button, 'Click', params.ok_button or function() end)
end
function item_gem_count() matrix.hit('item_<item>_count', 'ui.bag') return 1 end
function item_key_count() matrix.hit('item_<item>_count in a profile load', 'ui.bag') return 1 end
function inv_use_item_gem() matrix.hit('inv_use_item_<item>', 'ui.bag') end
function inv_combine_ruby_and_gem() matrix.hit('inv_combine_<a>_and_<b>', 'ui.bag') end
function inv_combine_gem_and_ruby() matrix.hit('inv_combine_<a>_and_<b>', 'ui.bag') end
function ui.init()
  profile.change('Alpha')
  object.create('Container', 'hud', ui.root_object, {x = 0, y = 60, w = 160, h = 60, zorder = 50})
  object.create('InventoryPane', 'bag', 'ui.hud', {x = 0, y = 0, w = 160, h = 40})
  object.create('ImageBox', 'banner', 'ui.hud', {x = 0, y = 40, w = 40, h = 20, image = 'ui.pic/full'})
  if MATRIX_HOOK == 'ui.init' then matrix.hit('ui.init') end
end
)";

    // The scene script after a line `local name = '<chapter>.<scene>'`.
    const char* const sceneScript = R"(
local env = getfenv(1)
for _, hook in ipairs({'OnActivate', 'OnDeactivate', 'OnUpdate', 'OnPointerPressed', 'OnPointerReleased',
                       'OnAltPointerPressed', 'OnAltPointerReleased', 'OnPointerCanceled'}) do
  env[hook] = function()
    matrix.hit(hook, name == 'ch1.a' and 'ch1.panel' or nil)
  end
end
-- Every scene shows its chapter's picture, so that a switch loads it; the first keeps two objects across
-- a reset and takes clicks.
local chapter, short = name:match('^(.-)%.(.*)$')
local panel = 'panel' .. (short == 'a' and '' or short)
object.create('Container', panel, root_object, {x = 0, y = 0, w = 160, h = 60})
object.create('ImageBox', 'pic' .. short, chapter .. '.' .. panel,
              {x = 0, y = 0, w = 160, h = 60, image = chapter .. '.pic/full'})
object.create('ImageBox', 'second' .. short, chapter .. '.' .. panel,
              {x = 0, y = 0, w = 20, h = 20, image = chapter .. '.pic2/part'})
if name == 'ch1.a' then
  object.create('Container', 'box__retain', root_object, {x = 0, y = 0, w = 10, h = 10})
  object.create('InventoryPane', 'bag__retain', root_object, {x = 0, y = 100, w = 60, h = 20})
  object.assignEvent('ch1.pica', 'Click', function() matrix.hit('event Click', 'ch1.pica') end)
end
)";

    // Two textures of two pictures each.
    const char* const chapterDataset =
        "<Dataset><Texture filename='pic'><Image name='full' rect='0,0,72,72'/><Image name='part' "
        "rect='0,0,8,8'/>"
        "</Texture><Texture filename='pic2'><Image name='full' rect='0,0,72,72'/>"
        "<Image name='part' rect='0,0,8,8'/></Texture></Dataset>";

    // The store's hooks need the player's own UI and its promotion data.
    bool inGameShell(const std::string& hook)
    {
        return hook == "chapter.onBuy" || hook == "chapter.onRestore";
    }

    struct Game;
    typedef std::function<void(Game&)> Trigger;

    struct Game
    {
        GameFolder folder;
        std::unique_ptr<Engine> engine;
        UI* ui() { return UI::getInstance(); }
        // What the trigger's own code raised: an action in the hook may make it fail, which is the game's.
        std::vector<std::string> errors;
        void lua(const std::string& code)
        {
            try
            {
                LuaInterface::execute(code.c_str());
            }
            catch (const quortypes::exception& e)
            {
                this->errors.push_back(code + ": " + std::string(e.getMessage()));
            }
        }
        std::string value(const std::string& expression) { return this->engine->lua(expression); }
        void frames(int count, float time = 0.05f)
        {
            for (int i = 0; i < count; ++i)
            {
                this->engine->frame(time);
            }
        }
        void click(float x, float y, int button = 1)
        {
            this->engine->mouse(tesra::Window::MOUSE_MOVE, x, y, 0);
            this->engine->frame();
            this->engine->mouse(tesra::Window::MOUSE_DOWN, x, y, button);
            this->engine->frame();
            this->engine->mouse(tesra::Window::MOUSE_UP, x, y, button);
            this->engine->frame();
        }
        void key(int code)
        {
            tesra::window->queueKeyEvent(tesra::Window::KEY_DOWN, code, 0);
            tesra::window->checkEvents();
            tesra::window->queueKeyEvent(tesra::Window::KEY_UP, code, 0);
            tesra::window->checkEvents();
        }
    };

    void writeGame(GameFolder& folder, const std::vector<std::string>& uiHooks, const std::string& hook,
                   const std::string& action)
    {
        folder.config(std::string("scene: ch1.a\n") + (hook == "ui.debugPrint" ? "debug_mode: 1\n" : ""));
        std::string list = "MATRIX_UI_HOOKS = {";
        for (const std::string& name : uiHooks)
        {
            list += "'" + name.substr(3) + "', ";
        }
        list += "}\n";
        folder.put("data/lib/arm.lua", "MATRIX_HOOK = " + tesrauilua::literal(hook.c_str(), '\'') +
                                           "\nMATRIX_ACTION = " + tesrauilua::literal(action.c_str(), '\'') +
                                           "\n" + list);
        folder.put("data/lib/matrix.lua", matrixScript);
        folder.put("cfg/achievements.cfg", "rich\n");
        for (const std::string& chapter :
             {std::string("ui"), std::string("chapters/ch1"), std::string("chapters/ch2")})
        {
            std::filesystem::create_directories(folder.path + "/data/" + chapter);
            std::filesystem::copy_file(harness::anyPicture(), folder.path + "/data/" + chapter + "/pic.png");
            std::filesystem::copy_file(harness::anyPicture(), folder.path + "/data/" + chapter + "/pic2.png");
        }
        std::filesystem::copy_file(harness::anyPicture(), folder.path + "/data/ui/items.png");
        std::filesystem::copy_file(harness::anyPicture(), folder.path + "/data/ui/InventoryPane.png");
        folder.put("data/ui/ui.dts",
                   "<Dataset><Texture filename='pic'><Image name='full' rect='0,0,72,72'/>"
                   "<Image name='part' rect='0,0,8,8'/></Texture>"
                   "<Texture filename='items'><Image name='key' rect='0,0,30,30'/>"
                   "<Image name='gem' rect='30,30,30,30'/>"
                   "<Image name='ruby' rect='0,30,30,30'/></Texture>"
                   "<Texture filename='InventoryPane'><Image name='use_item_icon' rect='0,0,8,8'/>"
                   "<Image name='combine_item_icon' rect='0,0,8,8'/></Texture></Dataset>");
        folder.put("data/chapters/ch1/ch1.datadef", chapterDataset);
        folder.put("data/chapters/ch2/ch2.datadef", chapterDataset);
        for (const char* scene : {"ch1.a", "ch1.b", "ch2.x"})
        {
            const std::string name(scene);
            folder.put("data/chapters/" + name.substr(0, 3) + "/scenes/" + name.substr(4) + ".scene",
                       "local name = '" + name + "'\n" + sceneScript);
        }
        folder.put("data/chapters/ch1/dialogs/talk.dlg",
                   "function main()\n"
                   "  if said then dialog.stop() return end\n"
                   "  if asked then said = true dialog.sequence{'Keeper:Hello.'} return end\n"
                   "  dialog.reply('Ask', 'asked = true matrix.hit(\\'dialog reply\\')')\n"
                   "end\n");
        static const std::string clip = []
        {
            VideoPlan plan;
            plan.frames = 6;
            return videotest::encodeVideo(plan);
        }();
        folder.put("data/chapters/ch1/video/clip.ogv", clip);
        if (inGameShell(hook))
        {
            std::filesystem::copy(std::string(VUMO_DEMO_DIR) + "/data/orvalo", folder.path + "/data/orvalo",
                                  std::filesystem::copy_options::recursive);
            folder.put("data/chapters/menu/menu.datadef", "<Dataset/>");
            folder.put("data/chapters/menu/scenes/MainMenu.scene", "");
            folder.put("data/chapters/menu/lib/store.lua",
                       "function menu.onBuy() matrix.hit('chapter.onBuy') end\n"
                       "function menu.onRestore() matrix.hit('chapter.onRestore') end\n");
        }
        folder.put("data/chapters/duel/duel.datadef", "<Dataset/>");
        folder.put(
            "data/chapters/duel/scenes/board.match3.scene",
            "function OnLost() matrix.hit('OnLost', root_object) end\n"
            "function OnSolved() matrix.hit('OnSolved', root_object) end\n"
            "_match3_image_base = '0x' _match3_x = 0 _match3_y = 0 _match3_columns = 5 _match3_rows = 5\n"
            "_match3_width = 16 _match3_height = 16 _match3_image_width = 14 _match3_image_height = 14\n"
            "_match3_positive = 'FF0000,00FF00' _match3_neutral = '0000FF' _match3_negative = 'FFFF00'\n"
            "_match3_time = 1 _match3_positive_effect = 100 _match3_negative_effect = 10\n"
            "_match3_health_points = 0 _match3_horizontal_bars = 0\n");
        const std::string title = "EngineTest";
        folder.put("xdg/Torvin Games/" + title + "/Alpha/vars.diff",
                   "crc: ignore\nmarker: 111\nprofile_dir: Alpha\nprofile_name: Alpha\n");
        folder.put("xdg/Torvin Games/" + title + "/Beta/vars.diff",
                   "crc: ignore\nitems: key\nmarker: 222\nprofile_dir: Beta\nprofile_name: Beta\n");
    }

    // How each hook comes to be called, from the settled scene ch1.a with Alpha active.
    std::map<std::string, Trigger> triggers()
    {
        std::map<std::string, Trigger> t;
        auto none = [](Game&) {};
        auto frames = [](Game& run) { run.frames(3); };
        auto switchInChapter = [](Game& run) { run.lua("scene.switch('ch1.b')"); };
        auto switchChapter = [](Game& run)
        { run.lua("scene.switch({scene = 'ch2.x', time = 0, effect = 'none'})"); };
        auto reset = [](Game& run) { run.lua("scene.reset()"); };
        auto click = [](Game& run) { run.click(80, 30); };
        auto altClick = [](Game& run) { run.click(80, 30, 3); };
        auto dialog = [](Game& run) { run.lua("dialog.start('talk')"); };
        auto addGem = [](Game& run) { run.lua("inventory.addItem('gem')"); };
        auto pauseAndGoOn = [](Game& run) { run.lua("vumo.pause() vumo.unpause()"); };
        t["ui.setup"] = none;
        t["ui.init"] = none;
        t["ui.update"] = frames;
        t["ui.OnPointerPressed"] = click;
        t["ui.OnPointerReleased"] = click;
        t["ui.OnAltPointerPressed"] = altClick;
        t["ui.OnAltPointerReleased"] = altClick;
        t["ui.OnPointerCanceled"] = [](Game& run)
        {
            run.engine->mouse(tesra::Window::MOUSE_DOWN, 80, 30, 1);
            run.ui()->OnPointerCanceled(1);
        };
        t["ui.OnKeyDown"] = [](Game& run) { run.key(65); };
        t["ui.OnKeyUp"] = [](Game& run) { run.key(65); };
        t["ui.OnTouch"] = [](Game& run) { run.ui()->OnTouch({kavtypes::Vector2(80, 30)}); };
        t["ui.OnInputModeChanged"] = [](Game& run) { run.ui()->OnInputModeChanged(1); };
        t["ui.OnWindowSizeChanged"] = [](Game& run) { run.ui()->OnWindowSizeChanged(320, 240); };
        t["ui.OnWindowClose"] = [](Game& run) { run.ui()->OnWindowClose(true); };
        t["ui.OnFocusChanged"] = [](Game& run)
        {
            run.ui()->OnFocusChanged(false);
            run.ui()->OnFocusChanged(true);
        };
        t["ui.OnBeginLoading"] = switchChapter;
        t["ui.OnUpdateLoading"] = switchChapter;
        t["ui.OnFinishLoading"] = switchChapter;
        t["ui.OnAchievementUnlocked"] = [](Game& run) { run.lua("profile.unlockAchievement('rich')"); };
        t["ui.OnUseItemFail"] = [](Game& run)
        {
            run.lua("ui.selectItem('gem')");
            run.click(80, 30);
        };
        t["ui.OnItemAdded"] = addGem;
        t["ui.OnItemRemoved"] = [](Game& run)
        {
            run.lua("inventory.addItem('gem')");
            run.lua("inventory.removeItem('gem')");
        };
        t["ui.OnSceneTransitionBegan"] = switchInChapter;
        t["ui.OnSceneChanging"] = switchInChapter;
        t["ui.OnSceneActivating"] = switchInChapter;
        t["ui.OnSceneActivated"] = switchInChapter;
        t["ui.OnSceneChanged"] = switchInChapter;
        t["ui.OnSceneTransitionEnded"] = switchInChapter;
        t["ui.OnSceneResetting"] = reset;
        t["ui.OnSceneReset"] = reset;
        t["ui.OnGamePaused"] = pauseAndGoOn;
        t["ui.OnGameUnpaused"] = pauseAndGoOn;
        t["ui.OnLocalizationChanged"] = [](Game& run) { run.lua("vumo.setLocalization('de')"); };
        t["ui.getUIIdiomOverride"] = frames;
        t["ui.getCursorMode"] = frames;
        t["ui.createCursor"] = [](Game& run)
        {
            run.lua("matrix.cursorMode = 'hand'");
            run.frames(3);
        };
        t["ui.destroyCursor"] = [](Game& run)
        {
            run.lua("matrix.cursorMode = 'hand'");
            run.frames(2);
            run.lua("matrix.cursorMode = 'arrow'");
            run.frames(2);
        };
        t["ui.updateCursorPosition"] = [](Game& run)
        {
            run.engine->mouse(tesra::Window::MOUSE_MOVE, 10, 10, 0);
            run.engine->mouse(tesra::Window::MOUSE_MOVE, 20, 20, 0);
        };
        t["ui.canSaveGame"] = [](Game& run) { run.lua("profile.save()"); };
        t["ui.createMessageBox"] = [](Game& run)
        { run.lua("ui.messageBox({type = 't', text = '{%s} {Hi}'})"); };
        t["ui.startDialog"] = dialog;
        t["ui.displayDialogReplies"] = dialog;
        t["ui.displayDialog"] = dialog;
        t["ui.endDialog"] = dialog;
        t["ui.debugPrint"] = [](Game& run)
        {
            run.key(0x75); // F6 names the scene
        };
        t["OnActivate"] = switchInChapter;
        t["OnDeactivate"] = switchInChapter;
        t["OnUpdate"] = frames;
        t["OnPointerPressed"] = click;
        t["OnPointerReleased"] = click;
        t["OnAltPointerPressed"] = altClick;
        t["OnAltPointerReleased"] = altClick;
        t["OnPointerCanceled"] = t["ui.OnPointerCanceled"];
        t["item_<item>_count"] = addGem;
        t["item_<item>_count in a profile load"] = [](Game& run) { run.lua("profile.change('Beta')"); };
        t["inv_use_item_<item>"] = [](Game& run)
        {
            run.lua("inventory.addItem('gem')");
            run.frames(2);
            // The bag's first cell.
            run.click(20, 80);
        };
        t["inv_combine_<a>_and_<b>"] = [](Game& run)
        {
            run.lua("inventory.addItem('gem') inventory.addItem('ruby')");
            run.frames(2);
            run.lua("ui.selectItem('ruby')");
            run.click(20, 80);
        };
        t["event Click"] = click;
        t["scene.delayedCall"] = [](Game& run)
        { run.lua("scene.delayedCall(function() matrix.hit('scene.delayedCall', 'ch1.panel') end, 0)"); };
        t["vumo.delayedCall"] = [](Game& run)
        { run.lua("vumo.delayedCall(function() matrix.hit('vumo.delayedCall') end, 0)"); };
        t["message box button"] = [](Game& run)
        {
            run.lua("ui.messageBox({type = 't', text = '{%s} {Hi}', ok_button = function() "
                    "matrix.hit('message box button') end})");
            run.frames(2);
            run.lua("object.triggerEvent('ui.matrix_ok1', 'Click')");
        };
        t["dialog reply"] = dialog;
        t["event PlaybackDone"] = [](Game& run)
        {
            run.lua("local clip = object.create('VideoObject', 'clip', 'ch1.panel', {x = 0, y = 0, w = 40, h "
                    "= 30, "
                    "video = 'clip', loop = 0}) "
                    "object.assignEvent(clip, 'PlaybackDone', function() matrix.hit('event PlaybackDone', "
                    "'ch1.clip') end)");
            for (int i = 0; i < 100 && run.value("matrix.calls") == "0"; ++i)
            {
                run.frames(1);
            }
        };
        auto store = [](Game& run, tesraui::Object* (*button)())
        {
            Session::changeScene("menu.StoreMenu", 0.0f, "");
            run.frames(3);
            ASSERT_NE(button(), nullptr) << "the store shows its buttons";
            button()->triggerEvent("Click", 0u);
        };
        t["chapter.onBuy"] = [store](Game& run) { store(run, &orvalo::getUpsellUnlockButton); };
        t["chapter.onRestore"] = [store](Game& run) { store(run, &orvalo::getUpsellRestoreButton); };
        auto duel = [](Game& run)
        {
            Scene::registerFactory(Match3Scene::typeName, &Match3Scene::create);
            run.lua("scene.switch({scene = 'duel.board', time = 0, effect = 'none'})");
        };
        t["OnLost"] = [duel](Game& run)
        {
            duel(run);
            run.frames(40);
        };
        t["OnSolved"] = [duel](Game& run)
        {
            duel(run);
            run.frames(3);
            auto* board = dynamic_cast<Match3Scene*>(Session::getActiveScene());
            ASSERT_NE(board, nullptr) << "the duel is the active scene";
            board->solve();
        };
        return t;
    }

    std::vector<std::string> everyHook()
    {
        std::vector<std::string> names = documentedHooks();
        names.insert(names.end(), callbacks.begin(), callbacks.end());
        return names;
    }

    std::string testName(const ::testing::TestParamInfo<std::string>& info)
    {
        std::string name;
        for (char c : info.param)
        {
            name += std::isalnum((unsigned char)c) ? c : '_';
        }
        return name;
    }
} // namespace

class HookMatrix : public ::testing::TestWithParam<std::string>
{
protected:
    // The profile's saved variables, or "" when it is gone.
    static std::string savedVariables(const Game& run, const std::string& profile)
    {
        return harness::readFile(run.folder.userFile("EngineTest", profile + "/vars.diff"));
    }
};

TEST_P(HookMatrix, DestructiveActionsInTheHookLeaveTheGameWholeAndTheProfilesTheirOwn)
{
    const std::string hook = GetParam();
    const std::map<std::string, Trigger> ways = triggers();
    auto way = ways.find(hook);
    ASSERT_NE(way, ways.end()) << "no way to call " << hook
                               << " in the hook matrix: add one to triggers() in " << __FILE__;
    std::vector<std::string> uiHooks;
    for (const std::string& name : documentedHooks())
    {
        if (name.rfind("ui.", 0) == 0 && name != "ui.setup" && name != "ui.init")
        {
            uiHooks.push_back(name);
        }
    }
    for (const auto& [actionName, action] : actions)
    {
        SCOPED_TRACE(hook + " does " + actionName);
        Game run;
        writeGame(run.folder, uiHooks, hook, action);
        // The setup hook has nothing of the game yet to act on but what it makes.
        if (hook == "ui.setup")
        {
            run.folder.put("data/lib/matrix_setup.lua", "function ui.setup() matrix.hit('ui.setup') end\n");
        }
        run.engine.reset(new Engine(run.folder));
        if (inGameShell(hook))
        {
            run.folder.put("cfg/vumo.cfg",
                           harness::readFile(run.folder.path + "/cfg/vumo.cfg") +
                               "orvalo_id: demo_game\nupsell: data/orvalo/system/upsell/upsell.dts\n");
            run.engine->start(&createGameUI);
        }
        else
        {
            run.engine->start();
        }
        // The duel plays its sounds through an audio manager even with the game's audio muted.
        const bool ownAudio = yim::manager == nullptr;
        if (ownAudio)
        {
            yim::init(yim::SystemType::AS_DISABLED, 0);
        }
        run.engine->settleAt("");
        way->second(run);
        run.frames(30);
        run.frames(30);
        std::string raised;
        for (const std::string& error : run.errors)
        {
            raised += "\n" + error;
        }
        EXPECT_NE(run.value("matrix.calls"), "0")
            << hook << " was not called by its way in the matrix; the way raised:" << raised;
        run.engine->stop();
        run.engine.reset();
        if (ownAudio && yim::manager != nullptr)
        {
            yim::destroy();
        }
        harness::forgetSession();
        const std::string alpha = savedVariables(run, "Alpha");
        const std::string beta = savedVariables(run, "Beta");
        EXPECT_EQ(alpha.find("marker: 222"), std::string::npos) << alpha;
        EXPECT_EQ(alpha.find("profile_dir: Beta"), std::string::npos) << alpha;
        EXPECT_EQ(alpha.find("items: key"), std::string::npos) << alpha;
        EXPECT_EQ(beta.find("marker: 111"), std::string::npos) << beta;
        EXPECT_EQ(beta.find("profile_dir: Alpha"), std::string::npos) << beta;
    }
}

INSTANTIATE_TEST_SUITE_P(Hooks, HookMatrix, ::testing::ValuesIn(everyHook()), testName);
