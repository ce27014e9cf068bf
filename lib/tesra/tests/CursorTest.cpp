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
        return tesra::decodeCursorFile((const unsigned char*)data.data(), data.size(), result, error);
    }

    uint32_t pixelAt(const tesra::CursorImage& image, int x, int y)
    {
        const unsigned char* p = &image.pixels[((size_t)y * image.width + x) * 4];
        return ((uint32_t)p[0] << 24) | ((uint32_t)p[1] << 16) | ((uint32_t)p[2] << 8) | p[3];
    }

    auto unmasked = [](int, int) { return false; };

    // Red on the top row, blue below, the right half transparent by alpha.
    Bytes arrow(int hotspotX, int hotspotY)
    {
        auto pixel = [](int x, int y) -> uint32_t
        { return x >= 16 ? 0 : (y == 0 ? 0xFFFF0000 : 0xFF0000FF); };
        return container({{32, 32, hotspotX, hotspotY, bitmap(32, 32, 32, pixel, unmasked)}});
    }

    Bytes frame(int size, uint32_t color, int hotspot)
    {
        auto pixel = [color](int, int) { return color; };
        return container({{size, size, hotspot, hotspot, bitmap(32, size, size, pixel, unmasked)}});
    }
} // namespace

TEST(CursorFile, DecodesBitmapAndPngCursors)
{
    tesra::CursorFile result;
    std::string error;
    ASSERT_TRUE(decode(arrow(5, 7), result, error)) << error;
    ASSERT_EQ(result.frames.size(), 1u);
    const tesra::CursorImage& image = result.frames[0];
    EXPECT_EQ(image.height, 32);
    EXPECT_EQ(image.hotspotX, 5);
    EXPECT_EQ(image.hotspotY, 7);
    EXPECT_EQ(pixelAt(image, 0, 0), 0xFF0000FFu); // rows are turned top side up
    EXPECT_EQ(pixelAt(image, 3, 9), 0x0000FFFFu);
    EXPECT_EQ(pixelAt(image, 20, 9) & 0xFF, 0u);

    // Two colours with the AND mask: masked black is transparent, masked white inverts.
    const Bytes mono = bitmap(
        1, 8, 8, [](int x, int) { return x >= 4; }, [](int, int y) { return y >= 4; });
    ASSERT_TRUE(decode(container({{8, 8, 1, 2, mono}}), result, error)) << error;
    const tesra::CursorImage& small = result.frames[0];
    EXPECT_EQ(pixelAt(small, 0, 0), 0x000000FFu);
    EXPECT_EQ(pixelAt(small, 5, 0), 0xFFFFFFFFu);
    EXPECT_EQ(pixelAt(small, 0, 5) & 0xFF, 0u);
    EXPECT_EQ(pixelAt(small, 5, 5), 0x000000FFu);

    // Of several sizes the one nearest to 32 pixels is used; PNG images are read too.
    const hstring pngFile = hstring(VUMO_TEST_DATA_DIR) + "/render/quad.png";
    ASSERT_TRUE(decode(container({{8, 8, 1, 1, mono}, {16, 16, 10, 12, testsupport::readFile(pngFile)}}),
                       result, error))
        << error;
    std::unique_ptr<tesra::Image> png(tesra::Image::createFromFile(pngFile, tesra::Image::FORMAT_RGBA));
    EXPECT_EQ(result.frames[0].hotspotY, 12);
    EXPECT_EQ(pixelAt(result.frames[0], 15, 15), testsupport::pixelAt(*png, 15, 15));
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
    Bytes outside = arrow(0, 0);
    outside[18] = outside[19] = '\xFF'; // the image offset points past the end
    Bytes huge = arrow(0, 0);
    huge[22 + 4 + 3] = 0x7F; // a width of about two billion pixels
    const std::pair<Bytes, std::string> cases[] = {
        {Bytes(), "file too short"},
        {Bytes("\0\0\2\0\0\0", 6), "no images in the file"},
        {outside, "image data lies outside the file"},
        {huge, "bitmap size out of range"},
        {animation({frame(32, 0xFFFFFFFF, 0)}, {0, 3}, {}), "sequence names a missing frame"},
    };
    tesra::CursorFile result;
    std::string error;
    for (const auto& [file, reason] : cases)
    {
        EXPECT_FALSE(decode(file, result, error));
        EXPECT_EQ(error, reason);
        EXPECT_TRUE(result.frames.empty());
    }

    // Every truncation and many byte changes of a valid file are refused or decoded,
    // never read out of bounds.
    const Bytes valid = animation({frame(32, 0xFFFF0000, 3), frame(16, 0xFF00FF00, 4)}, {0, 1}, {5, 5});
    for (size_t length = 0; length < valid.size(); length += 7)
    {
        EXPECT_FALSE(decode(valid.substr(0, length), result, error)) << length;
    }
    for (size_t i = 0; i < valid.size(); i += 3)
    {
        Bytes changed = valid;
        changed[i] ^= 0xA5;
        decode(changed, result, error);
    }
}

using testsupport::WindowTest;

TEST_F(WindowTest, CursorsLoadThroughTheWindow)
{
    testsupport::TempDir dir;
    dir.file("arrow.cur", arrow(5, 7));
    dir.file("busy.cur", arrow(1, 1));
    dir.file("busy.ani", animation({frame(32, 0xFFFF0000, 3), frame(32, 0xFF00FF00, 4)}, {}, {}));
    dir.file("broken.cur", Bytes("\0\0\2\0\1\0\40\40", 8));
    // Cursor names are resource names, relative to the working folder.
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof(previous)), nullptr);
    ASSERT_EQ(chdir(dir.path.c_str()), 0);
    std::unique_ptr<tesra::Cursor> busy(window->createCursor("busy"));
    ASSERT_NE(busy, nullptr);
    EXPECT_EQ(busy->getFilename(), "busy.ani"); // animations are tried first
    auto* animated = dynamic_cast<tesra::SDL2_Cursor*>(busy.get());
    EXPECT_TRUE(animated->isAnimated());
    EXPECT_EQ(animated->getImages().frames.size(), 2u);
    window->setCursor(busy.get());
    window->updateOneFrame();

    std::unique_ptr<tesra::Cursor> plain(window->createCursor("arrow"));
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(dynamic_cast<tesra::SDL2_Cursor*>(plain.get())->isAnimated());
    EXPECT_FALSE(plain->load(""));
    window->setCursor(plain.get());
    window->setCursorVisible(false);
    window->setCursor(nullptr);

    EXPECT_EQ(window->createCursor("missing"), nullptr);
    EXPECT_EQ(window->createCursor("broken"), nullptr);
    EXPECT_TRUE(log.contains("WARNING: Unable to load cursor 'broken.cur': truncated image directory."));
    ASSERT_EQ(chdir(previous), 0);
}
