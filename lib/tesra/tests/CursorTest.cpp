#include <cstdio>
#include <fstream>

#include <unistd.h>

#include "CursorFile.h"
#include "CursorFileBuilder.h"
#include "WindowTestSupport.h"
#include "platform/sdl/SDL2_Cursor.h"

using namespace cursor_builder;

namespace
{

    bool decode(const Bytes& data, tesra::CursorFile& result, std::string& error)
    {
        return tesra::decodeCursorFile(data.data(), data.size(), result, error);
    }

    uint32_t pixelAt(const tesra::CursorImage& image, int x, int y)
    {
        const unsigned char* p = &image.pixels[((size_t)y * image.width + x) * 4];
        return ((uint32_t)p[0] << 24) | ((uint32_t)p[1] << 16) | ((uint32_t)p[2] << 8) | p[3];
    }

    Bytes arrow32()
    {
        // Red on the top row, blue below, the right half transparent by alpha.
        return bitmap32(
            32, 32, [](int x, int y) -> uint32_t { return x >= 16 ? 0 : (y == 0 ? 0xFFFF0000 : 0xFF0000FF); },
            [](int, int) { return false; });
    }

    Bytes frame(int size, uint32_t color, int hotspot)
    {
        return container(
            {{size, size, hotspot, hotspot,
              bitmap32(
                  size, size, [color](int, int) { return color; }, [](int, int) { return false; })}});
    }

    void writeFile(const std::string& path, const Bytes& data)
    {
        std::ofstream file(path, std::ios::binary);
        file.write((const char*)data.data(), (std::streamsize)data.size());
    }

} // namespace

TEST(CursorFile, DecodesBitmapAndPngCursors)
{
    tesra::CursorFile result;
    std::string error;
    ASSERT_TRUE(decode(container({{32, 32, 5, 7, arrow32()}}), result, error)) << error;
    ASSERT_EQ(result.frames.size(), 1u);
    const tesra::CursorImage& image = result.frames[0];
    EXPECT_EQ(image.height, 32);
    EXPECT_EQ(image.hotspotX, 5);
    EXPECT_EQ(image.hotspotY, 7);
    EXPECT_EQ(pixelAt(image, 0, 0), 0xFF0000FFu); // rows are turned top side up
    EXPECT_EQ(pixelAt(image, 3, 9), 0x0000FFFFu);
    EXPECT_EQ(pixelAt(image, 20, 9) & 0xFF, 0u);

    // Two colours with the AND mask: masked black is transparent, masked white inverts.
    const Bytes mono = bitmap1(
        16, 16, [](int x, int) { return x >= 8; }, [](int, int y) { return y >= 8; });
    ASSERT_TRUE(decode(container({{16, 16, 1, 2, mono}}), result, error)) << error;
    const tesra::CursorImage& small = result.frames[0];
    EXPECT_EQ(pixelAt(small, 0, 0), 0x000000FFu);
    EXPECT_EQ(pixelAt(small, 9, 0), 0xFFFFFFFFu);
    EXPECT_EQ(pixelAt(small, 0, 9) & 0xFF, 0u);
    EXPECT_EQ(pixelAt(small, 9, 9), 0x000000FFu);

    // Of several sizes the one nearest to 32 pixels is used; PNG images are read too.
    ASSERT_TRUE(
        decode(container({{16, 16, 1, 1, mono}, {48, 48, 10, 20, png(48, 48, 0x11223344)}}), result, error))
        << error;
    EXPECT_EQ(result.frames[0].width, 48);
    EXPECT_EQ(result.frames[0].hotspotY, 20);
    EXPECT_EQ(pixelAt(result.frames[0], 47, 47), 0x11223344u);
}

TEST(CursorFile, DecodesAnimationsWithSequenceAndRates)
{
    const std::vector<Bytes> frames = {frame(32, 0xFFFF0000, 3), frame(32, 0xFF00FF00, 4),
                                       frame(24, 0xFF0000FF, 5)};
    tesra::CursorFile result;
    std::string error;
    ASSERT_TRUE(decode(animation(frames, {0, 1, 2, 1, 0}, {10, 20, 30, 20, 10}), result, error)) << error;
    EXPECT_EQ(result.frames.size(), 3u);
    EXPECT_EQ(result.sequence, (std::vector<int>{0, 1, 2, 1, 0}));
    EXPECT_EQ(result.rates, (std::vector<int>{10, 20, 30, 20, 10}));
    EXPECT_EQ(result.frames[2].hotspotX, 5);
    EXPECT_EQ(pixelAt(result.frames[1], 0, 0), 0x00FF00FFu);

    // Without "seq " and "rate" the frames play in order at the header's rate.
    ASSERT_TRUE(decode(animation(frames, {}, {}, 8), result, error)) << error;
    EXPECT_EQ(result.sequence, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(result.rates, (std::vector<int>{8, 8, 8}));
}

TEST(CursorFile, CorruptFilesFailWithAReason)
{
    tesra::CursorFile result;
    std::string error;
    EXPECT_FALSE(decode({}, result, error));
    EXPECT_FALSE(decode({0, 0, 2, 0, 0, 0}, result, error));
    EXPECT_EQ(error, "no images in the file");
    Bytes outside = container({{32, 32, 0, 0, arrow32()}});
    outside[18] = 0xFF; // the image offset points past the end
    outside[19] = 0xFF;
    EXPECT_FALSE(decode(outside, result, error));
    EXPECT_EQ(error, "image data lies outside the file");
    Bytes huge = container({{32, 32, 0, 0, arrow32()}});
    huge[22 + 4 + 3] = 0x7F; // a width of about two billion pixels
    EXPECT_FALSE(decode(huge, result, error));
    EXPECT_EQ(error, "bitmap size out of range");
    const Bytes badSequence = animation({frame(32, 0xFFFFFFFF, 0)}, {0, 3}, {});
    EXPECT_FALSE(decode(badSequence, result, error));
    EXPECT_EQ(error, "sequence names a missing frame");
    EXPECT_TRUE(result.frames.empty());

    // Every truncation and many byte changes of a valid file are refused or decoded,
    // never read out of bounds.
    const Bytes valid = animation({frame(32, 0xFFFF0000, 3), frame(16, 0xFF00FF00, 4)}, {0, 1}, {5, 5});
    for (size_t length = 0; length < valid.size(); length += 7)
    {
        Bytes cut(valid.begin(), valid.begin() + (long)length);
        EXPECT_FALSE(decode(cut, result, error)) << length;
    }
    for (size_t i = 0; i < valid.size(); i += 3)
    {
        Bytes changed = valid;
        changed[i] ^= 0xA5;
        decode(changed, result, error);
    }
}

using testing_support::WindowTest;

TEST_F(WindowTest, CursorsLoadThroughTheWindow)
{
    char pattern[] = "/tmp/tesra-cursor-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    writeFile(folder + "/arrow.cur", container({{32, 32, 5, 7, arrow32()}}));
    writeFile(folder + "/busy.cur", container({{32, 32, 1, 1, arrow32()}}));
    writeFile(folder + "/busy.ani", animation({frame(32, 0xFFFF0000, 3), frame(32, 0xFF00FF00, 4)}, {}, {}));
    writeFile(folder + "/broken.cur", {0, 0, 2, 0, 1, 0, 32, 32});

    // Cursor names are resource names, relative to the working folder.
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof(previous)), nullptr);
    ASSERT_EQ(chdir(folder.c_str()), 0);
    tesra::Cursor* busy = window->createCursor("busy");
    ASSERT_NE(busy, nullptr);
    EXPECT_EQ(busy->getFilename(), "busy.ani"); // animations are tried first
    auto* animated = dynamic_cast<tesra::SDL2_Cursor*>(busy);
    ASSERT_NE(animated, nullptr);
    EXPECT_TRUE(animated->isAnimated());
    EXPECT_EQ(animated->getImages().frames.size(), 2u);
    window->setCursor(busy);
    window->updateOneFrame();

    tesra::Cursor* arrow = window->createCursor("arrow");
    ASSERT_NE(arrow, nullptr);
    EXPECT_FALSE(dynamic_cast<tesra::SDL2_Cursor*>(arrow)->isAnimated());
    EXPECT_FALSE(arrow->load(""));
    EXPECT_EQ(arrow->getFilename(), "arrow.cur");
    window->setCursor(arrow);
    window->setCursorVisible(false);
    window->setCursor(nullptr);

    EXPECT_EQ(window->createCursor("missing"), nullptr);
    EXPECT_EQ(window->createCursor("broken"), nullptr);
    EXPECT_TRUE(
        testing_support::logContains("Unable to load cursor 'broken.cur': truncated image directory."));
    ASSERT_EQ(chdir(previous), 0);
    delete busy;
    delete arrow;
    for (const char* name : {"arrow.cur", "busy.cur", "busy.ani", "broken.cur"})
    {
        remove((folder + "/" + name).c_str());
    }
    rmdir(folder.c_str());
}
