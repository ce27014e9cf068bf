#include <unistd.h>

#include "window/CursorFile.h"
#include "CursorFileBuilder.h"
#include "WindowTestSupport.h"
#include "platform/sdl/SDL2_Cursor.h"

using namespace cursor_builder;
using tesra::CursorFile;
using testsupport::WindowTest;

namespace
{
    bool decode(const Bytes& data, CursorFile& result, std::string& error)
    {
        return tesra::decodeCursorFile((const unsigned char*)data.data(), data.size(), result, error);
    }

    std::vector<uint32_t> pixels(const tesra::CursorImage& image, std::vector<std::pair<int, int>> points)
    {
        std::vector<uint32_t> result;
        for (const auto& [x, y] : points)
        {
            const unsigned char* p = &image.pixels[((size_t)y * image.width + x) * 4];
            result.push_back(((uint32_t)p[0] << 24) | ((uint32_t)p[1] << 16) | ((uint32_t)p[2] << 8) | p[3]);
        }
        return result;
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
    CursorFile result;
    std::string error;
    ASSERT_TRUE(decode(arrow(5, 7), result, error)) << error;
    ASSERT_EQ(result.frames.size(), 1u);
    const tesra::CursorImage& image = result.frames[0];
    EXPECT_EQ(std::vector<int>({32, 32, 5, 7}),
              std::vector<int>({image.width, image.height, image.hotspotX, image.hotspotY}));
    // Rows are turned top side up.
    EXPECT_EQ(pixels(image, {{0, 0}, {3, 9}, {20, 9}}), (std::vector<uint32_t>{0xFF0000FF, 0x0000FFFF, 0}));

    // Two colours with the AND mask: masked black is transparent, masked white inverts.
    const Bytes mono = bitmap(
        1, 8, 8, [](int x, int) { return x >= 4; }, [](int, int y) { return y >= 4; });
    ASSERT_TRUE(decode(container({{8, 8, 1, 2, mono}}), result, error)) << error;
    EXPECT_EQ(pixels(result.frames[0], {{0, 0}, {5, 0}, {0, 5}, {5, 5}}),
              (std::vector<uint32_t>{0x000000FF, 0xFFFFFFFF, 0, 0x000000FF}));

    // Of several sizes the one nearest to 32 pixels is used; PNG images are read too.
    const hstring pngFile = hstring(VUMO_TEST_DATA_DIR) + "/render/quad.png";
    const Bytes png = testsupport::readFile(pngFile);
    ASSERT_TRUE(decode(container({{8, 8, 1, 1, mono}, {16, 16, 10, 12, png}}), result, error)) << error;
    std::unique_ptr<tesra::Image> reference(tesra::Image::createFromFile(pngFile, tesra::Image::FORMAT_RGBA));
    EXPECT_EQ(result.frames[0].hotspotY, 12);
    EXPECT_EQ(pixels(result.frames[0], {{15, 15}})[0], testsupport::pixelAt(*reference, 15, 15));
}

TEST(CursorFile, DecodesAnimationsWithSequenceAndRates)
{
    const std::vector<Bytes> frames = {frame(32, 0xFFFF0000, 3), frame(32, 0xFF00FF00, 4),
                                       frame(24, 0xFF0000FF, 5)};
    CursorFile result;
    std::string error;
    ASSERT_TRUE(decode(animation(frames, {0, 1, 2, 1, 0}, {10, 20, 30, 20, 10}), result, error)) << error;
    ASSERT_EQ(result.frames.size(), 3u);
    EXPECT_EQ(result.sequence, (std::vector<int>{0, 1, 2, 1, 0}));
    EXPECT_EQ(result.rates, (std::vector<int>{10, 20, 30, 20, 10}));
    EXPECT_EQ(result.frames[2].hotspotX, 5);
    EXPECT_EQ(pixels(result.frames[1], {{0, 0}})[0], 0x00FF00FFu);
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
    CursorFile result;
    std::string error;
    for (const auto& [file, reason] : cases)
    {
        EXPECT_FALSE(decode(file, result, error));
        EXPECT_EQ(error, reason);
        EXPECT_TRUE(result.frames.empty());
    }
    // Every truncation and many byte changes of a valid file are refused or decoded, never read out of
    // bounds.
    const Bytes valid = animation({frame(32, 0xFFFF0000, 3), frame(16, 0xFF00FF00, 4)}, {0, 1}, {5, 5});
    for (size_t i = 0; i < valid.size(); i += 3)
    {
        EXPECT_FALSE(decode(valid.substr(0, i), result, error)) << i;
        Bytes changed = valid;
        changed[i] ^= 0xA5;
        decode(changed, result, error);
    }
}

TEST(CursorFile, DecodedPixelsOfOneFileStayWithinTheirBudget)
{
    // A 1024 x 1024 two-colour frame is 256 KiB in the file and 4 MiB decoded: sixteen fill the
    // 64 MiB budget, a seventeenth is refused before its pixels are allocated.
    const Bytes big = container({{0, 0, 0, 0, bitmap(1, 1024, 1024, unmasked, unmasked)}});
    CursorFile result;
    std::string error;
    ASSERT_TRUE(decode(animation(std::vector<Bytes>(16, big), {}, {}), result, error)) << error;
    EXPECT_EQ(result.frames.size(), 16u);
    EXPECT_FALSE(decode(animation(std::vector<Bytes>(17, big), {}, {}), result, error));
    EXPECT_EQ(error, "frame 16: decoded frames exceed 64 MiB");
    EXPECT_TRUE(result.frames.empty());
}

TEST_F(WindowTest, CursorsLoadThroughTheWindow)
{
    testsupport::TempDir dir;
    dir.file("busy.cur", arrow(1, 1));
    dir.file("busy.ani", animation({frame(32, 0xFFFF0000, 3), frame(32, 0xFF00FF00, 4)}, {}, {}));
    dir.file("broken.cur", Bytes("\0\0\2\0\1\0\40\40", 8));
    // Cursor names are resource names, relative to the working folder.
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof(previous)), nullptr);
    ASSERT_EQ(chdir(dir.path.c_str()), 0);
    std::unique_ptr<tesra::Cursor> busy(window->createCursor("busy"));
    // A file name as a folder lists it is taken as it is, not given a second extension.
    std::unique_ptr<tesra::Cursor> still(window->createCursor("busy.cur"));
    EXPECT_EQ(window->createCursor("missing"), nullptr);
    EXPECT_EQ(window->createCursor("broken"), nullptr);
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_TRUE(log.contains("WARNING: Unable to load cursor 'broken.cur': truncated image directory."));
    ASSERT_NE(busy, nullptr);
    EXPECT_EQ(busy->getFilename(), "busy.ani"); // animations are tried first
    ASSERT_NE(still, nullptr);
    EXPECT_EQ(still->getFilename(), "busy.cur");
    EXPECT_EQ(dynamic_cast<tesra::SDL2_Cursor&>(*busy).getImages().frames.size(), 2u);
    window->setCursor(busy.get());
    window->updateOneFrame(); // animates
    window->setCursor(nullptr);
    EXPECT_FALSE(busy->load(""));
}
