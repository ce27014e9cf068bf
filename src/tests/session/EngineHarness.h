#pragma once

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <quortypes/FileFaults.h>
#include <quortypes/Log.h>
#include <quortypes/exception.h>
#include <quortypes/util.h>
#include <tesra/Image.h>
#include <tesra/RenderSystem.h>
#include <tesra/UpdateDelegate.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>
#include <tesraui/Container.h>
#include <tesrauilua/Literal.h>
#include <quortypes_testing/TempFolder.h>
#include <tesra_testing/KeepLoadedLibraries.h>

#include "Config.h"
#include "PngFile.h"
#include "Scene.h"
#include "Session.h"
#include "SessionState.h"
#include "Chapter.h"
#include "Variables.h"
#include "ui/UI.h"
#include "lua/LuaInterface.h"

using namespace vumo;

// The engine started whole in this process on a game folder each test writes. It names no game's code: a
// test program built with a game defines what that game adds at start and end, and its demo's files and
// player (game/tests/GameHarness.cpp); the engine's own defines that no game is there (EngineHarness.cpp).
namespace harness
{
    // What the game's start registers before the session starts, as the game's program does.
    void registerGameTypes();
    // The game's end, which takes the session down with whatever the game started beside it.
    void destroyGame();

    typedef std::vector<std::string> Lines;

    inline std::string readFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // The lines of text in order, each found after the one before it.
    inline ::testing::AssertionResult inOrder(const std::string& text, const Lines& lines)
    {
        size_t at = 0;
        for (const std::string& line : lines)
        {
            const size_t found = text.find(line, at);
            if (found == std::string::npos)
            {
                return ::testing::AssertionFailure() << "missing after offset " << at << ": " << line;
            }
            at = found + line.size();
        }
        return ::testing::AssertionSuccess();
    }

    // A PNG file of 72 by 72 pixels for a test that needs any picture at all: opaque colours that change
    // across it, with a transparent border of 4 pixels. Written once per process, removed at its end.
    inline std::string anyPicture()
    {
        static const std::string* path = []
        {
            const int size = 72;
            std::string rgba(size * size * 4, '\0');
            for (int y = 0; y < size; ++y)
            {
                for (int x = 0; x < size; ++x)
                {
                    const bool border = (x < 4 || y < 4 || x >= size - 4 || y >= size - 4);
                    unsigned char* p = (unsigned char*)&rgba[(y * size + x) * 4];
                    p[0] = (unsigned char)(x * 255 / size);
                    p[1] = (unsigned char)(y * 255 / size);
                    p[2] = 160;
                    p[3] = border ? 0 : 255;
                }
            }
            const std::string* made = new std::string(
                quortypes_testing::tempPath("vumo-harness-picture-" + std::to_string(getpid()) + ".png"));
            writePng(*made, size, size, (const unsigned char*)rgba.data());
            // Only by the process that made it: a death test's child ends through exit too, while the
            // program that forked it goes on drawing the picture.
            static const pid_t maker = getpid();
            std::atexit(
                []
                {
                    if (getpid() == maker)
                    {
                        std::remove(path->c_str());
                    }
                });
            return made;
        }();
        return *path;
    }

    // A game folder of its own: its files, its working folder, its per-user data and its instance lock.
    struct GameFolder
    {
        std::string path;
        // A folder that cannot be made throws: the case fails, and the cases after it still run.
        GameFolder() : path(quortypes_testing::makeTempFolder("vumo-engine-"))
        {
            std::filesystem::create_directories(path + "/xdg");
            std::filesystem::create_directories(path + "/run");
        }
        ~GameFolder() { std::filesystem::remove_all(path); }
        void put(const std::string& name, const std::string& bytes) const
        {
            std::filesystem::path file(path + "/" + name);
            std::filesystem::create_directories(file.parent_path());
            std::ofstream(file, std::ios::binary) << bytes;
        }
        // The demo's files (defined by the game's tests only).
        void copyDemo() const;
        // "data/lib/journal.lua": a journal the scripts fill through note(x), then the given lines.
        void putJournal(const std::string& more = "") const
        {
            put("data/lib/journal.lua",
                "journal = {}\nfunction note(x) journal[#journal + 1] = x end\n" + more);
        }
        // A configuration with the given lines after the title and a fixed window size.
        void config(const std::string& extra = "") const
        {
            put("cfg/vumo.cfg", "title: EngineTest\ndisplay_title: Engine Test\ntarget: pc\nwidth: 160\n"
                                "height: 120\naudio_mute: 1\n" +
                                    extra);
        }
        // The smallest game: an empty UI and one empty scene, "c1.a", to start at; the given lines join its
        // configuration.
        void emptyGame(const std::string& extraConfig = "") const
        {
            config("scene: c1.a\n" + extraConfig);
            put("data/ui/ui.dts", "<Dataset/>");
            put("data/chapters/c1/c1.datadef", "<Dataset/>");
            put("data/chapters/c1/scenes/a.scene", "");
        }
        std::string userFile(const std::string& title, const std::string& name) const
        {
            return path + "/xdg/Torvin Games/" + title + "/" + name;
        }
        std::string environment() const
        {
            // The in-process tests check leaks; the GL driver unloaded at exit would only add noise here.
            return "XDG_DATA_HOME='" + path + "/xdg' XDG_RUNTIME_DIR='" + path +
                   "/run' ASAN_OPTIONS=detect_leaks=0 ";
        }
    };

    // Makes one kind of file operation ("write" for the bytes of an atomic save, "remove") on a file or below
    // a folder fail with an errno while alive, as a read-only folder or a full disk would for a player (root,
    // running the tests, passes the real ones).
    struct FileFault
    {
        static inline std::string operation, below;
        static inline int error = 0;
        FileFault(const std::string& operation, const std::string& below, int error)
        {
            FileFault::operation = operation;
            FileFault::below = below;
            FileFault::error = error;
            quortypes::setFileFaultHook(&fail);
        }
        ~FileFault() { quortypes::setFileFaultHook(nullptr); }
        FileFault(const FileFault&) = delete;
        FileFault& operator=(const FileFault&) = delete;
        static int fail(const char* what, const hstring& path)
        {
            const std::string folder = (below.size() > 0 && below.back() == '/') ? below : below + "/";
            return operation == what && (path == below.c_str() || path.startsWith(folder.c_str())) ? error
                                                                                                   : 0;
        }
    };

    // The command that runs one case of this test program alone in a child process. The child does not
    // inherit the share a sharded one-process run hands this process, which would give it nothing to run.
    inline std::string ownCaseCommand(const std::string& test)
    {
        return "env -u GTEST_TOTAL_SHARDS -u GTEST_SHARD_INDEX '" +
               std::filesystem::read_symlink("/proc/self/exe").string() + "' --gtest_filter=" + test;
    }

    // Runs the player in the folder; its console output goes to out.txt there. Returns the exit code. Defined
    // by the game's tests only, which build the player.
    int runPlayer(const GameFolder& folder, const std::string& extraEnvironment = "");

    using tesra_testing::keepLoadedLibraries;

    // The whole engine started in this process on a game folder, driven through the window's delegates.
    class Engine
    {
    public:
        explicit Engine(const GameFolder& folder)
        {
            setenv("XDG_DATA_HOME", (folder.path + "/xdg").c_str(), 1);
            setenv("XDG_RUNTIME_DIR", (folder.path + "/run").c_str(), 1);
            setenv("TESRA_MESSAGEBOX_ANSWER", "ok", 1);
            oldDirectory = std::filesystem::current_path();
            std::filesystem::current_path(folder.path);
            quortypes::Log::setCallback([](const hstring& tag, const hstring& text)
                                        { log().push_back(tag + ": " + text); });
        }
        ~Engine()
        {
            this->stop();
            quortypes::Log::setCallback(nullptr);
            std::filesystem::current_path(oldDirectory);
        }
        // With the game's UI factory (createGameUI), the game's own shell starts as in the player.
        void start(Session::UIFactory createUI = nullptr)
        {
            ASSERT_TRUE(Session::loadConfig(false));
            registerGameTypes();
            Session::init(createUI);
            // The session seeds the generator from the clock: a test deals the same game whenever it runs.
            quortypes::seedRandom(1);
            keepLoadedLibraries();
            started = true;
        }
        // The demo as the player meets it: the landing page, Play, then the main menu's button of that
        // name, each clicked through the window, with frames until the scene has settled (defined by the
        // game's tests only).
        void startDemo(const std::string& button = "menu_adventure");
        // A press and release at the middle of the object, in window coordinates.
        void clickObject(tesraui::Object* object)
        {
            const kavtypes::Rectangle rect = object->getBoundingRect();
            clickAt(rect.x + rect.w / 2, rect.y + rect.h / 2);
        }
        // A press and release at a point of the window; the frame after the release is the caller's.
        void clickAt(float x, float y)
        {
            // As a hand clicks: the pointer arrives, then the press and the release, a frame apart.
            mouse(tesra::Window::MOUSE_MOVE, x, y);
            frame(0.016f);
            mouse(tesra::Window::MOUSE_DOWN, x, y);
            frame(0.016f);
            mouse(tesra::Window::MOUSE_UP, x, y);
        }
        // Frames of the given time until the state is there, for a generous time of the clock at most: how
        // many frames that takes is the engine's own business, and a slow build only takes longer.
        bool waitUntil(const std::function<bool()>& there, float timeDelta = 0.05f, int seconds = 30)
        {
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
            while (!there())
            {
                if (std::chrono::steady_clock::now() > end)
                {
                    return false;
                }
                frame(timeDelta);
            }
            return true;
        }
        // Frames of 0.05 s until the scene of that full name ("" any) is active and no transition runs, or
        // until `instead` holds (a state that stops the switch short, such as the error overlay), whichever
        // comes first, for a generous time of the clock at most. True when either came.
        bool settleAt(const std::string& scene, const std::function<bool()>& instead = nullptr)
        {
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            for (int i = 0; std::chrono::steady_clock::now() < end; ++i)
            {
                frame(0.05f);
                if (instead != nullptr && instead())
                {
                    return true;
                }
                if (!Session::isTransitionRunning() && Session::getActiveScene() != nullptr &&
                    (scene == "" || std::string(Session::getActiveScene()->getFullName()) == scene) &&
                    (scene != "" || i > 0))
                {
                    frame(0.016f);
                    if (!Session::isTransitionRunning())
                    {
                        return true;
                    }
                }
            }
            return false;
        }
        void stop()
        {
            if (started)
            {
                started = false;
                destroyGame();
            }
        }
        void frame(float timeDelta = 0.016f) { tesra::window->getUpdateDelegate()->onUpdate(timeDelta); }
        // As the window delivers it: the cursor moves to the point first. A press's clicks are those the
        // system counts: 2 for the second press of a double click.
        void mouse(tesra::Window::MouseEventType type, float x, float y, int button = 1, int clicks = 1)
        {
            tesra::window->queueMouseEvent(type, x, y, button, clicks);
            tesra::window->checkEvents();
        }
        // The second click of a double click at the point, after a click there; the frame after its release
        // is the caller's.
        void doubleClickAt(float x, float y)
        {
            clickAt(x, y);
            frame(0.016f);
            mouse(tesra::Window::MOUSE_DOWN, x, y, 1, 2);
            frame(0.016f);
            mouse(tesra::Window::MOUSE_UP, x, y);
        }
        // Red, green, blue and alpha of a pixel of the last frame drawn.
        std::vector<int> pixel(int x, int y)
        {
            std::unique_ptr<tesra::Image> shot(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA));
            const unsigned char* p = shot->data.get() + (y * shot->width + x) * 4;
            return {p[0], p[1], p[2], p[3]};
        }
        std::string lua(const hstring& expression)
        {
            harray<hstring> results;
            LuaInterface::executeWithReturnValues("return " + expression, "", results);
            return results.size() > 0 ? std::string(results[0]) : std::string("<none>");
        }
        // A raised error comes back as its message after "error: ", for tests that expect one.
        std::string luaOrError(const std::string& expression)
        {
            try
            {
                return lua(expression);
            }
            catch (const quortypes::exception& e)
            {
                return "error: " + std::string(e.getMessage());
            }
        }
        // The message a protected call of the code raised, without its position, or `passed` when it raised
        // none.
        std::string failure(const std::string& code, const std::string& passed = "ok")
        {
            std::string text =
                this->lua("(function() local ok, e = pcall(function() " + code + " end) if ok then return " +
                          tesrauilua::literal(passed) + " end return e end)()");
            const size_t at = text.find("]:1: ");
            return at == std::string::npos ? text : text.substr(at + 5);
        }
        static Lines& log()
        {
            static Lines lines;
            return lines;
        }
        // Logged errors, and the script errors the overlay reports (logged whether it is already up or not).
        static int errorLines()
        {
            int count = 0;
            for (const std::string& line : log())
            {
                const bool error = (line.find("ERROR: ") != std::string::npos ||
                                    line.rfind("scripting: Scripting Error: ", 0) == 0);
                count += (error ? 1 : 0);
            }
            return count;
        }
        std::string logText() const
        {
            std::string text;
            for (const std::string& line : log())
            {
                text += line + "\n";
            }
            return text;
        }
        // How often the text shows in the log, overlapping matches included.
        size_t logCount(const std::string& text) const
        {
            const std::string all = logText();
            size_t found = 0;
            for (size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + 1))
            {
                ++found;
            }
            return found;
        }

    private:
        std::filesystem::path oldDirectory;
        bool started = false;
    };

    // A variable of the game's own, as the game's start-up declares it before the dictionary is locked.
    inline void createGameVariable(const char* name, const char* value)
    {
        vumo::VariableDictionary& variables = vumo::VariableDictionary::getGlobal();
        variables.setLocked(false);
        variables.create(name, value);
        variables.setLocked(true);
    }

    // A restart in the same process starts from nothing, as a new process would: no variables, no user
    // folder and no configuration kept from before.
    inline void forgetSession()
    {
        vumo::VariableDictionary::getGlobal() = vumo::VariableDictionary();
        vumo::Session::forgetUserFolder();
        vumo::Session::forgetConfig();
    }

    // A fixture's own game folder, and the engine its tests start on it.
    class GameTest : public ::testing::Test
    {
    protected:
        GameFolder folder;
        std::unique_ptr<Engine> engine;

        // The engine started on a game of an empty UI and one script of "data/lib".
        void startOnScript(const std::string& file, const std::string& script)
        {
            folder.config();
            folder.put("data/ui/ui.dts", "<Dataset/>");
            folder.put("data/lib/" + file, script);
            engine.reset(new Engine(folder));
            engine->start();
        }
    };
} // namespace harness
