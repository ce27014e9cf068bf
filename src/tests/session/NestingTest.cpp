#include <chrono>
#include <string>
#include <vector>

#include <quorxml/Document.h>
#include <tesraui/Dataset.h>
#include <tesraui/Object.h>

#include "EngineHarness.h"
#include "FolderDepth.h"
#include "ui/UI.h"

using namespace vumo;

namespace
{
    // A chapter's dataset of `count` objects, each inside the one before, one a line after the first.
    std::string nestedChapter(int count)
    {
        std::string text = "<Dataset>\n";
        for (int i = 0; i < count; ++i)
        {
            text += "<Object type='Container' name='o" + std::to_string(i) + "' x='0' y='0'>\n";
        }
        for (int i = 0; i < count; ++i)
        {
            text += "</Object>";
        }
        return text + "\n</Dataset>\n";
    }

    class Nesting : public harness::GameTest
    {
    protected:
        void SetUp() override
        {
            folder.emptyGame();
            for (const auto& [chapter, count] :
                 {std::make_pair("deep", 300), std::make_pair("deeper", 20000)})
            {
                folder.put("data/chapters/" + std::string(chapter) + "/" + chapter + ".datadef",
                           nestedChapter(count));
                folder.put("data/chapters/" + std::string(chapter) + "/scenes/a.scene", "");
            }
            // A chapter whose file includes f1.xml, which includes f2.xml, and so on past the bound.
            const std::string included = "data/chapters/included/";
            folder.put(included + "included.datadef", "<Dataset><Include path='f1.xml'/></Dataset>\n");
            for (int i = 1; i <= tesraui::Dataset::maxIncludeDepth; ++i)
            {
                folder.put(included + "f" + std::to_string(i) + ".xml",
                           "<Dataset><Include path='f" + std::to_string(i + 1) + ".xml'/></Dataset>\n");
            }
            folder.put(included + "scenes/a.scene", "");
            engine.reset(new harness::Engine(folder));
            engine->start();
            engine->frame();
        }
    };
} // namespace

// A chain of 20,000 objects made by a script overflowed the stack in the next update and in its
// destruction, and a chapter nesting as deep did while it loaded, as did one including a chain of 20,000
// files. A script's object past the bound is refused naming it, a chapter's at its file and line, before the
// parse when its elements nest deeper than any parse may go, and an include past the bound of files at its
// line; the scene stays where it was and the game runs on.
TEST_F(Nesting, ATreeTooDeepIsRefusedAndTheGameRunsOn)
{
    struct Case
    {
        const char* name;
        std::string code;
        // What the error begins with: raised to the script, or for a switch, logged as its failure.
        std::string error;
    };
    const std::string tooDeep =
        "the tree would nest deeper than " + std::to_string(tesraui::Object::maxNesting) + " objects";
    const Case cases[] = {
        // Below the scene's root, which hangs below the viewport and the UI's root.
        {"a script's chain",
         "local parent = nil for i = 1, 20000 do parent = object.create('Container', 'n' .. i, parent, {}) "
         "end",
         "object.create(): object 'n254' cannot be attached to 'c1.n253', " + tooDeep + "."},
        {"a chapter nesting 300 objects", "scene._queued_switchScene('deep.a', 0, 'none')",
         "Cannot attach object 'o256' to object 'o255', " + tooDeep +
             ", in file data/chapters/deep/deep.datadef, line 258"},
        {"a chapter nesting 20,000 elements", "scene._queued_switchScene('deeper.a', 0, 'none')",
         "An error occcured parsing XML file 'data/chapters/deeper/deeper.datadef': elements nest deeper "
         "than " +
             std::to_string(quorxml::Document::maxDepth) + " [row 1001]"},
        {"a chapter including a chain of files past the bound",
         "scene._queued_switchScene('included.a', 0, 'none')",
         "Include of 'f64.xml' would nest dataset files deeper than 64, in file "
         "data/chapters/included/f63.xml, "
         "line 1"},
    };
    std::vector<std::string> journal, expected;
    for (const Case& c : cases)
    {
        engine->log().clear();
        const std::string error = engine->failure(c.code);
        // A switch asked from here waits for a frame's start; its failure's overlay is read before the next.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (error == "ok" && engine->logCount("Scene switch failed: ") == 0 &&
               std::chrono::steady_clock::now() < deadline)
        {
            engine->frame();
        }
        UI::getInstance()->onErrorContinue(nullptr);
        const bool refused = error.rfind(c.error, 0) == 0 ||
                             (engine->logCount("Scene switch failed: ") > 0 && engine->logCount(c.error) > 0);
        journal.push_back(std::string(c.name) + ": " +
                          (refused ? "refused" : "raised '" + error.substr(0, 300) + "'") + ", on " +
                          Session::getActiveScene()->getFullName().c_str());
        expected.push_back(std::string(c.name) + ": refused, on c1.a");
    }
    EXPECT_EQ(journal, expected);
    // What the script made up to the bound is a tree like any other: it goes whole.
    EXPECT_EQ(engine->lua("tostring(object.exists('c1.n253'))"), "true");
    EXPECT_EQ(engine->failure("object.destroy('c1.n1')"), "ok");
    engine->frame();
    EXPECT_EQ(engine->lua("tostring(object.exists('c1.n253'))"), "false");
}

namespace
{
    // "d/" count times.
    std::string folders(int count)
    {
        std::string path;
        for (int i = 0; i < count; ++i)
        {
            path += "d/";
        }
        return path;
    }

    class FolderNesting : public harness::GameTest
    {
    protected:
        void SetUp() override
        {
            folder.emptyGame();
            const int bound = maxFolderDepth;
            folder.put("data/lib/" + folders(bound) + "deep.lua", "deepScript = true");
            // A chapter whose scenes and maps lie as deep as folders may nest, and two a folder deeper.
            folder.put("data/chapters/at/at.datadef", "<Dataset/>");
            folder.put("data/chapters/at/scenes/" + folders(bound) + "a.scene", "");
            folder.put("data/chapters/at/action_maps/" + folders(bound) + "m.amp", "");
            folder.put("data/chapters/scenes/scenes.datadef", "<Dataset/>");
            folder.put("data/chapters/scenes/scenes/" + folders(bound + 1) + "a.scene", "");
            folder.put("data/chapters/maps/maps.datadef", "<Dataset/>");
            folder.put("data/chapters/maps/scenes/a.scene", "");
            folder.put("data/chapters/maps/action_maps/" + folders(bound + 1) + "m.amp", "");
            engine.reset(new harness::Engine(folder));
            engine->start();
            engine->frame();
        }
    };
} // namespace

// The engine's walks over a game's folders recurse for each folder, and a link to a folder above would lead
// them on as far as a path may reach. Scripts, scenes and action maps as deep as folders may nest are found;
// a scene or a map a folder deeper fails its chapter's load naming the folder, and the game runs on.
TEST_F(FolderNesting, FoldersNestedPastTheBoundFailTheirChapter)
{
    EXPECT_EQ(engine->lua("tostring(deepScript)"), "true");
    struct Case
    {
        const char* scene;
        std::string error; // what the switch's failure names, or "" for a switch that ends there
    };
    // The first folder too deep below the walk's start.
    const auto refused = [](const std::string& start)
    {
        return "Folder '" + start + "/" + folders(maxFolderDepth) + "d' nests more than " +
               std::to_string(maxFolderDepth) + " folders deep";
    };
    const Case cases[] = {
        {"at.a", ""},
        {"scenes.a", refused("data/chapters/scenes/scenes")},
        {"maps.a", refused("data/chapters/maps/action_maps")},
    };
    std::vector<std::string> journal, expected;
    for (const Case& c : cases)
    {
        engine->log().clear();
        // A scene whose file cannot be found is refused at once; a chapter that fails its load, at the
        // switch.
        const std::string error =
            engine->failure("scene._queued_switchScene('" + std::string(c.scene) + "', 0, 'none')");
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (error == "ok" && engine->logCount("Scene switch failed: ") == 0 &&
               Session::getActiveScene()->getFullName() != c.scene &&
               std::chrono::steady_clock::now() < deadline)
        {
            engine->frame();
        }
        UI::getInstance()->onErrorContinue(nullptr);
        const bool failed = (error != "ok" || engine->logCount("Scene switch failed: ") > 0);
        const bool named = (error.find(c.error) != std::string::npos || engine->logCount(c.error) > 0);
        journal.push_back(std::string(c.scene) + ": " +
                          (failed ? (named ? "failed naming the folder" : "failed: " + error) : "switched") +
                          ", on " + Session::getActiveScene()->getFullName().c_str());
        expected.push_back(std::string(c.scene) + ": " +
                           (c.error == "" ? "switched" : "failed naming the folder") + ", on at.a");
    }
    EXPECT_EQ(journal, expected);
}
