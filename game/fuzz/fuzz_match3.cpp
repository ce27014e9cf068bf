// Arbitrary bytes as the script of a match-three scene, the file that holds its settings: the scene is
// entered, its board played by a few clicks and skipped, then left for a plain scene of another chapter,
// which unloads it so that the next input's file is read anew.
#include <string>

#include <tesraui/EventArgs.h>
#include <yim/yim.h>

#include "FuzzEngine.h"
#include "Match3Scene.h"
#include "Scene.h"

using namespace vumo;

namespace
{
    // Frames until no scene change is under way; a few at most.
    void settle()
    {
        for (int i = 0; i < 8 && (i == 0 || Session::isTransitionRunning()); ++i)
        {
            fuzz_engine::frame(0.05f);
        }
    }

    void click(Match3Scene* scene, int column, int row)
    {
        Match3Element* cell = scene->getCell(column, row);
        if (cell != nullptr)
        {
            tesraui::EventArgs args(cell, 0.0f, 0.0f, 1, "");
            scene->onCellMouseDown(&args);
        }
    }
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Scene::registerFactory(Match3Scene::typeName, &Match3Scene::create);
    fuzz_engine::start({
        {"cfg/vumo.cfg",
         "title: FuzzMatch3\ndisplay_title: Fuzz Match3\ntarget: pc\nwidth: 320\nheight: 240\n"
         "audio_mute: 1\nscene: lobby.start\n"},
        {"data/ui/ui.dts", "<Dataset/>"},
        // The game's own variable that a won duel counts in.
        {"data/lib/game.lua",
         "if not vars.exists('inn_templar_count') then vars.create('inn_templar_count', 0) end\n"},
        {"data/chapters/lobby/lobby.datadef", "<Dataset/>"},
        {"data/chapters/lobby/scenes/start.scene", ""},
        {"data/chapters/duel/duel.datadef", "<Dataset/>"},
    });
    if (yim::manager == nullptr)
    {
        yim::init(yim::SystemType::AS_DISABLED, 0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    fuzz_engine::beginInput();
    fuzz_support::writeFile("data/chapters/duel/scenes/board.match3.scene",
                            std::string((const char*)data, size));
    Session::changeScene("duel.board", 0.0f, "");
    settle();
    if (auto* scene = dynamic_cast<Match3Scene*>(Session::getActiveScene()))
    {
        const int clicks[][2] = {{0, 0}, {1, 0}, {2, 2}, {2, 3}, {1, 1}, {3, 3}, {0, 1}, {0, 0}};
        for (const auto& cell : clicks)
        {
            click(scene, cell[0], cell[1]);
            fuzz_engine::frame(0.1f);
        }
        for (int i = 0; i < 20 && scene->isBusy(); ++i)
        {
            fuzz_engine::frame(0.1f);
        }
        scene->skip();
        fuzz_engine::frame(0.1f);
    }
    Session::changeScene("lobby.start", 0.0f, "");
    settle();
    return 0;
}
