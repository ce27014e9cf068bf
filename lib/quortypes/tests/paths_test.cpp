#include <gtest/gtest.h>

#include <quortypes/Dir.h>
#include <quortypes/File.h>
#include <quortypes/Resource.h>

using quortypes::Dir;
using quortypes::File;
using quortypes::Resource;

TEST(Paths, JoinSplitAndNames)
{
    EXPECT_EQ(Dir::joinPath("a", "b"), "a/b");
    EXPECT_EQ(Dir::joinPath("a/", "/b"), "a/b");
    EXPECT_EQ(Dir::joinPath("a", "/b"), "a/b");
    EXPECT_EQ(Dir::joinPath("", "b"), "/b");
    EXPECT_EQ(Dir::joinPath("a\\", "\\b", true), "a/b");
    EXPECT_EQ(Dir::unifySeparators("a\\b//c"), "a/b/c");
    EXPECT_EQ(Dir::splitPath("/a\\b//c///"), harray<hstring>({"", "a", "b", "c"}));
    EXPECT_EQ(Dir::baseName("dir/sub/"), "sub");
    EXPECT_EQ(Dir::baseDir("file.txt"), ".");
    EXPECT_EQ(Dir::baseDir("a/b/c"), "a/b");
    EXPECT_EQ(File::extensionOf("dir.d/name"), "");
    EXPECT_EQ(File::extensionOf("a/b.tar.gz"), "gz");
    EXPECT_EQ(File::withoutExtension("a/b.tar.gz"), "a/b.tar");
    EXPECT_EQ(File::withoutExtension("dir.d/name"), "dir.d/name");
}

TEST(Paths, Normalize)
{
    EXPECT_EQ(Dir::normalize("a/./b/../c"), "a/c");
    EXPECT_EQ(Dir::normalize("../x"), "../x");
    EXPECT_EQ(Dir::normalize("a/.."), ".");
    EXPECT_EQ(Dir::normalize("a/../.."), "..");
    EXPECT_EQ(Dir::normalize("\\tmp\\\\x\\.\\y\\"), "/tmp/x/y");
    // Climbing above the root stays at the root instead of turning the path relative.
    EXPECT_EQ(Dir::normalize("/tmp/../../x"), "/x");
}

TEST(Paths, ResourceFullPath)
{
    EXPECT_EQ(Resource::makeFullPath("./data/ui/ui.dts"), "data/ui/ui.dts");
    Resource::setPrefix("pack");
    EXPECT_EQ(Resource::makeFullPath("data/x.png"), "pack/data/x.png");
    Resource::setPrefixDisabled(true);
    EXPECT_EQ(Resource::makeFullPath("data/x.png"), "data/x.png");
    Resource::setPrefixDisabled(false);
    Resource::setPrefix("");
    Resource::setCwd("game/../root");
    EXPECT_EQ(Resource::makeFullPath("../data/x.png"), "data/x.png");
    Resource::setCwd(".");
}
