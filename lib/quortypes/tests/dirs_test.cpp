#include <gtest/gtest.h>

#include <string>

#include <sys/stat.h>

#include <quortypes/Dir.h>
#include <quortypes/File.h>
#include <quortypes/Resource.h>
#include <quortypes/ResourceDir.h>
#include <quortypes/exception.h>

#include "test_support.h"

using quortypes::Dir;
using quortypes::File;
using quortypes::Resource;
using quortypes::ResourceDir;

namespace
{
    std::string joined(const harray<hstring>& names)
    {
        return names.joined(",");
    }

    // The text of the error E that action throws from source, without its decoration.
    template <typename E = quortypes::_file_not_found, typename Action>
    std::string errorText(Action action, const std::string& source = "hfbase")
    {
        try
        {
            action();
        }
        catch (const E& e)
        {
            std::string message = e.getMessage();
            EXPECT_EQ(message.rfind("[" + source + ":", 0), 0u) << message;
            return message.substr(message.find("] ") + 2);
        }
        return "(nothing thrown)";
    }
} // namespace

TEST(Directories, CreateListAndExist)
{
    ScratchDir dir;
    EXPECT_TRUE(Dir::create(dir / "a/b/c"));
    EXPECT_FALSE(Dir::create(dir / "a/b/c"));
    dir.put("a/z.txt", "z");
    dir.put("a/y.txt", "y");
    dir.put("data/x", "");

    EXPECT_EQ(joined(Dir::entries(dir / "a")), "b,y.txt,z.txt");
    EXPECT_EQ(joined(Dir::directories(dir / "a")), "b");
    EXPECT_EQ(joined(Dir::files(dir / "./a/", true)), dir / "a/y.txt," + dir / "a/z.txt");
    EXPECT_TRUE(Dir::entries(dir / "none").empty());

    EXPECT_FALSE(Dir::exists(dir / "Data"));
    EXPECT_TRUE(Dir::exists(dir / "Data", false));
    EXPECT_FALSE(Dir::exists(dir / "a/y.txt", false));
}

TEST(Directories, RemoveStaysInsideTheTree)
{
    ScratchDir outside;
    outside.put("keep/precious.txt", "precious");
    ScratchDir dir;
    dir.put("tree/sub/file.txt", "x");
    std::filesystem::create_directory_symlink(outside / "keep", dir / "tree/sub/link");
    std::filesystem::create_symlink(outside / "keep/precious.txt", dir / "tree/filelink");
    EXPECT_TRUE(Dir::remove(dir / "tree"));
    EXPECT_FALSE(std::filesystem::exists(dir / "tree"));

    // A link to a directory given directly goes away as a link.
    std::filesystem::create_directory_symlink(outside / "keep", dir / "link");
    EXPECT_TRUE(Dir::remove(dir / "link"));
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "link"));
    EXPECT_EQ(outside.read("keep/precious.txt"), "precious");
    EXPECT_FALSE(Dir::remove(outside / "keep/precious.txt"));

    // A deep tree goes whole, its folders in a loop (paths this long already cost the system seconds).
    std::string deepest = dir / "deep";
    for (int i = 0; i < 200; ++i)
    {
        deepest += "/d";
    }
    ASSERT_TRUE(Dir::create(deepest));
    dir.put(deepest.substr(dir.path.size() + 1) + "/file.txt", "x");
    EXPECT_TRUE(Dir::remove(dir / "deep"));
    EXPECT_FALSE(std::filesystem::exists(dir / "deep"));
}

TEST(Resources, ReadOnlyDataRelativeToTheWorkingDirectory)
{
    ScratchDir dir;
    dir.put("game/data/ui/ui.dts", "<dataset/>\r\n");
    dir.put("game/data/ui/sub/x.png", "");
    Resource::setCwd(dir / "game");
    EXPECT_TRUE(Resource::exists("./data/ui/UI.dts", false));
    EXPECT_FALSE(Resource::exists("data/ui/UI.dts"));
    // Only the file name itself may differ in case.
    EXPECT_FALSE(Resource::exists("data/UI/ui.dts", false));
    EXPECT_EQ(Resource::readAll("data/ui/ui.dts"), "<dataset/>\n");
    EXPECT_EQ(Resource::sizeOf("data/ui/ui.dts"), 12);

    Resource resource("data/ui/ui.dts");
    EXPECT_EQ(errorText<quortypes::_file_not_writeable>([&] { resource.write("x"); }, "hresource"),
              "'" + dir / "game/data/ui/ui.dts" + "' is not writeable!");

    EXPECT_TRUE(ResourceDir::exists(""));
    EXPECT_TRUE(ResourceDir::exists("."));
    EXPECT_FALSE(ResourceDir::exists("data/UI"));
    EXPECT_TRUE(ResourceDir::exists("data/UI", false));
    EXPECT_EQ(joined(ResourceDir::contents("data/ui")), "sub,ui.dts");
    EXPECT_EQ(joined(ResourceDir::files("data/ui", true)), "data/ui/ui.dts");
    EXPECT_EQ(joined(ResourceDir::directories("data/ui/", true)), "data/ui/sub");
    Resource::setCwd(".");
}

TEST(Resources, NotFoundMessagesHintAtLetterCase)
{
    const std::string part = " not found! But part of the path seems to have a different case: ";
    ScratchDir dir;
    dir.put("data/file.txt", "x");
    dir.put("data/sub/Deep.txt", "x");
    {
        WorkingDirectory inside(dir.path);
        EXPECT_EQ(errorText([] { File("Data/file.txt"); }), "'Data/file.txt'" + part + "/data");
        EXPECT_EQ(errorText([] { File("data/File.TXT"); }),
                  "'data/File.TXT' not found! But there is file with a different case: data/file.txt");
        EXPECT_EQ(errorText([] { File("data/SUB/deep.txt"); }), "'data/SUB/deep.txt'" + part + "data/sub");
        EXPECT_EQ(errorText([] { File("elsewhere/file.txt"); }), "'elsewhere/file.txt' not found!");
    }

    // Resource names are listed relative to the resource working directory.
    Resource::setCwd(dir.path);
    EXPECT_EQ(errorText([] { Resource("Data/sub/deep.txt"); }),
              "'" + dir / "Data/sub/deep.txt'" + part + dir / "data");
    EXPECT_EQ(quortypes::_file_not_found("data/SUB/deep.txt", true, "hresource", 7).getMessage(),
              "[hresource:7] 'data/SUB/deep.txt'" + part + "data/sub");
    EXPECT_TRUE(quortypes::_file_not_found("data/sub/deep.txt", true, "hresource", 7)
                    .getMessage()
                    .endsWith("But there is file with a different case: data/sub/Deep.txt"));
    Resource::setCwd(".");
}

// A listing tells files from folders by what the folder says of each entry, looking at an entry itself only
// for a link, whose target decides, or where the file system does not say: as a look at each entry does.
TEST(Directories, ListingsTellEachKindOfEntryAsALookAtItDoes)
{
    ScratchDir dir;
    dir.put("data/file.txt", "x");
    dir.put("data/Mixed.PNG", "x");
    dir.put("data/folder/inner.txt", "x");
    std::filesystem::create_symlink(dir / "data/file.txt", dir / "data/link-to-file");
    std::filesystem::create_directory_symlink(dir / "data/folder", dir / "data/link-to-folder");
    std::filesystem::create_symlink(dir / "data/gone", dir / "data/dangling");
    ASSERT_EQ(::mkfifo((dir / "data/pipe").c_str(), 0644), 0);

    harray<hstring> files;
    harray<hstring> folders;
    Dir::filesAndDirectories(dir / "data", files, folders);
    EXPECT_EQ(joined(files), "Mixed.PNG,file.txt,link-to-file");
    EXPECT_EQ(joined(folders), "folder,link-to-folder");
    EXPECT_EQ(joined(Dir::files(dir / "data")), joined(files));
    EXPECT_EQ(joined(Dir::directories(dir / "data")), joined(folders));
    Dir::filesAndDirectories(dir / "missing", files, folders);
    EXPECT_TRUE(files.empty() && folders.empty());
    Resource::setCwd(dir.path);
    ResourceDir::filesAndDirectories("data", files, folders, true);
    EXPECT_EQ(joined(files), "data/Mixed.PNG,data/file.txt,data/link-to-file");
    EXPECT_EQ(joined(folders), "data/folder,data/link-to-folder");
    Resource::setCwd(".");
}
