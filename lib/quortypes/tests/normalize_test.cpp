#include <gtest/gtest.h>

#include <quortypes/Dir.h>

using quortypes::Dir;

// Paths that are normal already come back as they are; those one character away from it are still
// cleaned up in full.
TEST(Normalize, KeepsNormalPathsAndCleansTheirNearMisses)
{
    const std::pair<hstring, hstring> rows[] = {
        {"a", "a"},
        {"/a/b.png", "/a/b.png"},
        {"data/chapters/big/gfx/t0.png", "data/chapters/big/gfx/t0.png"},
        {".hidden/x", ".hidden/x"},
        {"a/..b/c.", "a/..b/c."},
        {"a/b..", "a/b.."},
        {"...", "..."},
        {"", ""},
        {".", "."},
        {"..", ".."},
        {"./a", "a"},
        {"a/.", "a"},
        {"a/./b", "a/b"},
        {"a/../b", "b"},
        {"a/b/..", "a"},
        {"a//b", "a/b"},
        {"//a", "/a"},
        {"a\\b", "a/b"},
        {"a/", "a"},
        {"a/b/", "a/b"},
        {"./a/b", "a/b"},
        {"././a", "a"},
        {"./.x", ".x"},
        {".//a", "a"},
        {"./", "."},
        {"./..", ".."},
        {"./a/", "a"},
        {"./a/../b", "b"},
        {"./\\b", "b"},
    };
    for (const auto& [path, normal] : rows)
    {
        EXPECT_EQ(Dir::normalize(path), normal) << "'" << path << "'";
        EXPECT_EQ(Dir::normalize(normal), normal) << "'" << normal << "'";
    }
}
