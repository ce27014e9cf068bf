#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

#include <quortypes_testing/ResourceFolder.h>
#include <quortypes_testing/ScratchDir.h>
#include <quortypes_testing/TempFolder.h>

#include "EngineHarness.h"

using quortypes_testing::ScopedEnv;

// The tests' scratch folders are made in the system's temporary folder, and one that cannot be made (a
// full disk) fails its case with the reason, where a path that is not there ended the whole one-process run
// and every case after it. Each maker under a TMPDIR that is a folder, a file, and a path that is not there.
TEST(HarnessFolders, MadeInTheTemporaryFolderOrRefusedWithTheReason)
{
    quortypes_testing::ScratchDir base;
    base.put("file", "");
    std::filesystem::create_directories(base / "tmp");
    const std::pair<const char*, std::function<std::string()>> makers[] = {
        // Each path copied from a maker that then goes.
        {"GameFolder",
         []
         {
             const harness::GameFolder folder;
             return folder.path;
         }},
        {"ScratchDir",
         []
         {
             const quortypes_testing::ScratchDir folder;
             return folder.path;
         }},
        {"ResourceFolder",
         []
         {
             const quortypes_testing::ResourceFolder folder;
             return std::string(folder.path);
         }},
        {"makeTempFolder",
         []
         {
             const std::string path = quortypes_testing::makeTempFolder("vumo-harness-");
             std::filesystem::remove(path);
             return path;
         }},
    };
    const std::pair<const char*, std::string> places[] = {
        {"a folder", base / "tmp"}, {"a file", base / "file"}, {"not there", base / "missing"}};
    std::string journal;
    for (const auto& [maker, make] : makers)
    {
        for (const auto& [place, tmpdir] : places)
        {
            const ScopedEnv env("TMPDIR", tmpdir);
            std::string result;
            try
            {
                const std::string path = make();
                result =
                    std::filesystem::path(path).parent_path() == tmpdir ? "made in it" : "made in " + path;
            }
            catch (const std::runtime_error& e)
            {
                result = std::string(e.what()).find(tmpdir) != std::string::npos
                             ? "refused"
                             : std::string("refused without naming the folder: ") + e.what();
            }
            journal += std::string(maker) + ", TMPDIR " + place + ": " + result + "\n";
        }
    }
    EXPECT_EQ(journal, "GameFolder, TMPDIR a folder: made in it\n"
                       "GameFolder, TMPDIR a file: refused\n"
                       "GameFolder, TMPDIR not there: refused\n"
                       "ScratchDir, TMPDIR a folder: made in it\n"
                       "ScratchDir, TMPDIR a file: refused\n"
                       "ScratchDir, TMPDIR not there: refused\n"
                       "ResourceFolder, TMPDIR a folder: made in it\n"
                       "ResourceFolder, TMPDIR a file: refused\n"
                       "ResourceFolder, TMPDIR not there: refused\n"
                       "makeTempFolder, TMPDIR a folder: made in it\n"
                       "makeTempFolder, TMPDIR a file: refused\n"
                       "makeTempFolder, TMPDIR not there: refused\n");
    // Each maker's folder goes with it.
    std::string left;
    for (const auto& entry : std::filesystem::directory_iterator(base / "tmp"))
        left += entry.path().filename().string() + " ";
    EXPECT_EQ(left, "");
}
