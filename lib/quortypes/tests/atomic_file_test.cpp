#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

#include <quortypes/AtomicFile.h>
#include <quortypes/exception.h>

#include "test_support.h"

namespace
{
    std::string thrownText(const std::string& path, const std::string& data)
    {
        try
        {
            quortypes::saveFileAtomically(path, data);
        }
        catch (quortypes::exception& e)
        {
            return e.getMessage();
        }
        return "nothing thrown";
    }
} // namespace

TEST(AtomicFile, CreatesAndReplacesWithoutLeftovers)
{
    ScratchDir dir;
    quortypes::saveFileAtomically(dir / "state.bin", std::string("a\0b", 3));
    EXPECT_EQ(dir.read("state.bin"), std::string("a\0b", 3));
    // A temporary file left by an earlier crash is simply overwritten.
    dir.put("state.bin.tmp", "stale and long, longer than the new contents");
    quortypes::saveFileAtomically(dir / "state.bin", "");
    EXPECT_EQ(dir.read("state.bin"), "");
    EXPECT_FALSE(std::filesystem::exists(dir / "state.bin.tmp"));
    // Relative paths save into the working directory.
    WorkingDirectory here(dir.path);
    quortypes::saveFileAtomically("plain.txt", "x");
    EXPECT_EQ(dir.read("plain.txt"), "x");
}

TEST(AtomicFile, FailuresNameTheFileAndKeepTheOldOne)
{
    ScratchDir dir;
    std::string message = thrownText(dir / "missing/state.bin", "x");
    EXPECT_NE(message.find("Unable to save file '" + dir / "missing/state.bin" +
                           "', cannot create the temporary file"),
              std::string::npos)
        << message;

    // A write that the file-size limit cuts short: the old contents stay and no temporary file is left.
    dir.put("state.bin", "old contents");
    EXPECT_EXIT(
        {
            signal(SIGXFSZ, SIG_IGN);
            struct rlimit limit;
            limit.rlim_cur = limit.rlim_max = 16;
            setrlimit(RLIMIT_FSIZE, &limit);
            std::string text = thrownText(dir / "state.bin", std::string(4096, 'n'));
            bool named = text.find("Unable to save file '" + dir / "state.bin" + "', cannot write") !=
                         std::string::npos;
            bool kept = dir.read("state.bin") == "old contents";
            bool clean = !std::filesystem::exists(dir / "state.bin.tmp");
            exit(named && kept && clean ? 0 : 1 + named + 2 * kept + 4 * clean);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(dir.read("state.bin"), "old contents");

    // A folder in the way of the target: the rename fails.
    std::filesystem::create_directories(dir / "taken/inner");
    message = thrownText(dir / "taken", "x");
    EXPECT_NE(message.find("cannot replace it"), std::string::npos) << message;
    EXPECT_FALSE(std::filesystem::exists(dir / "taken.tmp"));
}
