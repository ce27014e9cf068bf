#pragma once

#include <map>

#include <lua.hpp>
#include <tesraui/EventArgs.h>
#include <tesraui/ImageBox.h>
#include <yim/yim.h>

#include "Chapter.h"
#include "EngineHarness.h"
#include "Match3Scene.h"
#include "Variables.h"

using namespace vumo;

namespace match3test
{
    typedef std::map<std::string, std::string> Settings;

    inline const Settings defaults = {
        {"image_base", "'0x'"},
        {"x", "0"},
        {"y", "0"},
        {"columns", "5"},
        {"rows", "5"},
        {"width", "16"},
        {"height", "16"},
        {"image_width", "14"},
        {"image_height", "14"},
        {"positive", "'FF0000,00FF00'"},
        {"neutral", "'0000FF'"},
        {"negative", "'FFFF00'"},
        {"time", "0"},
        {"positive_effect", "100"},
        {"negative_effect", "10"},
        {"health_points", "0"},
        {"horizontal_bars", "0"},
    };

    // Adds an image box of that name to the root object of the duel scene while its script runs.
    inline int addObject(lua_State* L)
    {
        Scene* scene = Session::getChapter("duel")->getScene("board");
        tesraui::ImageBox* box =
            new tesraui::ImageBox(lua_tostring(L, 1), kavtypes::Rectangle(0.0f, 0.0f, 10.0f, 10.0f));
        scene->getRootObject()->addChildAndRegister(box);
        return 0;
    }
} // namespace match3test

// The duel scene "duel.board" on a board of colour images, entered from a plain scene once the test has set
// its settings; the scene script notes "OnSolved" in a journal.
class Match3SceneTest : public harness::GameTest
{
protected:
    bool ownAudio = false;

    void TearDown() override
    {
        engine.reset();
        if (ownAudio)
        {
            yim::destroy();
        }
    }

    typedef match3test::Settings Settings;

    // The settings are Lua expressions; "nil" leaves one out. The game starts in the lobby and goes to the
    // duel, or, asked so, starts in the duel.
    void start(const Settings& overrides = {}, const std::string& extraScript = "", bool fromLobby = true)
    {
        Settings settings = match3test::defaults;
        for (const auto& pair : overrides)
        {
            settings[pair.first] = pair.second;
        }
        std::string script = "function OnSolved() note('solved') end\n" + extraScript;
        for (const auto& pair : settings)
        {
            script += "_match3_" + pair.first + " = " + pair.second + "\n";
        }
        folder.config(fromLobby ? "scene: duel.lobby\n" : "scene: duel.board\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/lib/game.lua",
                   "journal = {}\nfunction note(x) journal[#journal + 1] = x end\n"
                   "if not vars.exists('inn_templar_count') then vars.create('inn_templar_count', 0) end\n");
        folder.put("data/chapters/duel/duel.datadef", "<Dataset/>");
        folder.put("data/chapters/duel/scenes/lobby.scene", "");
        folder.put("data/chapters/duel/scenes/board.match3.scene", script);
        engine.reset(new harness::Engine(folder));
        Scene::registerFactory(Match3Scene::typeName, &Match3Scene::create);
        engine->start();
        if (yim::manager == nullptr)
        {
            yim::init(yim::SystemType::AS_DISABLED, 0);
            ownAudio = true;
        }
        lua_register(LuaInterface::state, "add_object", &match3test::addObject);
        if (fromLobby)
        {
            Session::changeScene("duel.board", 0.0f, "");
        }
    }
    // A game of its own, as a player starts it anew, for each row of a table.
    void startAfresh(const Settings& overrides, const std::string& extraScript = "", bool fromLobby = true)
    {
        engine.reset();
        if (ownAudio)
        {
            yim::destroy();
            ownAudio = false;
        }
        harness::forgetSession();
        harness::Engine::log().clear();
        start(overrides, extraScript, fromLobby);
    }
    Match3Scene* scene() { return dynamic_cast<Match3Scene*>(Session::getActiveScene()); }
    std::string journal() { return engine->lua("table.concat(journal, ' ')"); }
    tesraui::Object* object(const hstring& name) { return Session::getChapter("duel")->tryGetObject(name); }
    int templarCount() { return VariableDictionary::getGlobal().get("inn_templar_count").toInt(); }

    void click(int column, int row)
    {
        Match3Element* cell = scene()->getCell(column, row);
        ASSERT_NE(cell, nullptr);
        tesraui::EventArgs args(cell, 0.0f, 0.0f, 1, "");
        scene()->onCellMouseDown(&args);
    }
    // Frames of 0.1 s until the board takes clicks again; false when it never does.
    bool settle(int maxFrames = 300)
    {
        for (int i = 0; i < maxFrames; ++i)
        {
            engine->frame(0.1f);
            if (!scene()->isBusy())
            {
                return true;
            }
        }
        return false;
    }
    // The first pair of neighbours whose swap makes (or, asked so, does not make) a run.
    bool findSwap(bool makesRun, int& c1, int& r1, int& c2, int& r2)
    {
        Match3Board board = scene()->getBoard();
        for (int c = 0; c < board.getColumns(); ++c)
        {
            for (int r = 0; r < board.getRows(); ++r)
            {
                for (const std::pair<int, int>& step : {std::make_pair(1, 0), std::make_pair(0, 1)})
                {
                    const int c2_ = c + step.first;
                    const int r2_ = r + step.second;
                    if (c2_ >= board.getColumns() || r2_ >= board.getRows())
                    {
                        continue;
                    }
                    board.swap(c, r, c2_, r2_);
                    const bool run = board.hasRun();
                    board.swap(c, r, c2_, r2_);
                    if (run == makesRun)
                    {
                        c1 = c, r1 = r, c2 = c2_, r2 = r2_;
                        return true;
                    }
                }
            }
        }
        return false;
    }
};
