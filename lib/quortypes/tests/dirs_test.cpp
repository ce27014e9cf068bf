#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <quortypes/Dir.h>
#include <quortypes/File.h>
#include <quortypes/Resource.h>
#include <quortypes/ResourceDir.h>
#include <quortypes/exception.h>

#include "scratch_dir.h"

using quortypes::Dir;
using quortypes::File;
using quortypes::Resource;
using quortypes::ResourceDir;

namespace
{
    std::string joined(const harray<hstring>& names)
    {
        std::string result;
        for (const hstring& name : names)
        {
            result += (result.empty() ? "" : ",") + name;
        }
        return result;
    }

    template <typename Open> std::string notFoundMessage(Open open)
    {
        try
        {
            open();
        }
        catch (const quortypes::_file_not_found& e)
        {
            return e.getMessage();
        }
        return "(nothing thrown)";
    }
} // namespace

TEST(Directories, CreateListAndExist)
{
    ScratchDir dir;
    EXPECT_TRUE(Dir::create(dir / "a/b/c"));
    EXPECT_FALSE(Dir::create(dir / "a/b/c"));
    EXPECT_FALSE(Dir::create(""));
    EXPECT_TRUE(Dir::exists(dir / "a/b"));
    EXPECT_TRUE(Dir::exists(dir / "a\\b\\c\\"));
    dir.put("a/z.txt", "z");
    dir.put("a/y.txt", "y");
    dir.put("data/x", "");

    EXPECT_EQ(joined(Dir::entries(dir / "a")), "b,y.txt,z.txt");
    EXPECT_EQ(joined(Dir::directories(dir / "a")), "b");
    EXPECT_EQ(joined(Dir::files(dir / "a")), "y.txt,z.txt");
    EXPECT_EQ(joined(Dir::files(dir / "./a/", true)), dir / "a/y.txt," + dir / "a/z.txt");
    EXPECT_TRUE(Dir::entries(dir / "none").empty());

    EXPECT_FALSE(Dir::exists(dir / "Data"));
    EXPECT_TRUE(Dir::exists(dir / "Data", false));
    EXPECT_FALSE(Dir::exists(dir / "a/y.txt", false));
    EXPECT_FALSE(Dir::exists(""));
}

TEST(Directories, RemoveStaysInsideTheTree)
{
    ScratchDir outside;
    outside.put("keep/precious.txt", "precious");
    ScratchDir dir;
    dir.put("tree/sub/file.txt", "x");
    dir.put("tree/file.txt", "x");
    std::filesystem::create_directory_symlink(outside / "keep", dir / "tree/sub/link");
    std::filesystem::create_symlink(outside / "keep/precious.txt", dir / "tree/filelink");

    EXPECT_TRUE(Dir::remove(dir / "tree"));
    EXPECT_FALSE(std::filesystem::exists(dir / "tree"));
    EXPECT_EQ(outside.read("keep/precious.txt"), "precious");

    // A link to a directory given directly goes away as a link.
    std::filesystem::create_directory_symlink(outside / "keep", dir / "link");
    EXPECT_TRUE(Dir::remove(dir / "link"));
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "link"));
    EXPECT_EQ(outside.read("keep/precious.txt"), "precious");

    EXPECT_FALSE(Dir::remove(dir / "none"));
    EXPECT_FALSE(Dir::remove(outside / "keep/precious.txt"));
    EXPECT_FALSE(Dir::remove(""));
}

TEST(Resources, ReadOnlyDataRelativeToTheWorkingDirectory)
{
    ScratchDir dir;
    dir.put("game/data/ui/ui.dts", "<dataset/>\r\n");
    dir.put("game/data/ui/sub/x.png", "");
    Resource::setCwd(dir / "game");
    EXPECT_TRUE(Resource::exists("data/ui/ui.dts"));
    EXPECT_TRUE(Resource::exists("./data/ui/UI.dts", false));
    EXPECT_FALSE(Resource::exists("data/ui/UI.dts"));
    // Only the file name itself may differ in case.
    EXPECT_FALSE(Resource::exists("data/UI/ui.dts", false));
    EXPECT_EQ(Resource::readAll("data/ui/ui.dts"), "<dataset/>\n");
    EXPECT_EQ(Resource::sizeOf("data/ui/ui.dts"), 12);

    Resource resource("data/ui/ui.dts");
    EXPECT_EQ(resource.getFilename(), dir / "game/data/ui/ui.dts");
    EXPECT_EQ(resource.readLine(), "<dataset/>");
    try
    {
        resource.write("x");
        FAIL();
    }
    catch (const quortypes::_file_not_writeable& e)
    {
        EXPECT_THAT(std::string(e.getMessage()),
                    testing::EndsWith("'" + dir / "game/data/ui/ui.dts" + "' is not writeable!"));
    }

    EXPECT_TRUE(ResourceDir::exists(""));
    EXPECT_TRUE(ResourceDir::exists("."));
    EXPECT_TRUE(ResourceDir::exists("data/ui"));
    EXPECT_FALSE(ResourceDir::exists("data/UI"));
    EXPECT_TRUE(ResourceDir::exists("data/UI", false));
    EXPECT_EQ(joined(ResourceDir::contents("data/ui")), "sub,ui.dts");
    EXPECT_EQ(joined(ResourceDir::files("data/ui", true)), "data/ui/ui.dts");
    EXPECT_EQ(joined(ResourceDir::directories("data/ui/", true)), "data/ui/sub");
    Resource::setCwd(".");
}

TEST(Resources, NotFoundMessagesHintAtLetterCase)
{
    using testing::EndsWith;
    ScratchDir dir;
    dir.put("data/file.txt", "x");
    dir.put("data/sub/Deep.txt", "x");
    {
        WorkingDirectory inside(dir.path);
        EXPECT_THAT(notFoundMessage([] { File("Data/file.txt"); }),
                    EndsWith("] 'Data/file.txt' not found! But part of the path seems to have a different "
                             "case: /data"));
        EXPECT_THAT(notFoundMessage([] { File("data/File.TXT"); }),
                    EndsWith("] 'data/File.TXT' not found! But there is file with a different case: "
                             "data/file.txt"));
        EXPECT_THAT(notFoundMessage([] { File("data/SUB/deep.txt"); }),
                    EndsWith("] 'data/SUB/deep.txt' not found! But part of the path seems to have a "
                             "different case: data/sub"));
        EXPECT_THAT(notFoundMessage([] { File("data/other.txt"); }),
                    EndsWith("] 'data/other.txt' not found!"));
        EXPECT_THAT(notFoundMessage([] { File("elsewhere/file.txt"); }),
                    EndsWith("] 'elsewhere/file.txt' not found!"));
    }
    EXPECT_THAT(notFoundMessage([&] { File(dir / "DATA/sub/Deep.txt"); }),
                EndsWith("not found! But part of the path seems to have a different case: " + dir / "data"));

    Resource::setCwd(dir.path);
    std::string message = notFoundMessage([] { Resource("Data/sub/deep.txt"); });
    EXPECT_THAT(message, testing::StartsWith("[hfbase:"));
    EXPECT_THAT(message, EndsWith("'" + dir / "Data/sub/deep.txt" +
                                  "' not found! But part of the path seems to have a different case: " +
                                  dir / "data"));
    // Resource names are listed relative to the resource working directory.
    quortypes::_file_not_found relative("data/SUB/deep.txt", true, "hresource", 7);
    EXPECT_EQ(std::string(relative.getMessage()), "[hresource:7] 'data/SUB/deep.txt' not found! But part of "
                                                  "the path seems to have a different case: data/sub");
    quortypes::_file_not_found file("data/sub/deep.txt", true, "hresource", 7);
    EXPECT_THAT(std::string(file.getMessage()),
                EndsWith("But there is file with a different case: data/sub/Deep.txt"));
    Resource::setCwd(".");
}
