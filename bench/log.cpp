// Log lines of a scene's enter (a texture's lines, a frame's worth at a time, the frame ending in the log's
// flush) into a log file, the console going to /dev/null, beside fwrite of the same lines to a file kept
// open, flushed as often; times per line, and lines a second on the CPU clock.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <quortypes/Log.h>
#include <quortypes_testing/TempFolder.h>

#include "Compare.h"
#include "QuietConsole.h"

namespace
{
    const int linesPerFrame = 120;

    std::vector<hstring> frameLines()
    {
        std::vector<hstring> lines;
        for (int i = 0; i < linesPerFrame; ++i)
        {
            lines.push_back(
                formatString("Loading texture 'data/chapters/c1/scenes/room/layer_%03d.png' (%d x %d).", i,
                             256 + i, 128 + i));
        }
        return lines;
    }

    void LogLinesBesideFwrite(benchmark::State& state)
    {
        const std::string dir = quortypes_testing::makeTempFolder("vumo-bench-log-");
        const std::vector<hstring> lines = frameLines();
        const hstring tag = "tesra";
        benchconsole::QuietConsole quiet;
        quortypes::Log::setFilename(dir + "/game.log", true);
        benchcompare::Side ours{[&]
                                {
                                    for (const hstring& line : lines)
                                    {
                                        quortypes::Log::write(tag, line);
                                    }
                                    quortypes::Log::flush();
                                }};
        FILE* file = fopen((dir + "/reference.log").c_str(), "wb");
        long written = 0;
        benchcompare::Side reference{[&]
                                     {
                                         for (const hstring& line : lines)
                                         {
                                             const hstring text = "[" + tag + "] " + line + "\n";
                                             fwrite(text.data(), 1, text.size(), file);
                                         }
                                         fflush(file);
                                         // Bounded like the log's segments.
                                         if (++written % 1000 == 0)
                                         {
                                             rewind(file);
                                         }
                                     }};
        benchcompare::compare(state, ours, reference, linesPerFrame, 5, 0.2);
        state.counters["cpu_ours_lines_per_s"] = 1e6 / state.counters["cpu_ours_us"];
        state.counters["cpu_ref_lines_per_s"] = 1e6 / state.counters["cpu_ref_us"];
        fclose(file);
        quortypes::Log::setFilename("", false);
        std::filesystem::remove_all(dir);
    }
    BENCHMARK(LogLinesBesideFwrite)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace
