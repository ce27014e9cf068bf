#include <sys/stat.h>

#include "PirkTestSupport.h"

using pirktest::ScopedEnv;
using pirktest::ScratchDir;

TEST(UserFolder, FollowsXdgDataHome)
{
    ScratchDir dir;
    ScopedEnv xdg("XDG_DATA_HOME", (dir / "data").c_str());
    EXPECT_EQ(pirk::makeUserFolderPath("Torvin Games", "Demo", 0), dir / "data/Torvin Games/Demo");
    EXPECT_FALSE(std::filesystem::exists(dir / "data"));
    // Made with its parents; mode 5 changes nothing here.
    EXPECT_EQ(pirk::getUserFolder("Torvin Games", "Demo", 5), dir / "data/Torvin Games/Demo/");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "data/Torvin Games/Demo"));
    EXPECT_EQ(pirk::getUserFolder("Torvin Games", "Demo", 0), dir / "data/Torvin Games/Demo/");

    // Unset, empty or relative: the home folder's ~/.local/share.
    ScopedEnv home("HOME", dir.path.c_str());
    const std::string fallback = dir / ".local/share/Torvin Games/Demo";
    for (const char* value : {(const char*)nullptr, "", "relative/data"})
    {
        ScopedEnv other("XDG_DATA_HOME", value);
        EXPECT_EQ(pirk::makeUserFolderPath("Torvin Games", "Demo", 0), fallback) << (value ? value : "unset");
    }
    ScopedEnv unset("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(pirk::getUserFolder("Torvin Games", "Demo", 0), fallback + "/");
    EXPECT_TRUE(std::filesystem::is_directory(fallback));
}

TEST(UserFolder, ReportsAFolderThatCannotBeMade)
{
    ScratchDir dir;
    dir.put("file", "");
    ScopedEnv xdg("XDG_DATA_HOME", (dir / "file").c_str());
    pirktest::LogCapture log;
    EXPECT_EQ(pirk::getUserFolder("Torvin Games", "Demo", 0), dir / "file/Torvin Games/Demo/");
    EXPECT_EQ(log.take(), pirktest::Lines{"ERROR: Unable to create the user folder '" +
                                          dir / "file/Torvin Games/Demo" + "'"});
}

TEST(UserFolder, WindowsNamingFromItsEnvironment)
{
    hdict<std::u16string> env = {{"ALLUSERSPROFILE", u"E:\\ProgramData"},
                                 {"LOCALAPPDATA", u"E:\\Users\\anna\\AppData\\Local"},
                                 {"APPDATA", u"E:\\Users\\anna\\AppData\\Roaming"},
                                 {"USERNAME", u"anna"}};
    EXPECT_EQ(pirk::makeWindowsUserFolderPath(env, "Torvin Games", "Demo", 0),
              "E:/ProgramData/Torvin Games/Demo/anna");

    // Without LOCALAPPDATA the last segment of APPDATA joins the all-users folder.
    env["LOCALAPPDATA"] = u"";
    env["APPDATA"] = u"E:\\Documents and Settings\\anna\\Application Data";
    EXPECT_EQ(pirk::makeWindowsUserFolderPath(env, "Torvin Games", "Demo", 0),
              "E:/ProgramData/Application Data/Torvin Games/Demo/anna");

    // Mode 5 folds units above 128: 0xE9 gives 'Y', 0x416 gives 'F'; other modes keep UTF-8.
    env.erase("LOCALAPPDATA");
    env["LOCALAPPDATA"] = u"x";
    env["USERNAME"] = u"Ren\u00e9\u0416";
    EXPECT_EQ(pirk::makeWindowsUserFolderPath(env, "Torvin Games", "Demo", 5),
              "E:/ProgramData/Torvin Games/Demo/RenYF");
    EXPECT_EQ(pirk::makeWindowsUserFolderPath(env, "Torvin Games", "Demo", 0),
              "E:/ProgramData/Torvin Games/Demo/Ren\xc3\xa9\xd0\x96");

    // Missing variables read as empty; joins never double or drop a "/".
    EXPECT_EQ(pirk::makeWindowsUserFolderPath({}, "Torvin Games", "Demo", 0), "/Torvin Games/Demo/");
    EXPECT_EQ(pirk::joinFolderParts("a/", "/b"), "a/b");
    EXPECT_EQ(pirk::joinFolderParts("a", "b"), "a/b");
    EXPECT_EQ(pirk::joinFolderParts("a/", "b"), "a/b");
}
