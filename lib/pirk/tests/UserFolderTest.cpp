#include "PirkTestSupport.h"

using pirktest::ScopedEnv;

TEST(UserFolder, FollowsXdgDataHome)
{
    pirktest::ScratchDir dir;
    ScopedEnv xdg("XDG_DATA_HOME", (dir / "data").c_str());
    EXPECT_EQ(pirk::makeUserFolderPath("Torvin Games", "Demo", 0), dir / "data/Torvin Games/Demo");
    EXPECT_FALSE(std::filesystem::exists(dir / "data"));
    // Made with its parents; mode 5 changes nothing here.
    EXPECT_EQ(pirk::getUserFolder("Torvin Games", "Demo", 5), dir / "data/Torvin Games/Demo/");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "data/Torvin Games/Demo"));

    // Unset, empty or relative: ~/.local/share.
    ScopedEnv home("HOME", dir.path.c_str());
    for (const char* value : {(const char*)nullptr, "", "relative/data"})
    {
        ScopedEnv other("XDG_DATA_HOME", value);
        EXPECT_EQ(pirk::getUserFolder("Torvin Games", "Demo", 0), dir / ".local/share/Torvin Games/Demo/");
    }
}

TEST(UserFolder, WindowsNamingFromItsEnvironment)
{
    hdict<std::u16string> env = {{"ALLUSERSPROFILE", u"E:\\ProgramData"},
                                 {"LOCALAPPDATA", u"E:\\Users\\anna\\AppData\\Local"},
                                 {"USERNAME", u"anna"}};
    EXPECT_EQ(pirk::makeWindowsUserFolderPath(env, "Torvin Games", "Demo", 0),
              "E:/ProgramData/Torvin Games/Demo/anna");
    // Without LOCALAPPDATA the last segment of APPDATA joins the all-users folder.
    env["LOCALAPPDATA"] = u"";
    env["APPDATA"] = u"E:\\Documents and Settings\\anna\\Application Data";
    EXPECT_EQ(pirk::makeWindowsUserFolderPath(env, "Torvin Games", "Demo", 0),
              "E:/ProgramData/Application Data/Torvin Games/Demo/anna");
    // Mode 5 folds units above 128 (0xE9 to 'Y', 0x416 to 'F'); other modes keep UTF-8.
    env["USERNAME"] = u"Ren\u00e9\u0416";
    EXPECT_EQ(pirk::makeWindowsUserFolderPath(env, "T", "D/", 5),
              "E:/ProgramData/Application Data/T/D/RenYF");
    EXPECT_EQ(pirk::makeWindowsUserFolderPath(env, "T/", "/D", 0),
              "E:/ProgramData/Application Data/T/D/Ren\xc3\xa9\xd0\x96");
}
