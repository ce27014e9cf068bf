// Saving a profile beside the same bytes written by hand: write and rename, with and without fsync.
// Interleaved: the diff text of 100,000 variables beside writing its bytes to a file, and a profile's save
// beside the same I/O done by hand (the old file read and checked, the backup and the new file each saved
// atomically).
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include <benchmark/benchmark.h>

#include <quortypes/AtomicFile.h>
#include <quortypes/Log.h>

#include "Compare.h"
#include "Config.h"
#include <quortypes/FileBytes.h>
#include <quortypes_testing/TempFolder.h>
#include "Profile.h"
#include "Variables.h"

using namespace vumo;

namespace
{
    // A profile whose sync needs no script host.
    class BenchProfile : public Profile
    {
    public:
        BenchProfile() : Profile("bench") {}
        void syncIfAllowed() override {}
        hstring diffText() const { return this->snapshot.writeDiff(); }
    };

    std::string setUp(int count)
    {
        static std::string root;
        if (root == "")
        {
            root = quortypes_testing::makeTempFolder("vumo-bench-profile-");
            setenv("XDG_DATA_HOME", root.c_str(), 1);
            Session::getConfig()["title"] = "ProfileBench";
        }
        VariableDictionary& variables = VariableDictionary::getGlobal();
        variables = VariableDictionary();
        for (int i = 0; i < count; ++i)
        {
            variables.create("variable_" + hstring(i), "0");
        }
        // As the engine's start-up leaves them, and a profile's file naming its folder (without that, every
        // save would take the old file for another profile's and keep it aside instead of backing it up).
        variables.create("profile_dir", "");
        variables.captureDefaults();
        variables.setLocked(true);
        variables.get("profile_dir").setValue("bench", true);
        std::filesystem::create_directories(std::string(Session::getUserFolder()) + "bench");
        return std::string(Session::getUserFolder()) + "bench/";
    }

    // Half the variables take a value away from their default, a different one each round.
    void change(int count, int round)
    {
        VariableDictionary& variables = VariableDictionary::getGlobal();
        for (int i = 0; i < count; i += 2)
        {
            variables.get("variable_" + hstring(i))
                .setValue(hstring(round % 2 == 0 ? "first value" : "second value"), true);
        }
    }

    void ProfileSaveToFile(benchmark::State& state)
    {
        const int count = (int)state.range(0);
        setUp(count);
        BenchProfile profile;
        profile.sync();
        int round = 0;
        for (auto _ : state)
        {
            state.PauseTiming();
            change(count, ++round);
            profile.sync();
            state.ResumeTiming();
            benchmark::DoNotOptimize(profile.saveToFile());
        }
    }

    void WriteAndRename(benchmark::State& state, bool flush)
    {
        const int count = (int)state.range(0);
        const std::string folder = setUp(count);
        BenchProfile profile;
        change(count, 1);
        profile.sync();
        const hstring text = profile.diffText();
        const std::string path = folder + "reference.diff";
        for (auto _ : state)
        {
            const std::string temporary = path + ".tmp";
            const int file = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            benchmark::DoNotOptimize(write(file, text.data(), text.size()));
            if (flush)
            {
                fsync(file);
            }
            close(file);
            rename(temporary.c_str(), path.c_str());
        }
    }

    void WriteRenameFsync(benchmark::State& state)
    {
        WriteAndRename(state, true);
    }

    void WriteRenameNoFsync(benchmark::State& state)
    {
        WriteAndRename(state, false);
    }

    // Writing bytes to a file under a temporary name and renaming it over the old one, without fsync.
    void writeBytes(const std::string& path, const hstring& text)
    {
        const std::string temporary = path + ".tmp";
        const int file = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        benchmark::DoNotOptimize(write(file, text.data(), text.size()));
        close(file);
        rename(temporary.c_str(), path.c_str());
    }

    void DiffTextBesideWritingItsBytes(benchmark::State& state)
    {
        const int count = (int)state.range(0);
        const std::string folder = setUp(count);
        BenchProfile profile;
        change(count, 1);
        profile.sync();
        const hstring text = profile.diffText();
        benchcompare::Side diff{[&profile] { benchmark::DoNotOptimize(profile.diffText()); }};
        benchcompare::Side bytes{[&folder, &text] { writeBytes(folder + "reference.diff", text); }};
        benchcompare::compare(state, diff, bytes);
        state.counters["bytes"] = (double)text.size();
    }

    void SaveToFileBesideTheSameIoByHand(benchmark::State& state)
    {
        const int count = (int)state.range(0);
        const std::string folder = setUp(count);
        quortypes::Log::setCallback([](const hstring&, const hstring&) {});
        BenchProfile profile;
        profile.sync();
        int round = 0;
        benchcompare::Side save{[&profile] { benchmark::DoNotOptimize(profile.saveToFile()); }};
        save.prepare = [&]
        {
            change(count, ++round);
            profile.sync();
        };
        // The same files by hand: the text is made beforehand, the old file is read and its checksum
        // checked (a damaged file must never replace the backup, so a save cannot skip that), then the
        // backup and the new file are saved atomically, each flushed as the save flushes them.
        const hstring path = folder + "byhand.diff";
        quortypes::saveFileAtomically(path, profile.diffText());
        hstring text;
        benchcompare::Side byHand{
            [&]
            {
                hstring current;
                if (readFileIfPresent(path, current) && VariableDictionary::diffCrcMatches(current))
                {
                    quortypes::saveFileAtomically(path + ".backup", current);
                }
                quortypes::saveFileAtomically(path, text);
            }};
        byHand.prepare = [&]
        {
            change(count, ++round);
            profile.sync();
            text = profile.diffText();
        };
        // Nine repeats: a flush to the disk varies far more from call to call than the work beside it.
        benchcompare::compare(state, save, byHand, 1.0, 9);
        // Saved here, so that the destructor finds nothing to save.
        profile.saveToFile();
        state.counters["variables"] = count;
    }
} // namespace

BENCHMARK(DiffTextBesideWritingItsBytes)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveToFileBesideTheSameIoByHand)
    ->Arg(1000)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ProfileSaveToFile)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteRenameFsync)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteRenameNoFsync)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
