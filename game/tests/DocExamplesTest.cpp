#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

#include <orvalo/MoreGamesScreen.h>
#include <orvalo/UpsellScreen.h>
#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>
#include <tesraui/ImageButton.h>
#include <tesraui/tesraui.h>
#include <tesraparticle/Space.h>
#include <tesraparticle/System.h>
#include <tesrauiparticle/ParticleBase.h>

#include "../../lib/tesravideo/tests/VideoWriter.h"
#include "EngineHarness.h"
#include "Match3Moves.h"
#include "Match3Scene.h"
#include "PngFile.h"
#include "VumoPlayerTorvinOrvaloUI.h"
#include "objects/InventoryPane.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;
using harness::readFile;

// The code examples of docs/ against the running engine. Every fenced block tagged `lua` runs in the
// examples game: the first-game template (game/template) with the pictures, sounds and video that the
// recipes of docs/how-to.md ask for. A block tagged `lua fragment` is only shown. A block whose first
// line is a comment naming a file of the game folder (`-- data/...`, `<!-- data/... -->`, `# data/...`)
// is that file: it is written before the game starts, and a scene is then switched to, a dialog started
// and played. The other blocks run, in order, as code in the active scene. The blocks under one heading
// run in one game; each heading starts its own. A recipe of how-to.md is then also checked for what it
// promises.
namespace
{
    struct Block
    {
        int line = 0;
        std::string info;
        std::string text;
        // The file of the game folder that the block is, when it is one.
        std::string file;
    };

    struct Unit
    {
        std::string page;
        std::string heading;
        std::string name;
        std::vector<Block> blocks;
    };

    void PrintTo(const Unit& unit, std::ostream* out)
    {
        *out << unit.page << ":" << (unit.blocks.empty() ? 0 : unit.blocks[0].line);
    }

    std::string docsDir()
    {
        return std::string(VUMO_SOURCE_DIR) + "/docs";
    }

    std::string fileNamedBy(const std::string& firstLine)
    {
        static const std::regex comment("^(?:--|#|<!--) ((?:data|cfg)/[^ ]+)(?: -->)?$");
        std::smatch match;
        return std::regex_match(firstLine, match, comment) ? match[1].str() : std::string();
    }

    // "### `ui.messageBox(params)`" in api/ui.md: "api_ui_ui_messageBox_params".
    std::string identifier(const std::string& text)
    {
        std::string result;
        for (char c : text)
        {
            const bool word = std::isalnum((unsigned char)c) != 0;
            if (word)
            {
                result += c;
            }
            else if (!result.empty() && result.back() != '_')
            {
                result += '_';
            }
        }
        while (!result.empty() && result.back() == '_')
        {
            result.pop_back();
        }
        return result;
    }

    std::vector<std::string> pages()
    {
        std::vector<std::string> result;
        for (const char* folder : {"", "api/"})
        {
            for (const auto& entry : std::filesystem::directory_iterator(docsDir() + "/" + folder))
            {
                if (entry.path().extension() == ".md")
                {
                    result.push_back(folder + entry.path().filename().string());
                }
            }
        }
        std::sort(result.begin(), result.end());
        return result;
    }

    // The fenced blocks of every page, grouped by the heading they stand under.
    std::vector<Unit> readUnits()
    {
        std::vector<Unit> units;
        for (const std::string& page : pages())
        {
            std::istringstream in(readFile(docsDir() + "/" + page));
            std::string heading = page;
            std::vector<Block> blocks;
            Block* open = nullptr;
            const auto close = [&]()
            {
                if (!blocks.empty())
                {
                    units.push_back({page, heading, "", blocks});
                }
                blocks.clear();
            };
            int number = 0;
            for (std::string line; std::getline(in, line);)
            {
                ++number;
                if (open != nullptr)
                {
                    if (line == "```")
                    {
                        open = nullptr;
                    }
                    else
                    {
                        if (open->text.empty() && open->file.empty())
                        {
                            open->file = fileNamedBy(line);
                        }
                        open->text += line + "\n";
                    }
                }
                else if (line.compare(0, 3, "```") == 0)
                {
                    blocks.push_back({number + 1, line.substr(3), "", ""});
                    open = &blocks.back();
                }
                else if (line.compare(0, 1, "#") == 0)
                {
                    close();
                    heading = line.substr(line.find(' ') + 1);
                }
            }
            close();
        }
        std::map<std::string, int> taken;
        for (Unit& unit : units)
        {
            const std::string base = identifier(unit.page.substr(0, unit.page.size() - 3)) + "_" +
                                     identifier(unit.heading).substr(0, 40);
            const int count = ++taken[base];
            unit.name = count == 1 ? base : base + "_" + std::to_string(count);
        }
        return units;
    }

    bool runs(const Block& block)
    {
        return block.info == "lua" || !block.file.empty();
    }

    // The units with something to run.
    std::vector<Unit> runnableUnits()
    {
        std::vector<Unit> result;
        for (const Unit& unit : readUnits())
        {
            if (std::any_of(unit.blocks.begin(), unit.blocks.end(), runs))
            {
                result.push_back(unit);
            }
        }
        return result;
    }

    // A picture of cells of one flat colour each, side by side.
    std::string cells(int width, int height, const std::vector<std::array<unsigned char, 4>>& colours)
    {
        std::vector<unsigned char> pixels;
        for (int y = 0; y < height; ++y)
        {
            for (int x = 0; x < width * (int)colours.size(); ++x)
            {
                const auto& colour = colours[x / width];
                pixels.insert(pixels.end(), colour.begin(), colour.end());
            }
        }
        return harness::pngBytes(width * (int)colours.size(), height, pixels.data());
    }
} // namespace

class ScriptReferenceExamples : public ::testing::TestWithParam<Unit>
{
public:
    // What a recipe of how-to.md promises, beyond running: checked after its blocks ran.
    typedef std::function<void(ScriptReferenceExamples&)> Check;
    static std::map<std::string, Check>& recipeChecks();
    // The pictures a recipe of how-to.md asks the maker to draw, made before its game starts.
    static std::map<std::string, std::function<void(const GameFolder&)>>& recipePictures();

    GameFolder folder;
    std::unique_ptr<Engine> engine;
    // Where the last press on an item of the bag went down.
    kavtypes::Vector2 pressedAt;

protected:
    void SetUp() override
    {
        setenv("ALSOFT_DRIVERS", "null", 1);
        this->makeExamplesGame();
        Engine::log().clear();
    }

    // The template, and what the recipes of how-to.md tell the maker to put beside it.
    void makeExamplesGame()
    {
        std::filesystem::copy(std::string(VUMO_DEMO_DIR) + "/../template", folder.path,
                              std::filesystem::copy_options::recursive);
        // The items of the recipes in the bag's picture, one 64 x 32 cell each after the key.
        folder.put("data/ui/items.png", cells(64, 32,
                                              {{200, 170, 40, 255},
                                               {150, 110, 60, 255},
                                               {110, 80, 40, 255},
                                               {90, 60, 30, 255},
                                               {230, 200, 60, 255}}));
        std::string dataset = readFile(folder.path + "/data/ui/ui.dts");
        const std::string key = "<Image name=\"key\" rect=\"0,0,64,32\"/>";
        ASSERT_NE(dataset.find(key), std::string::npos);
        dataset.replace(
            dataset.find(key), key.size(),
            key + "<Image name=\"rope\" rect=\"64,0,64,32\"/><Image name=\"stick\" rect=\"128,0,64,32\"/>"
                  "<Image name=\"rod\" rect=\"192,0,64,32\"/><Image name=\"coin\" rect=\"256,0,64,32\"/>");
        folder.put("data/ui/ui.dts", dataset);
        std::filesystem::create_directories(folder.path + "/data/chapters/village/audio/fx");
        std::filesystem::copy_file(folder.path + "/data/chapters/village/audio/music/wind.wav",
                                   folder.path + "/data/chapters/village/audio/fx/bell.wav");
        folder.put("data/chapters/village/particles/spark.png", cells(8, 8, {{255, 255, 255, 255}}));
        VideoPlan plan;
        plan.frames = 25;
        folder.put("data/chapters/village/video/fountain.ogv", videotest::encodeVideo(plan));
        folder.put("cfg/achievements.cfg", "found_the_key\nrang_the_bell\n");
        std::filesystem::create_directories(folder.path + "/data/ui/audio/fx");
        std::filesystem::copy_file(folder.path + "/data/chapters/village/audio/music/wind.wav",
                                   folder.path + "/data/ui/audio/fx/minigame_solved.wav");
    }

public:
    // The examples game started anew on its folder, as a player starts it again.
    void startGame()
    {
        harness::forgetSession();
        engine.reset(new Engine(folder));
        // As the player's start does.
        Scene::registerFactory(Match3Scene::typeName, &Match3Scene::create);
        engine->start(&createGameUI);
        ASSERT_FALSE(::testing::Test::HasFatalFailure());
        // A game with a landing page starts on it.
        const bool landing =
            readFile(folder.path + "/cfg/vumo.cfg").find("landing_page: 1") != std::string::npos;
        ASSERT_TRUE(engine->settleAt(landing ? "menu.OrvaloStart" : "village.yard")) << engine->logText();
    }

    void frames(float seconds)
    {
        for (float time = 0.0f; time < seconds; time += 0.05f)
        {
            engine->frame(0.05f);
        }
    }

    // The script errors and the engine's errors logged so far.
    std::string errors() const
    {
        std::string result;
        for (const std::string& line : Engine::log())
        {
            if (line.find("ERROR: ") != std::string::npos ||
                line.rfind("scripting: Scripting Error: ", 0) == 0)
            {
                result += line + "\n";
            }
        }
        return result;
    }

    std::string lua(const std::string& expression) { return engine->lua(expression.c_str()); }

    // A click at a point of the 960 x 540 window, then the frames that run what it queued.
    void click(float x, float y)
    {
        engine->clickAt(x, y);
        frames(0.1f);
    }

    tesraui::Object* uiObject(const std::string& name)
    {
        return UI::getUIDataset()->tryGetObject(name.c_str());
    }

    // The first object of the UI whose name begins so.
    tesraui::Object* uiObjectNamedLike(const std::string& start)
    {
        for (const auto& [name, object] : UI::getUIDataset()->getObjects())
        {
            if (std::string(name).rfind(start, 0) == 0)
            {
                return object;
            }
        }
        return nullptr;
    }

    void clickItem(const std::string& item)
    {
        InventoryPane* pane = InventoryPane::getActive();
        ASSERT_NE(pane, nullptr);
        ASSERT_NE(pane->getCell(item.c_str()), nullptr) << item;
        engine->clickObject(pane->getCell(item.c_str()));
        frames(0.1f);
    }

    // A press held on the item in the bag until the drag has taken it in hand.
    void pressUntilDragged(const std::string& item)
    {
        InventoryPane* pane = InventoryPane::getActive();
        ASSERT_NE(pane, nullptr);
        ASSERT_NE(pane->getCell(item.c_str()), nullptr) << item;
        const kavtypes::Rectangle rect = pane->getCell(item.c_str())->getBoundingRect();
        this->pressedAt = kavtypes::Vector2(rect.x + rect.w / 2, rect.y + rect.h / 2);
        engine->mouse(tesra::Window::MOUSE_MOVE, this->pressedAt.x, this->pressedAt.y);
        engine->frame(0.016f);
        engine->mouse(tesra::Window::MOUSE_DOWN, this->pressedAt.x, this->pressedAt.y);
        for (float waited = 0.0f; !pane->isDragActive() && waited < 5.0f; waited += 0.05f)
        {
            engine->frame(0.05f);
        }
        ASSERT_TRUE(pane->isDragActive()) << item;
        engine->frame(0.05f);
        ASSERT_EQ(lua("ui.getSelectedItem()"), item);
    }

    // The drag let go where it began: the item stays in hand.
    void take(const std::string& item)
    {
        this->pressUntilDragged(item);
        ASSERT_FALSE(HasFatalFailure());
        engine->mouse(tesra::Window::MOUSE_UP, this->pressedAt.x, this->pressedAt.y);
        engine->frame(0.016f);
        ASSERT_EQ(lua("ui.getSelectedItem()"), item);
    }

    bool said(const std::string& text) const
    {
        return engine->logText().find("scripting: says: " + text) != std::string::npos;
    }

    // Runs Lua code in the active scene; a failure is the test's, with where the code came from.
    void run(const std::string& code, const std::string& where)
    {
        const hstring scene = Session::getActiveScene()->getFullName();
        try
        {
            LuaInterface::execute(code.c_str(), scene, where.c_str());
        }
        catch (const quortypes::exception& e)
        {
            ADD_FAILURE() << where << " fails:\n" << e.getMessage() << "\n" << code;
        }
    }

protected:
    // Runs a block that is a file as the game meets it: a scene is switched to, a dialog played.
    void exercise(const Block& block, const std::string& where)
    {
        // A scene of a type of the game's (duel.match3.scene) is named without its type.
        static const std::regex scene("data/chapters/(\\w+)/scenes/(\\w+)(?:\\.\\w+)?\\.scene");
        static const std::regex dialog("data/chapters/\\w+/dialogs/(\\w+)\\.dlg");
        std::smatch match;
        if (std::regex_match(block.file, match, scene))
        {
            const std::string name = match[1].str() + "." + match[2].str();
            if (std::string(Session::getActiveScene()->getFullName()) == name)
            {
                return;
            }
            this->run("scene.switch('" + name + "')", where);
            ASSERT_TRUE(engine->settleAt(name)) << where << "\n" << engine->logText();
        }
        else if (std::regex_match(block.file, match, dialog))
        {
            this->run("dialog.start('" + match[1].str() + "')", where);
            // The first reply, then the last one offered each time (most often the way out), until it ends.
            int turns = 0;
            for (float time = 0.0f; time < 60.0f && lua("dialog.isActive()") == "true"; time += 0.1f)
            {
                engine->frame(0.1f);
                if (uiObject("reply1")->isVisible())
                {
                    const bool second = uiObject("reply2")->isVisible();
                    this->run(turns++ == 0 || !second ? "dialog.chooseReply(0)" : "dialog.chooseReply(1)",
                              where);
                }
            }
            EXPECT_EQ(lua("dialog.isActive()"), "false") << where;
        }
    }
};

TEST_P(ScriptReferenceExamples, RunsWithoutAScriptError)
{
    const Unit& unit = GetParam();
    for (const Block& block : unit.blocks)
    {
        if (!block.file.empty())
        {
            folder.put(block.file, block.text);
        }
    }
    const auto pictures = recipePictures().find(unit.heading);
    if (unit.page == "how-to.md" && pictures != recipePictures().end())
    {
        pictures->second(folder);
    }
    this->startGame();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(this->errors(), "") << "the examples game starts cleanly";
    for (const Block& block : unit.blocks)
    {
        const std::string where = "docs/" + unit.page + ":" + std::to_string(block.line);
        if (!runs(block))
        {
            continue;
        }
        if (!block.file.empty())
        {
            this->exercise(block, where);
            ASSERT_FALSE(HasFatalFailure()) << where;
        }
        else
        {
            this->run(block.text, where);
        }
        this->frames(2.5f);
        EXPECT_EQ(this->errors(), "") << where << ":\n" << block.text;
        EXPECT_FALSE(UI::getInstance()->isErrorOverlayShown()) << where;
    }
    const auto check = recipeChecks().find(unit.heading);
    if (unit.page == "how-to.md" && check != recipeChecks().end())
    {
        check->second(*this);
        EXPECT_EQ(this->errors(), "") << unit.heading;
    }
}

INSTANTIATE_TEST_SUITE_P(Docs, ScriptReferenceExamples, ::testing::ValuesIn(runnableUnits()),
                         [](const ::testing::TestParamInfo<Unit>& info) { return info.param.name; });

// A block is an example that runs or says that it is a fragment; every recipe has an example and a check.
TEST(ScriptReferenceExamplesList, EveryLuaBlockRunsOrIsAFragmentAndEveryRecipeIsChecked)
{
    int examples = 0;
    std::set<std::string> recipes;
    for (const Unit& unit : readUnits())
    {
        for (const Block& block : unit.blocks)
        {
            if (block.info.compare(0, 3, "lua") == 0)
            {
                EXPECT_TRUE(block.info == "lua" || block.info == "lua fragment")
                    << "docs/" << unit.page << ":" << block.line
                    << ": a Lua block is tagged `lua` or `lua fragment`, not `" << block.info << "`";
                examples += runs(block) ? 1 : 0;
            }
        }
        if (unit.page == "how-to.md" && std::any_of(unit.blocks.begin(), unit.blocks.end(), runs))
        {
            recipes.insert(unit.heading);
        }
    }
    EXPECT_GE(examples, 40) << "the examples were found in docs/";
    EXPECT_GE(recipes.size(), 9u) << "how-to.md has its recipes";
    for (const std::string& recipe : recipes)
    {
        EXPECT_EQ(ScriptReferenceExamples::recipeChecks().count(recipe), 1u)
            << "the recipe \"" << recipe << "\" of how-to.md has a check in DocExamplesTest.cpp";
    }
    for (const auto& [recipe, check] : ScriptReferenceExamples::recipeChecks())
    {
        EXPECT_EQ(recipes.count(recipe), 1u)
            << "a check names the recipe \"" << recipe << "\", which how-to.md lacks";
    }
}

// The window's points over the regions of the template's maps.
namespace
{
    const float keeperX = 480.0f, keeperY = 250.0f;
    const float wayOutX = 70.0f, wayOutY = 330.0f;
} // namespace

std::map<std::string, std::function<void(const GameFolder&)>>& ScriptReferenceExamples::recipePictures()
{
    static std::map<std::string, std::function<void(const GameFolder&)>> pictures = {
        {"A store screen",
         [](const GameFolder& folder) {
             folder.put("data/orvalo/system/upsell/button.png", cells(200, 60, {{40, 90, 160, 255}}));
         }},
        {"A landing page of your other games",
         [](const GameFolder& folder)
         {
             folder.put("data/orvalo/system/more-games/play.png", cells(200, 60, {{40, 90, 160, 255}}));
             folder.put("data/orvalo/games/mine/games/first_game/logo.png",
                        cells(320, 160, {{200, 160, 60, 255}}));
             folder.put("data/orvalo/games/mine/games/second_game/thumbnail.png",
                        cells(400, 180, {{60, 140, 90, 255}}));
         }},
    };
    return pictures;
}

std::map<std::string, ScriptReferenceExamples::Check>& ScriptReferenceExamples::recipeChecks()
{
    typedef ScriptReferenceExamples T;
    static std::map<std::string, Check> checks = {
        {"Combine two items",
         [](T& t)
         {
             t.take("rope");
             ASSERT_FALSE(HasFatalFailure());
             t.clickItem("stick");
             EXPECT_EQ(t.lua("vars.items"), "rod");
             EXPECT_EQ(t.lua("ui.getSelectedItem()"), "");
             EXPECT_TRUE(t.said("You tie the rope to the stick: a fishing rod.")) << t.engine->logText();
         }},
        {"A hidden object",
         [](T& t)
         {
             ASSERT_NE(Session::getActiveScene()->getRootObject()->getDataset()->tryGetObject("coin"),
                       nullptr);
             t.click(436.0f, 428.0f);
             t.frames(0.5f);
             EXPECT_EQ(t.lua("vars.coin_found"), "1");
             EXPECT_EQ(t.lua("inventory.hasItem('coin')"), "true");
             EXPECT_EQ(Session::getActiveScene()->getRootObject()->getDataset()->tryGetObject("coin"),
                       nullptr)
                 << "once found, the reset scene leaves the coin out";
         }},
        {"An item used on a region",
         [](T& t)
         {
             t.run("inventory.addItem('coin'); inventory.addItem('rope')", "check");
             t.frames(0.1f);
             // Taken in hand, then a click on the keeper.
             t.take("coin");
             ASSERT_FALSE(HasFatalFailure());
             t.click(keeperX, keeperY);
             EXPECT_TRUE(t.said("Keeper: A coin! Thank you.")) << t.engine->logText();
             EXPECT_EQ(t.lua("vars.items"), "rope");
             // Anything else stays in hand.
             t.take("rope");
             ASSERT_FALSE(HasFatalFailure());
             t.click(keeperX, keeperY);
             EXPECT_TRUE(t.said("Keeper: I have no use for that.")) << t.engine->logText();
             EXPECT_EQ(t.lua("ui.getSelectedItem()"), "rope");
             t.run("ui.selectItem('')", "check");
             // Dragged out of the bag and let go over the keeper.
             t.run("inventory.addItem('coin')", "check");
             t.frames(0.1f);
             t.pressUntilDragged("coin");
             ASSERT_FALSE(HasFatalFailure());
             t.engine->mouse(tesra::Window::MOUSE_MOVE, keeperX, keeperY);
             t.engine->frame(0.05f);
             t.engine->mouse(tesra::Window::MOUSE_UP, keeperX, keeperY);
             t.frames(0.1f);
             EXPECT_EQ(t.lua("inventory.hasItem('coin')"), "false");
             EXPECT_EQ(t.lua("ui.getSelectedItem()"), "");
         }},
        {"A particle effect",
         [](T&)
         {
             auto* smoke = dynamic_cast<tesrauiparticle::ParticleBase*>(
                 Session::getActiveScene()->getRootObject()->getDataset()->tryGetObject("smoke"));
             ASSERT_NE(smoke, nullptr);
             ASSERT_NE(smoke->getSystem(), nullptr) << "smoke.xml was found and read";
             ASSERT_EQ(smoke->getSystem()->getSpaces().size(), 1);
             EXPECT_GT(smoke->getSystem()->getSpaces()[0]->getAlive(), 0) << "the chimney puffs";
         }},
        {"A message box with a question",
         [](T& t)
         {
             EXPECT_EQ(t.lua("ui.getActiveMessageBoxType()"), "enter");
             tesraui::Object* label = t.uiObjectNamedLike("vumo_messagebox");
             ASSERT_NE(label, nullptr);
             label = UI::getUIDataset()->tryGetObject(label->getName() + "/label");
             ASSERT_NE(label, nullptr);
             EXPECT_EQ(std::string(label->getProperty("text")), "Go into the house?");
             tesraui::Object* yes = t.uiObjectNamedLike("msgbox_yes_button");
             ASSERT_NE(yes, nullptr);
             t.engine->clickObject(yes);
             EXPECT_TRUE(t.engine->settleAt("village.house")) << t.engine->logText();
             // The text made by the script, shown as written.
             t.run("ui.messageBox({type = 'made', text = '{%s} {100% sure?}'})", "check");
             t.frames(0.5f);
             label = t.uiObjectNamedLike("vumo_messagebox");
             for (const auto& [name, object] : UI::getUIDataset()->getObjects())
             {
                 if (std::string(name).find("/label") != std::string::npos && object->isVisible() &&
                     std::string(object->getProperty("text")) == "100% sure?")
                 {
                     label = object;
                 }
             }
             EXPECT_EQ(std::string(label->getProperty("text")), "100% sure?");
         }},
        {"An achievement and its notice",
         [](T& t)
         {
             const auto find = [](const std::string& text) -> tesraui::Object*
             {
                 for (const auto& [name, object] : UI::getUIDataset()->getObjects())
                 {
                     if (std::string(object->getProperty("text")) == text)
                     {
                         return object;
                     }
                 }
                 return nullptr;
             };
             const auto notice = [&](const std::string& text) { return find(text) != nullptr; };
             EXPECT_EQ(t.lua("profile.isAchievementUnlocked('found_the_key')"), "true");
             EXPECT_TRUE(notice("Achievement: found_the_key"));
             // 2.5 seconds after the unlock it stands whole; halfway through its fade it shows half.
             ASSERT_NE(find("Achievement: found_the_key"), nullptr);
             EXPECT_EQ(find("Achievement: found_the_key")->getAlpha(), 255);
             t.frames(1.25f);
             ASSERT_NE(find("Achievement: found_the_key"), nullptr) << "the fade takes its time";
             EXPECT_GT(find("Achievement: found_the_key")->getAlpha(), 40);
             EXPECT_LT(find("Achievement: found_the_key")->getAlpha(), 215);
             t.frames(1.25f);
             EXPECT_FALSE(notice("Achievement: found_the_key")) << "the notice goes after its time";
             EXPECT_EQ(t.lua("profile.unlockAchievement('found_the_key')"), "false");
             t.frames(0.1f);
             EXPECT_FALSE(notice("Achievement: found_the_key")) << "a second unlock shows nothing";
         }},
        {"A video",
         [](T& t)
         {
             // The clip lasts a second; frames at a pace its decoding thread can follow until it has ended.
             const auto fountain = []
             { return Session::getActiveScene()->getRootObject()->getDataset()->tryGetObject("fountain"); };
             for (float time = 0.0f; fountain() != nullptr && time < 30.0f; time += 0.05f)
             {
                 std::this_thread::sleep_for(std::chrono::milliseconds(10));
                 t.engine->frame(0.05f);
             }
             EXPECT_EQ(fountain(), nullptr)
                 << "PlaybackDone came at the end and its handler took the video away";
         }},
        {"A fade into another chapter",
         [](T& t)
         {
             EXPECT_EQ(std::string(Session::getActiveScene()->getFullName()), "forest.glade");
             EXPECT_EQ(t.lua("sound.isPlaying('village.wind')"), "false");
             // An edit of the village's scene, read when the village loads again.
             t.folder.put("data/chapters/village/scenes/yard.scene",
                          readFile(t.folder.path + "/data/chapters/village/scenes/yard.scene") +
                              "\nvumo.log('the edited yard')\n");
             t.click(300.0f, 200.0f);
             EXPECT_TRUE(t.engine->settleAt("village.yard"));
             EXPECT_NE(t.engine->logText().find("scripting: the edited yard"), std::string::npos);
         }},
        {"Resume at the scene the player left",
         [](T& t)
         {
             // A first start has no scene to go back to.
             EXPECT_EQ(t.lua("resumeScene"), "");
             t.run("scene.switch('house')", "check");
             ASSERT_TRUE(t.engine->settleAt("village.house"));
             // A sync takes the scene into the profile's snapshot, which the end of the game saves.
             t.frames(1.5f);
             t.engine.reset();
             t.startGame();
             ASSERT_FALSE(HasFatalFailure());
             EXPECT_EQ(t.lua("resumeScene"), "village.house");
             t.run("continueGame()", "check");
             EXPECT_TRUE(t.engine->settleAt("village.house")) << t.engine->logText();
         }},
        {"The held item at the pointer",
         [](T& t)
         {
             t.run("inventory.addItem('coin')", "check");
             t.frames(0.1f);
             t.take("coin");
             ASSERT_FALSE(HasFatalFailure());
             t.engine->mouse(tesra::Window::MOUSE_MOVE, 500.0f, 200.0f);
             t.frames(0.1f);
             tesraui::Object* held = t.uiObject("held_item");
             ASSERT_NE(held, nullptr);
             EXPECT_TRUE(held->isVisible());
             EXPECT_NEAR(held->getX(), 512.0f, 2.0f);
             EXPECT_NEAR(held->getY(), 212.0f, 2.0f);
             t.run("ui.selectItem('')", "check");
             t.frames(0.1f);
             EXPECT_FALSE(held->isVisible()) << "put away with the item, though the pointer stands still";
         }},
        {"A match-three duel",
         [](T& t)
         {
             auto* duel = dynamic_cast<Match3Scene*>(Session::getActiveScene());
             ASSERT_NE(duel, nullptr) << "village.duel is a duel";
             EXPECT_EQ(t.lua("vars.inn_templar_count"), "1");
             // Lines of the keeper's colours, swapped by clicks, until he yields.
             const auto keepers = [](const hstring& type) { return type == "C04040" || type == "E08030"; };
             for (int swaps = 0; swaps < 60 && Session::getActiveScene() == duel && !duel->isFinished();
                  ++swaps)
             {
                 for (float waited = 0.0f; duel->isBusy() && !duel->isFinished() && waited < 60.0f;
                      waited += 0.05f)
                 {
                     t.engine->frame(0.05f);
                 }
                 if (duel->isFinished())
                 {
                     break;
                 }
                 int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
                 ASSERT_TRUE(match3test::findLineSwap(duel->getBoard(), keepers, c1, r1, c2, r2));
                 t.engine->clickObject(duel->getCell(c1, r1));
                 t.engine->clickObject(duel->getCell(c2, r2));
                 t.frames(0.1f);
             }
             EXPECT_TRUE(duel->isFinished()) << "health " << duel->getHealth();
             EXPECT_TRUE(t.engine->settleAt("village.yard")) << t.engine->logText();
             EXPECT_TRUE(t.said("The keeper yields: you won the duel.")) << t.engine->logText();
         }},
        {"A store screen",
         [](T& t)
         {
             ASSERT_EQ(std::string(Session::getActiveScene()->getFullName()), "menu.MainMenu");
             tesraui::Object* store =
                 Session::getActiveScene()->getRootObject()->getDataset()->tryGetObject("store_button");
             ASSERT_NE(store, nullptr);
             t.engine->clickObject(store);
             ASSERT_TRUE(t.engine->settleAt("menu.StoreMenu")) << t.engine->logText();
             ASSERT_NE(orvalo::getUpsellScreen(), nullptr);
             EXPECT_FALSE(UI::getInstance()->isErrorOverlayShown());
             // The buttons' picture, drawn where the dataset puts them.
             tesraui::Object* later = orvalo::getUpsellLaterButton();
             ASSERT_NE(later, nullptr);
             t.engine->frame();
             const kavtypes::Rectangle rect = later->getBoundingRect();
             EXPECT_EQ(t.engine->pixel((int)rect.x + 4, (int)rect.y + 4),
                       (std::vector<int>{40, 90, 160, 255}));
             t.engine->clickObject(orvalo::getUpsellUnlockButton());
             t.frames(0.1f);
             EXPECT_TRUE(t.said("Thank you: the whole adventure is yours.")) << t.engine->logText();
             t.engine->clickObject(orvalo::getUpsellRestoreButton());
             t.frames(0.1f);
             EXPECT_TRUE(t.said("Nothing to restore yet.")) << t.engine->logText();
             EXPECT_EQ(std::string(Session::getActiveScene()->getFullName()), "menu.StoreMenu");
             t.engine->clickObject(later);
             EXPECT_TRUE(t.engine->settleAt("menu.MainMenu")) << t.engine->logText();
             EXPECT_EQ(orvalo::getUpsellScreen(), nullptr) << "the screen goes with the store";
         }},
        {"A landing page of your other games",
         [](T& t)
         {
             ASSERT_EQ(std::string(Session::getActiveScene()->getFullName()), "menu.OrvaloStart");
             ASSERT_TRUE(orvalo::isMoreGamesScreenShown());
             EXPECT_FALSE(UI::getInstance()->isErrorOverlayShown());
             tesraui::Object* play = orvalo::getPlayButton();
             ASSERT_NE(play, nullptr);
             tesraui::Dataset* page = play->getDataset();
             // The other game's thumbnail in the list, this game's logo beside it.
             auto* logo = dynamic_cast<tesraui::ImageBox*>(page->getObject("orvalo_mgs_game_logo"));
             ASSERT_NE(logo, nullptr);
             EXPECT_NE(logo->getImage(), nullptr);
             const auto& thumbnails = page->getObject("orvalo_mgs_scroll_area")->getChildren();
             ASSERT_EQ(thumbnails.size(), 1);
             EXPECT_EQ(std::string(thumbnails[0]->getProperty("image")),
                       "orvalo_second_game.thumbnail/image");
             // The page waits for the player.
             t.frames(1.0f);
             EXPECT_EQ(std::string(Session::getActiveScene()->getFullName()), "menu.OrvaloStart");
             t.engine->clickObject(play);
             EXPECT_TRUE(t.engine->settleAt("village.yard")) << t.engine->logText();
             EXPECT_FALSE(orvalo::isMoreGamesScreenCreated());
         }},
        {"A looping sound with a one-shot over it",
         [](T& t)
         {
             EXPECT_EQ(std::string(Session::getActiveScene()->getFullName()), "village.belfry");
             EXPECT_EQ(t.lua("sound.isPlaying('wind')"), "true");
             EXPECT_EQ(t.lua("sound.isPlaying('bell')"), "false");
             t.click(keeperX, keeperY);
             EXPECT_EQ(t.lua("sound.isPlaying('bell')"), "true");
             EXPECT_EQ(t.lua("sound.isPlaying('wind')"), "true");
             t.click(wayOutX, wayOutY);
             EXPECT_TRUE(t.engine->settleAt("village.yard"));
         }},
    };
    return checks;
}
