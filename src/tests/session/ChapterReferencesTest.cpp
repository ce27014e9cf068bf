#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <tesraui/Dataset.h>
#include <tesraui/Image.h>
#include <tesraui/Object.h>

#include "../../../lib/tesravideo/tests/VideoWriter.h"
#include "../AmpFiles.h"
#include "EngineHarness.h"
#include "lua/LuaInterface.h"
#include "objects/LoopSound.h"
#include "ui/UI.h"

using harness::Engine;

namespace
{
    typedef std::function<std::string(Engine&)> Read;

    Read lua(const std::string& expression)
    {
        return [expression](Engine& engine) { return engine.luaOrError(expression); };
    }

    // One kind of reference made from outside the chapter ch1 while its scene is active: the setup makes it,
    // the read looks at it before and after a switch to ch2 unloads ch1.
    struct Reference
    {
        std::string name;
        std::string setup;
        Read read;
        // Run before the setup, for what scripts cannot make.
        std::function<void()> prepare;

        Reference(std::string name, std::string setup, Read read, std::function<void()> prepare = {})
            : name(std::move(name)), setup(std::move(setup)), read(std::move(read)),
              prepare(std::move(prepare))
        {
        }
    };

    const char* const chapter1 = "<Dataset><Texture filename='t'><Image name='i' rect='8,8,4,4'/></Texture>"
                                 "</Dataset>";
    const char* const chapter2 = "<Dataset><Object type='ImageBox' name='door' rect='0,0,8,8'/></Dataset>";

    // The scene keeps an object aside across a reset, hung where keepParent says when the script runs again.
    const char* const sceneA = "where = 'ch1.a'\n"
                               "function touched() note('touched in ' .. tostring(where)) end\n"
                               "object.create('ImageBox', 'keep__retain', keepParent, {w = 4, h = 4})\n";

    // The next chapter's library runs while ch1.a is still the active scene.
    const char* const chapter2Library = "ch2.where = 'ch2'\n"
                                        "if assignDuringLoad then\n"
                                        "  object.assignEvent('ch2.door', 'Click', 'note(where)')\n"
                                        "end\n";

    // Raises the object's Click when it exists; its code runs at the next frame's events.
    const char* const raiseClick =
        "function raiseClick(name)\n"
        "  if not pcall(object.triggerEvent, name, 'Click') then return 'none' end\n"
        "  return 'raised'\n"
        "end\n";

    const char* const countKept = "(function() local n = 0\n"
                                  "  for _, child in ipairs(object.children(ui.root_object)) do\n"
                                  "    if child.__name:find('keep') then n = n + 1 end\n"
                                  "  end\n"
                                  "  return n end)()";
} // namespace

// What lies outside a chapter and refers to what the chapter owns, across the chapter's unload.
class ChapterReferences : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.config("scene: ch1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/ui/video/clip.ogv", videotest::encodeVideo(VideoPlan()));
        folder.put("data/ui/video/ch1.voice.ogg", "silence");
        folder.putJournal(std::string("ui.where = 'ui'\n") + raiseClick);
        folder.put("data/chapters/ch1/ch1.datadef", chapter1);
        folder.put("data/chapters/ch1/t.png", harness::readFile(harness::anyPicture()));
        folder.put("data/chapters/ch1/action_maps/m.amp",
                   ampfiles::file(16, 12, {{0xFF0000, 0, 0, 15, 11, 8, 6, nullptr}}));
        folder.put("data/chapters/ch1/audio/music/theme.ogg", "silence");
        folder.put("data/chapters/ch1/scenes/a.scene", sceneA);
        folder.put("data/chapters/ch2/ch2.datadef", chapter2);
        folder.put("data/chapters/ch2/lib/setup.lua", chapter2Library);
        folder.put("data/chapters/ch2/scenes/x.scene", "");
    }

    // "name: read before -> read after; notes: the journal; errors: logged errors".
    std::string unloadUnder(const Reference& reference)
    {
        harness::forgetSession();
        Engine::log().clear();
        engine.reset(new Engine(folder));
        engine->start();
        if (Session::getActiveScene() == nullptr)
        {
            return reference.name + ": no start scene\n" + engine->logText();
        }
        if (reference.prepare)
        {
            reference.prepare();
        }
        LuaInterface::execute(reference.setup);
        for (int i = 0; i < 4; ++i)
        {
            engine->frame(0.05f);
        }
        const std::string before = reference.read(*engine);
        LuaInterface::execute("scene.switch({scene = 'ch2.x', time = 0, effect = 'none'})");
        const bool switched = engine->settleAt("ch2.x");
        const std::string after = reference.read(*engine);
        // Drawn and updated with the reference in place, its events run.
        for (int i = 0; i < 3; ++i)
        {
            engine->frame(0.05f);
        }
        std::string line = reference.name + ": " + before + " -> " + after +
                           "; notes: " + engine->lua("table.concat(journal, ', ')") +
                           "; chapter table: " + engine->lua("type(ch1)") +
                           "; errors: " + std::to_string(Engine::errorLines());
        if (!switched)
        {
            line += "; not switched";
        }
        engine.reset();
        return line;
    }
};

// Each kind of reference reads as absent once ch1 is gone, and the engine runs on (under the sanitizers,
// touching freed memory ends the program).
TEST_F(ChapterReferences, EachReadsAsAbsentOnceTheChapterIsUnloaded)
{
    const std::vector<Reference> references = {
        {"UI layer on a chapter's map",
         "object.create('ActionMap', 'layer', ui.root_object, {file = 'ch1.m', w = 160, h = 120})",
         lua("'[' .. object.getProperty('ui.layer', 'color:80,60') .. '] [' .. "
             "object.getProperty('ui.layer', 'colors') .. '] [' .. object.getProperty('ui.layer', 'file') .. "
             "'] [' .. object.getProperty('ui.layer', 'color_rect:FF0000') .. ']'")},
        {"UI layer on a map written to",
         "object.create('ActionMap', 'layer', ui.root_object, {file = 'ch1.m', w = 160, h = 120})",
         lua("(function() object.setProperty('ui.layer', 'center:FF0000', '3,4')\n"
             "  return '[' .. object.getProperty('ui.layer', 'center:FF0000') .. ']' end)()")},
        {"scene.ActionMap under the UI",
         "uiLayer = scene.ActionMap('m', {parent = ui.root_object, w = 160, h = 120}).__name",
         lua("'[' .. object.getProperty(uiLayer, 'color:80,60') .. ']'")},
        {"text event given while the next chapter loads", "assignDuringLoad = true",
         lua("raiseClick('ch2.door')")},
        {"text event of another dataset", "object.assignEvent('extra.box', 'Click', 'note(where)')",
         lua("raiseClick('extra.box')"),
         []
         {
             // Deleted with the other datasets when the engine ends.
             tesraui::Dataset* extra = new tesraui::Dataset("", "extra");
             extra->registerObjects(new tesraui::Object("box", kavtypes::Rectangle(0, 0, 4, 4)));
         }},
        {"UI video whose sound is named after the chapter",
         "object.create('VideoObject', 'film', ui.root_object, {video = 'clip', audio = 'ch1.voice.ogg', "
         "w = 64, h = 48})",
         lua("object.getProperty('ui.film', 'audio') .. ' ' .. tostring(sound.exists('ch1.voice')) .. ' ' .. "
             "tostring(sound.exists('ch1.theme'))")},
        {"UI loop of the chapter's sound",
         "object.create('LoopSound', 'loop', ui.root_object, {sound = 'ch1.theme'})",
         [](Engine& engine)
         {
             return std::to_string(LoopSound::getEntries().size()) + " entry, sound " +
                    engine.lua("tostring(sound.exists('ch1.theme'))");
         }},
        {"UI picture of the chapter's image",
         "object.create('ImageBox', 'pic', ui.root_object, {image = 'ch1.t/i', w = 4, h = 4})",
         [](Engine&)
         {
             // The name it was given stays; what it draws is the null image.
             tesraui::Object* picture = UI::getUIDataset()->getObject("pic");
             std::string shown;
             for (tesraui::Image* image : picture->getImages())
             {
                 shown += std::string(image->getFullName());
             }
             return "showing " + shown + ", named " + std::string(picture->getProperty("image"));
         }},
        {"UI composite of the chapter's image",
         "image.create({type = 'CompositeImage', dataset = 'ui', name = 'cmp', w = 4, h = 4,\n"
         "  references = {{image = 'ch1.t/i', x = 0, y = 0, w = 4, h = 4}}})",
         lua("#image.getProperty('ui.cmp', 'references')")},
        {"chapter's object hung under the UI", "keepParent = ui.root_object; scene.reset()", lua(countKept)},
        {"UI event calling the scene's function",
         "object.create('ImageBox', 'button', ui.root_object, {w = 4, h = 4})\n"
         "object.assignEvent('ui.button', 'Click', ch1.a.touched)",
         lua("raiseClick('ui.button')")},
        {"UI delayed call asked by the scene", "vumo.delayedCall('note(where)', 0.3)", lua("'asked'")},
    };
    std::vector<std::string> journal;
    for (const Reference& reference : references)
    {
        journal.push_back(unloadUnder(reference));
    }
    EXPECT_EQ(
        journal,
        (std::vector<std::string>{
            "UI layer on a chapter's map: [FF0000FF] [FF0000] [m] [0,0,15,11] -> [00000000] [] [] [0,0,0,0]; "
            "notes: ; chapter table: nil; errors: 0",
            "UI layer on a map written to: [3,4] -> []; notes: ; chapter table: nil; errors: 0",
            "scene.ActionMap under the UI: [FF0000FF] -> [00000000]; notes: ; chapter table: nil; errors: 0",
            "text event given while the next chapter loads: none -> raised; notes: ch2; chapter table: nil; "
            "errors: 0",
            "text event of another dataset: raised -> raised; notes: ch1.a, ui; chapter table: nil; errors: "
            "0",
            "UI video whose sound is named after the chapter: ch1.voice.ogg true true -> ch1.voice.ogg true "
            "false; notes: ; chapter table: nil; errors: 0",
            "UI loop of the chapter's sound: 1 entry, sound true -> 0 entry, sound false; notes: ; chapter "
            "table: nil; errors: 0",
            "UI picture of the chapter's image: showing ch1.t/i, named ch1.t/i -> showing ui.null, named "
            "ch1.t/i; "
            "notes: ; chapter table: nil; errors: 0",
            "UI composite of the chapter's image: 1 -> 0; notes: ; chapter table: nil; errors: 0",
            "chapter's object hung under the UI: 1 -> 0; notes: ; chapter table: nil; errors: 0",
            "UI event calling the scene's function: raised -> raised; notes: touched in ch1.a, touched in "
            "ch1.a; "
            "chapter table: nil; errors: 0",
            "UI delayed call asked by the scene: asked -> asked; notes: ui; chapter table: nil; errors: 0",
        }));
}
