#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <quortypes/File.h>
#include <quortypes/FileBytes.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>

#include "test_support.h"

using quortypes::File;
using quortypes::Resource;

// The raw reader and the text readers share one read of the file: the bytes as they lie on disk, and
// the same bytes without a single "\r" for the text readers, across the stream's chunk boundaries.
TEST(FileBytes, RawBytesAndTheTextReadersAgree)
{
    ScratchDir dir;
    std::string text;
    for (int i = 0; i < 3000; ++i)
    {
        text += "line " + std::to_string(i) + "\r\n";
    }
    text += "\r\r\nlast\r";
    dir.put("data/crlf.txt", text);
    std::string withoutReturns;
    for (char c : text)
    {
        if (c != '\r')
        {
            withoutReturns += c;
        }
    }

    EXPECT_EQ(text, readFileBytes(dir / "data/crlf.txt", false));
    EXPECT_EQ(withoutReturns, File::readAll(dir / "data/crlf.txt"));

    Resource::setCwd(dir.path);
    EXPECT_EQ(text, readFileBytes("data/crlf.txt", true));
    EXPECT_EQ(withoutReturns, Resource::readAll("data/crlf.txt"));
    dir.put("data/empty.txt", "");
    EXPECT_EQ("", readFileBytes("data/empty.txt", true));
    EXPECT_EQ("", Resource::readAll("data/empty.txt"));
    EXPECT_THROW(readFileBytes("data/none.txt", true), quortypes::_file_not_found);
    Resource::setCwd(".");

    EXPECT_THROW(readFileBytes(dir / "none.txt", false), quortypes::_file_not_found);
    EXPECT_THROW(File::readAll(dir / "none.txt"), quortypes::_file_not_found);
}

// Files of the system's own folders read as empty by their size and still have content; both readers
// read them to the end.
TEST(FileBytes, AFileWhoseSizeReadsZeroIsReadToItsEnd)
{
    const std::string status = readFileBytes("/proc/self/status", false);
    EXPECT_NE(status.find("\nPid:"), std::string::npos) << status;
    EXPECT_NE(File::readAll("/proc/self/status").find("\nPid:"), std::string::npos);
}

// A missing file is told apart from one that is there but cannot be read, which must never pass for
// missing (a caller would then write over it).
TEST(FileBytes, ReadIfPresentTellsMissingFromUnreadable)
{
    ScratchDir dir;
    dir.put("save.txt", std::string("a\r\n\0b", 5));
    dir.put("empty.txt", "");
    dir.put("folder/inside.txt", "x");

    hstring bytes = "stale";
    EXPECT_TRUE(readFileIfPresent(dir / "save.txt", bytes));
    EXPECT_EQ(std::string("a\r\n\0b", 5), std::string(bytes));
    EXPECT_TRUE(readFileIfPresent(dir / "empty.txt", bytes));
    EXPECT_EQ("", bytes);

    bytes = "stale";
    EXPECT_FALSE(readFileIfPresent(dir / "none.txt", bytes));
    EXPECT_EQ("", bytes);

    try
    {
        readFileIfPresent(dir / "folder", bytes);
        ADD_FAILURE() << "a folder read as a file";
    }
    catch (const quortypes::exception& e)
    {
        EXPECT_NE(std::string::npos, e.getMessage().find("Unable to read file '" + dir / "folder" + "': "))
            << e.getMessage();
    }
}

TEST(FileBytes, SplitLinesTakesOneReturnOffEachLine)
{
    struct Row
    {
        const char* text;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {"", {""}},
        {"a", {"a"}},
        {"a\nb", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b", ""}},
        {"a\r\r\nb\r", {"a\r", "b"}},
        {"\r\n\n", {"", "", ""}},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.text);
        harray<hstring> lines = splitLines(row.text);
        ASSERT_EQ(row.lines.size(), lines.size());
        for (int i = 0; i < lines.size(); ++i)
        {
            EXPECT_EQ(row.lines[i], std::string(lines[i]));
        }
    }
}
