// The match-three duel's board work beside the same search on a plain array of small integers: one
// score, collapse and refill step of an 8 x 8 board of UI cells, and a reset's re-roll loop. A third
// benchmark counts the re-rolls of 10,000 seeded resets and refills of the duel's demo pool (2 positive, 1
// neutral, 1 negative type), which set the bounds of the board's loops.
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include <quortypes/util.h>

#include "Chapter.h"
#include "BenchGame.h"
#include "Compare.h"
#include "Config.h"
#include "Match3Scene.h"
#include "Session.h"

using namespace vumo;

namespace
{
    const int size = 8;
    const harray<hstring> pool = {"A", "B", "C", "N"};
    const harray<hstring> negative = {"N"};

    // The plain side: types 0-3 in a flat array, 3 the negative one.
    struct PlainBoard
    {
        int cells[size][size];

        void roll()
        {
            for (int c = 0; c < size; ++c)
            {
                for (int r = 0; r < size; ++r)
                {
                    cells[c][r] = quortypes::randomInt(4);
                }
            }
        }
        bool hasRun() const
        {
            for (int line = 0; line < size; ++line)
            {
                for (int i = 0; i + 2 < size; ++i)
                {
                    if ((cells[i][line] == cells[i + 1][line] && cells[i][line] == cells[i + 2][line]) ||
                        (cells[line][i] == cells[line][i + 1] && cells[line][i] == cells[line][i + 2]))
                    {
                        return true;
                    }
                }
            }
            return false;
        }
        int at(int c, int r, bool t) const { return t ? cells[r][c] : cells[c][r]; }
        int countMoves() const
        {
            int count = 0;
            for (bool t : {false, true})
            {
                for (int r = 0; r < size; ++r)
                {
                    for (int c = 0; c < size - 1; ++c)
                    {
                        const int x = at(c, r, t);
                        if (x == 3)
                        {
                            continue;
                        }
                        if (at(c + 1, r, t) == x)
                        {
                            if (c + 2 < size)
                            {
                                count += (c + 3 < size && at(c + 3, r, t) == x) +
                                         (r > 0 && at(c + 2, r - 1, t) == x) +
                                         (r < size - 1 && at(c + 2, r + 1, t) == x);
                            }
                            if (c > 0)
                            {
                                count += (c >= 2 && at(c - 2, r, t) == x) +
                                         (r > 0 && at(c - 1, r - 1, t) == x) +
                                         (r < size - 1 && at(c - 1, r + 1, t) == x);
                            }
                        }
                        if (c + 2 < size && at(c + 2, r, t) == x)
                        {
                            count += (r > 0 && at(c + 1, r - 1, t) == x) +
                                     (r < size - 1 && at(c + 1, r + 1, t) == x);
                        }
                    }
                }
            }
            return count;
        }
    };

    // The duel scene with its steps in reach.
    class BenchScene : public Match3Scene
    {
    public:
        using Match3Scene::Match3Scene;
        static Scene* create(Chapter* chapter, const hstring& name, const hstring& fileName)
        {
            return new BenchScene(chapter, name, fileName);
        }
        // A fresh board with a run of three along the top row.
        void prepareRun()
        {
            _resetBoard();
            for (int c = 0; c < 3; ++c)
            {
                _setType(c, 0, "FF0000");
            }
        }
        void step()
        {
            _scoreMatches();
            _collapseAndRefill();
        }
    };

    BenchScene* startDuel()
    {
        static BenchScene* scene = nullptr;
        if (scene != nullptr)
        {
            return scene;
        }
        Scene::registerFactory(Match3Scene::typeName, &BenchScene::create);
        benchgame::start(
            "match3",
            [](const std::filesystem::path& folder)
            {
                benchgame::put(folder, "cfg/vumo.cfg",
                               "title: Match3Bench\ntarget: pc\nwidth: 320\nheight: 240\naudio_mute: 1\n"
                               "scene: duel.board\n");
                benchgame::put(folder, "data/ui/ui.dts", "<Dataset/>");
                benchgame::put(folder, "data/lib/game.lua", "vars.create('inn_templar_count', 0)\n");
                benchgame::put(folder, "data/chapters/duel/duel.datadef", "<Dataset/>");
                benchgame::put(folder, "data/chapters/duel/scenes/board.match3.scene",
                               "_match3_image_base = '0x' _match3_x = 0 _match3_y = 0 _match3_columns = 8 "
                               "_match3_rows = 8\n"
                               "_match3_width = 24 _match3_height = 24 _match3_image_width = 22 "
                               "_match3_image_height = 22\n"
                               "_match3_positive = 'FF0000,00FF00' _match3_neutral = '0000FF' "
                               "_match3_negative = 'FFFF00'\n"
                               "_match3_time = 0 _match3_positive_effect = 1 _match3_negative_effect = 1\n"
                               "_match3_health_points = 0 _match3_horizontal_bars = 0\n");
            });
        scene = dynamic_cast<BenchScene*>(Session::getActiveScene());
        return scene;
    }

    void ScoreCollapseRefillStep(benchmark::State& state)
    {
        BenchScene* scene = startDuel();
        PlainBoard plain;
        benchcompare::Side ours{[scene] { scene->step(); }, [scene] { scene->prepareRun(); }};
        benchcompare::Side reference{[&plain]
                                     { benchmark::DoNotOptimize(plain.hasRun() + plain.countMoves()); },
                                     [&plain] { plain.roll(); }};
        benchcompare::compare(state, ours, reference);
    }
    BENCHMARK(ScoreCollapseRefillStep)->Iterations(1)->Unit(benchmark::kMicrosecond);

    void ResetRerollLoop(benchmark::State& state)
    {
        Match3Board board(size, size);
        PlainBoard plain;
        unsigned int seed = 1;
        benchcompare::Side ours{[&board]
                                { board.rollUntilPlayable(pool, negative, Match3Board::maxBoardRolls); },
                                [&seed] { quortypes::seedRandom(seed++); }};
        benchcompare::Side reference{[&plain]
                                     {
                                         do
                                         {
                                             plain.roll();
                                         } while (plain.hasRun() || plain.countMoves() == 0);
                                     },
                                     [&seed] { quortypes::seedRandom(seed++); }};
        benchcompare::compare(state, ours, reference);
    }
    BENCHMARK(ResetRerollLoop)->Iterations(1)->Unit(benchmark::kMicrosecond);

    void RerollCounts(benchmark::State& state)
    {
        std::vector<int> resets, refills;
        for (auto _ : state)
        {
            for (unsigned int seed = 1; seed <= 10000; ++seed)
            {
                quortypes::seedRandom(seed);
                Match3Board board(size, size);
                resets.push_back(board.rollUntilPlayable(pool, negative, Match3Board::maxBoardRolls));
                // A run of three cleared from the top row of a settled board.
                std::vector<std::pair<int, int>> refilled = {{0, 0}, {1, 0}, {2, 0}};
                int rolls = 0;
                board.refillUntilMovable(refilled, pool, negative, rolls);
                refills.push_back(rolls);
            }
        }
        std::sort(resets.begin(), resets.end());
        std::sort(refills.begin(), refills.end());
        state.counters["reset_median"] = resets[resets.size() / 2];
        state.counters["reset_p999"] = resets[resets.size() * 999 / 1000];
        state.counters["reset_max"] = resets.back();
        state.counters["refill_median"] = refills[refills.size() / 2];
        state.counters["refill_max"] = refills.back();
    }
    BENCHMARK(RerollCounts)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace
