#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include <quortypes/AtomicFile.h>
#include <quortypes/Dir.h>
#include <quortypes/File.h>
#include <quortypes/FileFaults.h>
#include <quortypes/exception.h>

#include "test_support.h"

using quortypes::AccessMode;
using quortypes::File;
using quortypes::SeekMode;

TEST(Files, WriteReadAppendAndClose)
{
    ScratchDir dir;
    std::string name = dir / "notes.txt";
    {
        File file(name, AccessMode::Write);
        file.writeLine("first");
        file.writeUint32(0x01020304);
        EXPECT_EQ(file.getSize(), 10);
    }
    File(name, AccessMode::Append).write("\r\nlast");
    EXPECT_EQ(dir.read("notes.txt"), std::string("first\n\x04\x03\x02\x01\r\nlast"));

    File file(name, AccessMode::ReadWrite);
    EXPECT_EQ(file.readLine(), "first");
    EXPECT_EQ(file.readUint32(), 0x01020304u);
    // Writing right after reading on the same handle.
    file.write("\n\n");
    file.rewind();
    EXPECT_EQ(file.read(""), std::string("first\n\x04\x03\x02\x01\n\nlast"));
    file.close();
    EXPECT_THROW(file.readLine(), quortypes::_file_not_open);
    EXPECT_THROW(file.close(), quortypes::_file_not_open);
}

TEST(Files, MissingFilesAndRetries)
{
    ScratchDir dir;
    auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(File(dir / "missing.txt"), quortypes::_file_not_found);
    // Two repeats wait twice between three tries.
    File::setRepeats(2);
    File::setTimeout(30.0f);
    EXPECT_THROW(File(dir / "missing.txt"), quortypes::_file_not_found);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(60));
    File::setRepeats(0);
    File::setTimeout(100.0f);
    // A directory opens on this system, but it is not a file.
    EXPECT_THROW(File(dir.path), quortypes::_file_not_found);
    EXPECT_FALSE(File::exists(dir.path));
}

TEST(Files, ExistsCreateClearRemoveCopy)
{
    ScratchDir dir;
    std::string name = dir / "a/b/Data.bin";
    EXPECT_TRUE(File::create(name));
    EXPECT_FALSE(File::create(name));
    EXPECT_FALSE(File::exists(dir / "a/b/data.bin"));
    EXPECT_TRUE(File::exists(dir / "a/b/data.BIN", false));
    dir.put("a/b/Data.bin", "content");
    EXPECT_EQ(File::sizeOf(name), 7u);
    EXPECT_TRUE(File::clear(name));
    EXPECT_EQ(File::sizeOf(name), 0u);
    EXPECT_TRUE(File::clear(dir / "c/new.bin"));
    EXPECT_FALSE(File::clear(dir.path));
    EXPECT_TRUE(File::remove(name));
    EXPECT_FALSE(File::remove(name));

    std::string big = std::string(5000, 'a') + std::string(5000, '\0');
    dir.put("src.bin", big);
    EXPECT_TRUE(File::copy(dir / "src.bin", dir / "deep/er/dst.bin"));
    EXPECT_EQ(dir.read("deep/er/dst.bin"), big);
    EXPECT_FALSE(File::copy(dir / "src.bin", dir / "deep/er/dst.bin"));
    EXPECT_TRUE(File::copy(dir / "a/b/../../c/new.bin", dir / "deep/er/dst.bin", true));
    EXPECT_EQ(dir.read("deep/er/dst.bin"), "");
    // Copying a file onto itself must not empty it.
    EXPECT_FALSE(File::copy(dir / "src.bin", dir / "./src.bin", true));
    EXPECT_EQ(dir.read("src.bin"), big);
}

TEST(Files, InfoAndReadAll)
{
    ScratchDir dir;
    dir.put("text.txt", "a\r\nb\r\n");
    quortypes::FileInfo info = File::getInfo(dir / "text.txt");
    EXPECT_EQ(info.size, 6u);
    EXPECT_NEAR((double)info.modificationTime, (double)time(nullptr), 5);
    EXPECT_EQ(File::getInfo(dir / "none").modificationTime, 0u);
    EXPECT_EQ(File::readAll(dir / "text.txt"), "a\nb\n");
}

TEST(Files, StringsAndLinesAtTheEndOfAFile)
{
    ScratchDir dir;
    {
        File file(dir / "strings.bin", AccessMode::Write);
        file.writeString("hello");
        // A length that promises far more than the file holds.
        file.writeUint32(0x7FFFFFFFu);
        file.write("tail");
    }
    File file(dir / "strings.bin");
    EXPECT_EQ(file.readString(), "hello");
    EXPECT_EQ(file.readString(), "tail");
    EXPECT_EQ(file.readString(), "");
    EXPECT_EQ(file.readLine(), "");

    dir.put("lines.txt", std::string("ab\0cd\r\nef", 9));
    File lines(dir / "lines.txt");
    EXPECT_EQ(lines.readLine(), std::string("ab\0cd", 5));
    EXPECT_EQ(lines.getPosition(), 7);
    EXPECT_EQ(lines.readLine(), "ef");
}

// An opening takes the file's size from its own look at the file: a truncating mode finds it empty, and
// whatever is read or written next starts where the mode says, as after a seek to the end and back.
TEST(Files, TheSizeAnOpeningFindsAndWhereItLeavesTheHandleInEveryMode)
{
    const struct
    {
        AccessMode mode;
        int size;
        const char* firstLine; // read right after the opening, for the modes that read
        const char* afterWriting;
    } modes[] = {
        {AccessMode::Read, 8, "one", nullptr},
        {AccessMode::Write, 0, nullptr, "!"},
        {AccessMode::Append, 8, nullptr, "one\ntwo\n!"},
        {AccessMode::ReadWrite, 8, "one", "one\n!wo\n"},
        {AccessMode::WriteRead, 0, "", "!"},
        {AccessMode::AppendRead, 8, "one", "one\ntwo\n!"},
    };
    for (const auto& row : modes)
    {
        SCOPED_TRACE((int)row.mode);
        ScratchDir dir;
        dir.put("size.txt", "one\ntwo\n");
        {
            File file(dir / "size.txt", row.mode);
            EXPECT_EQ(file.getSize(), row.size);
            if (row.firstLine != nullptr)
            {
                EXPECT_EQ(file.readLine(), row.firstLine);
            }
            if (row.afterWriting != nullptr)
            {
                file.write("!");
                EXPECT_EQ(file.getSize(), (int)std::string(row.afterWriting).size());
            }
        }
        EXPECT_EQ(dir.read("size.txt"), row.afterWriting != nullptr ? row.afterWriting : "one\ntwo\n");
    }
}

// Line reading keeps its own count of the position: every other way of moving the handle must leave
// the next position and end-of-file answer the same as the handle's own.
TEST(Files, PositionAfterLinesSeeksShortReadsAndAppends)
{
    ScratchDir dir;
    dir.put("mixed.txt", "one\r\ntwo\nthree");
    File file(dir / "mixed.txt", AccessMode::AppendRead);
    EXPECT_EQ(file.readLine(), "one");
    EXPECT_EQ(file.getPosition(), 5);
    file.seek(-2, SeekMode::Current);
    EXPECT_EQ(file.getPosition(), 3);
    EXPECT_EQ(file.readLine(), "");
    EXPECT_EQ(file.readLine(), "two");
    EXPECT_EQ(file.getPosition(), 9);
    // Fewer bytes than asked for: the position is where the file ends, not where the request would.
    file.seek(12, SeekMode::Start);
    EXPECT_EQ(file.readUint32(), 0x6565u);
    EXPECT_EQ(file.getPosition(), 14);
    EXPECT_TRUE(file.eof());
    file.seek(9, SeekMode::Start);
    EXPECT_EQ(file.readLine(), "three");
    EXPECT_TRUE(file.eof());
    file.seek(0, SeekMode::Start);
    EXPECT_EQ(file.readLine(), "one");
    // Appending writes at the end whatever was read before.
    file.write("!");
    EXPECT_EQ(file.getPosition(), 15);
    EXPECT_TRUE(file.eof());
    file.seek(0, SeekMode::Start);
    EXPECT_EQ(file.readLine(), "one");
    EXPECT_EQ(file.readLine(), "two");
    EXPECT_EQ(file.readLine(), "three!");

    // Reading and writing in place: what follows a line is where the next read or write begins.
    File both(dir / "mixed.txt", AccessMode::ReadWrite);
    EXPECT_EQ(both.readLine(), "one");
    EXPECT_EQ(both.readUint8(), 't');
    EXPECT_EQ(both.readLine(), "wo");
    both.write("T");
    EXPECT_EQ(both.readLine(), "hree!");
    EXPECT_TRUE(both.eof());
    both.rewind();
    EXPECT_EQ(both.read(""), "one\ntwo\nThree!");
}

// Carriage returns anywhere in a line, and lines that straddle the chunks line reading takes from the
// handle, give every line without its returns and the position right after its line feed; so do lines
// read again after a seek into the middle of a chunk, and texts up to a carriage return itself.
TEST(Files, LinesWithCarriageReturnsAnywhereAndAcrossChunks)
{
    const char* const kinds[] = {"plain", "ends\r", "in\rside", "\r\rtwo", "\r", "", "a\rb\rc\r"};
    std::string text;
    std::vector<std::pair<std::string, size_t>> expected; // line, position after it
    unsigned int seed = 7;
    while (text.size() < 200000)
    {
        seed = seed * 1103515245u + 12345u;
        std::string line = kinds[(seed >> 16) % 7];
        // now and then a long line, so that some lines span a chunk boundary
        if ((seed >> 8) % 13 == 0)
        {
            line += std::string(3000 + (seed >> 20) % 5000, 'x') + "\r" + std::string(70, 'y');
        }
        text += line + "\n";
        std::string clean;
        for (char c : line)
        {
            if (c != '\r')
            {
                clean += c;
            }
        }
        expected.emplace_back(clean, text.size());
    }
    text += "last\r";
    expected.emplace_back("last", text.size());

    ScratchDir dir;
    dir.put("lines.txt", text);
    File file(dir / "lines.txt");
    for (size_t i = 0; i < expected.size(); ++i)
    {
        ASSERT_EQ(file.readLine(), expected[i].first) << "line " << i;
        ASSERT_EQ(file.getPosition(), (int)expected[i].second) << "line " << i;
    }
    EXPECT_TRUE(file.eof());

    // Into the middle of a chunk: the lines from there on are the same.
    const size_t from = expected.size() / 2;
    file.seek((int)expected[from - 1].second, SeekMode::Start);
    for (size_t i = from; i < expected.size(); ++i)
    {
        ASSERT_EQ(file.readLine(), expected[i].first) << "line " << i << " after the seek";
    }

    // Up to a carriage return as the delimiter: the return itself is consumed, never kept.
    dir.put("returns.txt", "ab\r\ncd\rx\r\r");
    File returns(dir / "returns.txt");
    EXPECT_EQ(returns.read("\r"), "ab");
    EXPECT_EQ(returns.readLine(), "");
    EXPECT_EQ(returns.read("\r"), "cd");
    EXPECT_EQ(returns.read("\r"), "x");
    EXPECT_EQ(returns.read("\r"), "");
    EXPECT_TRUE(returns.eof());
}

// Line reading looks at many bytes at once: a line feed and carriage returns at every place of such a
// group, lines shorter and longer than one, and a "\r\n" whose two bytes come from two reads of the
// handle (whatever power of two from 4 KiB to 128 KiB a read takes) give the same lines and positions as
// byte by byte.
TEST(Files, LineEndsAtEveryOffsetAndAcrossReads)
{
    struct Kind
    {
        const char* name;
        std::string (*make)(size_t length);
    };
    const Kind kinds[] = {
        {"plain", [](size_t n) { return std::string(n, 'a') + "\n"; }},
        {"crlf", [](size_t n) { return std::string(n, 'b') + "\r\n"; }},
        {"return inside",
         [](size_t n) { return std::string(n, 'c') + "\r" + std::string(n / 2, 'd') + "\n"; }},
        {"two returns", [](size_t n) { return std::string(n, 'e') + "\r\r\n"; }},
        {"return first", [](size_t n) { return "\r" + std::string(n, 'f') + "\r\n"; }},
    };
    std::string text;
    std::vector<std::pair<std::string, size_t>> expected; // line, position after it
    std::vector<std::string> journal;
    for (size_t length = 0; length <= 70; ++length)
    {
        for (const Kind& kind : kinds)
        {
            const std::string line = kind.make(length);
            text += line;
            std::string clean;
            for (char c : line.substr(0, line.size() - 1))
            {
                if (c != '\r')
                {
                    clean += c;
                }
            }
            expected.emplace_back(clean, text.size());
            journal.push_back(std::string(kind.name) + " of " + std::to_string(length));
        }
    }
    ScratchDir dir;
    dir.put("offsets.txt", text + "tail\r");
    File file(dir / "offsets.txt");
    for (size_t i = 0; i < expected.size(); ++i)
    {
        ASSERT_EQ(file.readLine(), expected[i].first) << journal[i];
        ASSERT_EQ(file.getPosition(), (int)expected[i].second) << journal[i];
    }
    EXPECT_EQ(file.readLine(), "tail");
    EXPECT_TRUE(file.eof());

    for (size_t read = 4096; read <= 131072; read *= 2)
    {
        for (int shift = -3; shift <= 3; ++shift)
        {
            const std::string first((size_t)((int)read - 1 + shift), 'x');
            const std::string name = "split" + std::to_string(read) + "_" + std::to_string(shift + 3);
            dir.put(name, first + "\r\nnext\r\nend");
            File split(dir / name);
            const std::string where = "read of " + std::to_string(read) + ", shift " + std::to_string(shift);
            ASSERT_EQ(split.readLine(), first) << where;
            ASSERT_EQ(split.getPosition(), (int)first.size() + 2) << where;
            ASSERT_EQ(split.readLine(), "next") << where;
            ASSERT_EQ(split.readLine(), "end") << where;
            ASSERT_TRUE(split.eof()) << where;
        }
    }
}

TEST(Files, InjectedFaultsFailAtomicSavesAndRemovalsAndKeepTheFiles)
{
    ScratchDir dir;
    dir.put("keep/file", "old");
    static std::string failing;
    quortypes::setFileFaultHook([](const char* operation, const hstring&)
                                { return failing == operation ? ENOSPC : 0; });
    failing = "write";
    try
    {
        quortypes::saveFileAtomically(dir / "keep/file", "new");
        ADD_FAILURE() << "no exception";
    }
    catch (const quortypes::exception& e)
    {
        EXPECT_NE(e.getMessage().find("Unable to save file '" + dir / "keep/file" +
                                      "', cannot write: " + strerror(ENOSPC)),
                  std::string::npos);
    }
    EXPECT_EQ(dir.read("keep/file"), "old");
    EXPECT_FALSE(std::filesystem::exists(dir / "keep/file.tmp"));
    failing = "remove";
    EXPECT_FALSE(quortypes::Dir::remove(dir / "keep"));
    EXPECT_FALSE(File::remove(dir / "keep/file"));
    EXPECT_EQ(dir.read("keep/file"), "old");
    quortypes::setFileFaultHook(nullptr);
    quortypes::saveFileAtomically(dir / "keep/file", "new");
    EXPECT_EQ(dir.read("keep/file"), "new");
    EXPECT_TRUE(quortypes::Dir::remove(dir / "keep"));
}

TEST(Files, APendingFileChangesNothingUntilItIsCommitted)
{
    ScratchDir dir;
    dir.put("file", "old");
    {
        quortypes::PendingFile pending(dir / "file", "dropped");
        EXPECT_EQ(dir.read("file.tmp"), "dropped");
        EXPECT_EQ(dir.read("file"), "old");
    }
    // Dropped without a commit: the temporary file goes, the file stays.
    EXPECT_FALSE(std::filesystem::exists(dir / "file.tmp"));
    EXPECT_EQ(dir.read("file"), "old");
    {
        quortypes::PendingFile pending(dir / "file", "new");
        pending.commit();
    }
    EXPECT_EQ(dir.read("file"), "new");
    EXPECT_FALSE(std::filesystem::exists(dir / "file.tmp"));
    // A rename that cannot happen (a folder in the way) throws naming the file and removes the temporary.
    std::filesystem::create_directories(dir / "folder/inside");
    quortypes::PendingFile blocked(dir / "folder", "new");
    try
    {
        blocked.commit();
        ADD_FAILURE() << "no exception";
    }
    catch (const quortypes::exception& e)
    {
        EXPECT_NE(e.getMessage().find("Unable to save file '" + dir / "folder" + "', cannot replace it"),
                  std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "folder.tmp"));
    EXPECT_TRUE(std::filesystem::exists(dir / "folder/inside"));
}
