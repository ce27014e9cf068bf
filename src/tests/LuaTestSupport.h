#pragma once

#include <stdlib.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <lua.hpp>

#include <quortypes/Dir.h>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/hdict.h>
#include <quortypes_testing/TempFolder.h>

#include "Config.h"
#include "lua/Calls.h"
#include "lua/Host.h"
#include "lua/LuaInterface.h"

using namespace vumo;

namespace luatest
{
    typedef std::vector<std::string> Lines;

    // Stands in for the session, the UI and the scenes; every call is noted in the journal, and code is
    // really run (the UI's in "ui", a scene's in its environment).
    class RecordingHost : public LuaInterface::Host
    {
    public:
        Lines journal;
        bool debugMode = false;
        Scene* scene = nullptr;
        tesraui::Dataset* dataset = nullptr;
        hstring environment;

        void showFatalError(const quortypes::exception& e) override
        {
            journal.push_back("fatal: " + e.getMessage());
        }
        void executeInUI(const hstring& code) override
        {
            journal.push_back("ui: " + code);
            Host::executeInUI(code);
        }
        void showErrorOverlay(const hstring& message) override { journal.push_back("overlay: " + message); }
        bool isDebugModeEnabled() override { return debugMode; }
        Scene* getActiveScene() override { return scene; }
        void runSceneScript(Scene* target, const hstring& code) override
        {
            journal.push_back("scene: " + code);
            Host::runSceneScript(target, code);
        }
        tesraui::Dataset* getSceneDataset(Scene*) override { return dataset; }
        hstring getSceneEnvironment(Scene*) override { return environment; }
        // The scene stands until the test ends it.
        tesraui::LifeToken sceneLife;
        tesraui::LifeToken::Watch watchScene(Scene*) override { return sceneLife.watch(); }
        void runObjectScript(tesraui::Dataset*, const hstring& code) override
        {
            journal.push_back("object: " + code);
            Host::executeInUI(code);
        }
        Lines take() { return std::exchange(journal, Lines()); }
    };

    // Log lines as "[tag] text" while alive.
    struct LogCapture
    {
        LogCapture()
        {
            lines.clear();
            quortypes::Log::setCallback([](const hstring& tag, const hstring& text)
                                        { lines.push_back("[" + tag + "] " + text); });
        }
        ~LogCapture() { quortypes::Log::setCallback(nullptr); }
        Lines take() { return std::exchange(lines, Lines()); }
        static inline Lines lines;
    };

    // A scratch resource folder with its own data/lib; the state starts when start() is called and ends
    // with the test.
    class LuaTest : public ::testing::Test
    {
    protected:
        RecordingHost host;
        hstring folder;
        hstring oldCwd;

        void SetUp() override
        {
            this->folder = quortypes_testing::makeTempFolder("vumo_lua_test_");
            this->oldCwd = quortypes::Resource::getCwd();
            quortypes::Resource::setCwd(this->folder);
            quortypes::Dir::create(this->folder + "/data/lib");
            LuaInterface::setHost(&this->host);
            Session::getConfig().erase("-e");
        }
        void TearDown() override
        {
            LuaInterface::destroy();
            LuaInterface::setHost(nullptr);
            Session::getConfig().erase("-e");
            quortypes::Resource::setCwd(this->oldCwd);
            quortypes::Dir::remove(this->folder);
        }
        void write(const hstring& name, const std::string& data)
        {
            const hstring full = quortypes::Dir::joinPath(this->folder, name);
            quortypes::Dir::create(quortypes::Dir::baseDir(full));
            std::ofstream(full.c_str(), std::ios::binary) << data;
        }
        void start() { LuaInterface::init(); }
        lua_State* L() const { return LuaInterface::state; }
        // Runs code and returns its results as dumpValue writes them, joined by "|".
        std::string eval(const hstring& code, const hstring& chunkName = "")
        {
            harray<hstring> results;
            LuaInterface::executeWithReturnValues(code, "", results, chunkName);
            return results.joined("|");
        }
        // The message of the exception that action throws, or "no error".
        template <class Action> static std::string thrownBy(Action action)
        {
            try
            {
                action();
            }
            catch (const quortypes::exception& e)
            {
                return e.getMessage();
            }
            return "no error";
        }
        std::string failure(const hstring& code)
        {
            return thrownBy([&] { LuaInterface::execute(code); });
        }
        // The message of a Lua error raised by code inside a protected call of a chunk named "test".
        std::string pcallMessage(const hstring& code)
        {
            return eval("local ok, e = pcall(function() " + code + " end) return e", "test");
        }
    };
} // namespace luatest
