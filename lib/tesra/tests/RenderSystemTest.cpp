#include <cmath>
#include <limits>
#include <vector>

#include <tesra/RenderSystem.h>

#include "GLTestSupport.h"
#include "LogCapture.h"

using namespace tesra;
using namespace testsupport;
using kavtypes::Rectangle;

namespace
{
    int clampByte(double value)
    {
        return std::min(255, std::max(0, (int)(value + 0.5)));
    }

    // The colour and alpha a blend mode leaves when `src` lands on `dst`, computed on the CPU.
    Color blendOnCpu(BlendMode mode, const Color& src, const Color& dst)
    {
        const double a = src.a / 255.0;
        auto channel = [&](int s, int d)
        {
            const double added = mode == BlendMode::ADD ? s * a + d : s * a + d * (1.0 - a);
            return clampByte(
                mode == BlendMode::OVERWRITE ? s : (mode == BlendMode::SUBTRACT ? d - s * a : added));
        };
        const int alpha = mode == BlendMode::OVERWRITE ? src.a : clampByte(src.a + dst.a * (1.0 - a));
        return Color(channel(src.r, dst.r), channel(src.g, dst.g), channel(src.b, dst.b), alpha);
    }

    unsigned int readTargetPixel(Texture* target, int x, int y)
    {
        Texture::Lock lock = target->lock(x, y, 1, 1);
        if (lock.failed)
        {
            ADD_FAILURE() << "the target cannot be locked";
            return 0;
        }
        const unsigned char* p = lock.data + ((size_t)lock.dy * lock.dataWidth + lock.dx) * 4; // B, G, R, A
        const unsigned int result = pack(Color(p[2], p[1], p[0], p[3]));
        target->unlock(lock, false);
        return result;
    }

    class RenderSystemTest : public ::testing::Test
    {
    protected:
        // The pixel at (16, 16) drawn over the background on the screen and, with alpha, in a render target.
        template <class Draw> std::pair<unsigned int, unsigned int> drawTwice(Draw draw)
        {
            Texture* target =
                rs->createTexture(64, 64, background, Image::FORMAT_RGBA, Texture::Type::RENDER_TARGET);
            rs->clear(false, Rectangle(0, 0, 64, 64), background);
            draw();
            const unsigned int screen = pixelAt(*context.grab(), 16, 16);
            rs->setRenderTarget(target);
            draw();
            rs->setRenderTarget(nullptr);
            const unsigned int inTarget = readTargetPixel(target, 16, 16);
            delete target;
            return {screen, inTarget};
        }

        GLContext context{64, 64};
        RenderSystem* rs = tesra::rendersys;
        const Color background = Color(40, 120, 200, 100);
    };
} // namespace

TEST_F(RenderSystemTest, EveryBlendModeOverAKnownBackground)
{
    const Color src(200, 100, 50, 128);
    for (BlendMode mode :
         {BlendMode::DEFAULT, BlendMode::ALPHA, BlendMode::ADD, BlendMode::SUBTRACT, BlendMode::OVERWRITE})
    {
        SCOPED_TRACE((int)mode);
        const Color expected = blendOnCpu(mode, src, background);
        rs->setTextureBlendMode(mode);
        const auto [screen, target] = drawTwice([&] { rs->drawFilledRect(Rectangle(8, 8, 16, 16), src); });
        EXPECT_TRUE(near(screen, pack(Color(expected, 255))));
        EXPECT_TRUE(near(target, pack(expected)));
    }
    EXPECT_TRUE(near(pixelAt(*context.grab(), 40, 40), pack(Color(background, 255))));
}

TEST_F(RenderSystemTest, EveryColorModeWithTextureAndVertexColor)
{
    const Color texel(40, 80, 120, 200), vertex(200, 100, 50, 160);
    Texture* texture = rs->createTexture(4, 4, texel);
    const int alpha = clampByte(texel.a * vertex.a / 255.0);
    auto combine = [&](auto op)
    {
        return Color(clampByte(op(texel.r, vertex.r)), clampByte(op(texel.g, vertex.g)),
                     clampByte(op(texel.b, vertex.b)), alpha);
    };
    const Color product = combine([](int t, int v) { return t * v / 255.0; });
    const double f = (int)(0.25f * 255) / 255.0;
    const Color lerp = combine([f](int t, int v) { return v * f + t * (1 - f); });
    const std::pair<ColorMode, Color> cases[] = {
        {ColorMode::DEFAULT, product},
        {ColorMode::MULTIPLY, product},
        {ColorMode::LERP, lerp},
        {ColorMode::ALPHA_MAP, Color(vertex, alpha)},
    };
    TexturedVertex quad[4] = {{0, 0, 0, 0, 0}, {32, 0, 0, 1, 0}, {0, 32, 0, 0, 1}, {32, 32, 0, 1, 1}};
    rs->setTextureBlendMode(BlendMode::OVERWRITE); // the fragment itself reaches the target
    for (const auto& [mode, expected] : cases)
    {
        SCOPED_TRACE((int)mode);
        rs->setTextureColorMode(mode, 0.25f);
        const auto [screen, target] = drawTwice(
            [&]
            {
                rs->setTexture(texture);
                rs->render(RenderOperation::TRIANGLE_STRIP, quad, 4, vertex);
            });
        EXPECT_TRUE(near(screen, pack(Color(expected, 255))));
        EXPECT_TRUE(near(target, pack(expected)));
    }
    // Per-vertex colours of textured records are 0xRRGGBBAA too.
    rs->setTextureColorMode(ColorMode::MULTIPLY);
    rs->setTexture(rs->createTexture(1, 1, Color(255, 255, 255)));
    ColoredTexturedVertex tinted[4] = {{0, 0, 0, 0x4080C0FF, 0, 0},
                                       {32, 0, 0, 0x4080C0FF, 1, 0},
                                       {0, 32, 0, 0x4080C0FF, 0, 1},
                                       {32, 32, 0, 0x4080C0FF, 1, 1}};
    rs->render(RenderOperation::TRIANGLE_STRIP, tinted, 4);
    EXPECT_EQ(0x4080C0FFu, pixelAt(*context.grab(), 16, 16));
    // A factor outside 0 to 1, however far, draws as the nearer end (above 1 the vertex colour alone,
    // below 0 the texture's); NaN as 0.
    const float inf = std::numeric_limits<float>::infinity();
    const std::pair<float, Color> outside[] = {{2.0f, vertex},  {1e30f, vertex}, {inf, vertex},
                                               {-1e30f, texel}, {-inf, texel},   {std::nanf(""), texel}};
    rs->setTexture(texture);
    for (const auto& [factor, expected] : outside)
    {
        SCOPED_TRACE(factor);
        rs->setTextureColorMode(ColorMode::LERP, factor);
        rs->render(RenderOperation::TRIANGLE_STRIP, quad, 4, vertex);
        EXPECT_TRUE(near(pixelAt(*context.grab(), 16, 16), pack(Color(expected, 255))));
    }
}

TEST_F(RenderSystemTest, RectanglesAndStrips)
{
    rs->clear(true, false);
    rs->drawFilledRect(Rectangle(10, 10, 20, 12), Color(255, 0, 0));
    rs->drawRect(Rectangle(40, 40, 10, 10), Color(0, 255, 0));
    std::unique_ptr<Image> shot = context.grab();
    // Filled: [10, 30) x [10, 22), sharp edges.
    EXPECT_EQ("k" + std::string(20, 'r') + "k", row(*shot, 9, 10, 22));
    EXPECT_EQ("k" + std::string(20, 'r') + "k", row(*shot, 9, 21, 22));
    EXPECT_EQ("krk", at(*shot, {{10, 9}, {10, 10}, {10, 22}}));
    // Outline: one-pixel sides on rows and columns 40 and 50, corners included, hollow inside.
    for (int y = 39; y <= 51; ++y)
    {
        const char inner = y == 40 || y == 50 ? 'g' : 'k';
        const char edge = y == 39 || y == 51 ? 'k' : 'g';
        EXPECT_EQ("k" + std::string(1, edge) + std::string(9, inner) + edge + "k", row(*shot, 39, y, 13))
            << y;
    }

    // A strip of 4 coloured vertices is two triangles: the whole square, red at the top shading to blue.
    rs->clear(true, false);
    ColoredVertex strip[4] = {
        {0, 0, 0, 0xFF0000FF}, {16, 0, 0, 0xFF0000FF}, {0, 16, 0, 0x0000FFFF}, {16, 16, 0, 0x0000FFFF}};
    rs->render(RenderOperation::TRIANGLE_STRIP, strip, 4);
    // A line strip of 5 plain vertices is four lines, drawn white.
    PlainVertex lines[5] = {{20, 0}, {30, 0}, {30, 10}, {20, 10}, {20, 0}};
    rs->render(RenderOperation::LINE_STRIP, lines, 5);
    shot = context.grab();
    EXPECT_TRUE(near(pixelAt(*shot, 14, 0), 0xFF0000FFu, 16));
    EXPECT_TRUE(near(pixelAt(*shot, 1, 15), 0x0000FFFFu, 16));
    EXPECT_TRUE(near(pixelAt(*shot, 14, 8), 0x800080FFu, 16));
    EXPECT_EQ("wwwwkk", at(*shot, {{25, 0}, {30, 5}, {25, 10}, {20, 5}, {25, 5}, {16, 8}}));
}

TEST_F(RenderSystemTest, SeventyThousandColoredVertices)
{
    // 23333 one-pixel triangles cover a 64 x 64 grid over and over; the final one paints (63, 63) white.
    std::vector<ColoredVertex> v(70000);
    for (int t = 0; t < 23333; ++t)
    {
        int cell = t % 4096;
        float x = (float)(cell % 64), y = (float)(cell / 64);
        unsigned int color = t == 23332 ? 0xFFFFFFFF : (t < 4096 ? 0xFF0000FF : 0x00FF00FF);
        v[t * 3] = ColoredVertex(x - 1, y - 1, 0, color);
        v[t * 3 + 1] = ColoredVertex(x + 3, y, 0, color);
        v[t * 3 + 2] = ColoredVertex(x, y + 3, 0, color);
    }
    v[69999] = ColoredVertex(0, 0, 0, 0x0000FFFF); // the 70000th vertex completes no triangle
    rs->clear(true, false);
    rs->render(RenderOperation::TRIANGLE_LIST, v.data(), (int)v.size());
    std::unique_ptr<Image> shot = context.grab();
    EXPECT_EQ(0x00FF00FFu, pixelAt(*shot, 10, 10));
    EXPECT_EQ(0xFFFFFFFFu, pixelAt(*shot, (23332 % 4096) % 64, (23332 % 4096) / 64));
    // The scratch arrays were left alone: a small draw afterwards is still right.
    rs->drawFilledRect(Rectangle(0, 0, 4, 4), Color(0, 0, 255));
    EXPECT_EQ(0x0000FFFFu, pixelAt(*context.grab(), 1, 1));
}

TEST_F(RenderSystemTest, Clears)
{
    // Without the depth-buffer option the depth flag is ignored; the colour becomes transparent black.
    Texture* target = rs->createTexture(8, 8, background, Image::FORMAT_RGBA, Texture::Type::RENDER_TARGET);
    rs->setRenderTarget(target);
    rs->clear(true, true);
    rs->setRenderTarget(nullptr);
    EXPECT_EQ(0u, readTargetPixel(target, 3, 3));
    // A rectangle clear touches only its rectangle, with the colour exactly.
    rs->clear(true, false);
    rs->clear(false, Rectangle(4.7f, 8, 10, 6), Color(1, 2, 3));
    std::unique_ptr<Image> shot = context.grab();
    EXPECT_EQ(0x010203FFu, pixelAt(*shot, 4, 8));
    EXPECT_EQ(0x010203FFu, pixelAt(*shot, 13, 13));
    EXPECT_EQ("kkk", at(*shot, {{14, 13}, {4, 14}, {3, 8}}));
}

TEST_F(RenderSystemTest, UnsupportedModesWarn)
{
    LogCapture log;
    rs->setTextureBlendMode((BlendMode)7);
    rs->setTextureColorMode((ColorMode)9);
    rs->setTextureFilter((Texture::Filter)5);
    rs->setTextureAddressMode((Texture::AddressMode)6);
    rs->setResolution(0, 600, false);
    const harray<hstring> expected = {
        "WARNING: Trying to set unsupported texture blend mode!",
        "WARNING: Trying to set unsupported texture color mode!",
        "WARNING: Trying to set unsupported texture filter!",
        "WARNING: Trying to set unsupported texture address mode!",
        "WARNING: Cannot set resolution to: 0 x 600",
    };
    EXPECT_EQ(expected, log.take());
    EXPECT_EQ(Rectangle(0, 0, 64, 64), rs->getViewport());
}

TEST_F(RenderSystemTest, ViewportAndProjectionUseTopLeftOrigin)
{
    rs->clear(true, false);
    rs->setViewport(Rectangle(0, 0, 32, 32)); // top-left quarter
    rs->setOrthoProjection(kavtypes::Vector2(64, 64));
    rs->drawFilledRect(Rectangle(0, 0, 64, 64), Color(255, 0, 0));
    rs->setViewport(Rectangle(0, 0, 64, 64));
    rs->translate(32, 0);
    rs->drawFilledRect(Rectangle(0, 0, 8, 8), Color(0, 0, 255));
    std::unique_ptr<Image> shot = context.grab();
    EXPECT_EQ(0.0f, rs->getPixelOffset()); // drawings stay sharp
    EXPECT_EQ("rkkb", at(*shot, {{31, 31}, {31, 32}, {32, 20}, {33, 1}}));
}

// A viewport from numbers no int holds (a clip rectangle of a huge or infinite object) becomes whole pixels
// far off the screen, not an undefined cast; the next viewport draws as before.
TEST_F(RenderSystemTest, AViewportPastAnyIntIsBoundedToPixels)
{
    const float huge = 1e30f, infinite = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    rs->clear(true, false);
    for (const Rectangle& rect :
         {Rectangle(huge, -huge, huge, huge), Rectangle(-infinite, 0, infinite, 64),
          Rectangle(nan, nan, nan, nan), Rectangle(0, 2147483648.0f, 64, 2147483648.0f)})
    {
        rs->setViewport(rect);
        rs->drawFilledRect(Rectangle(0, 0, 64, 64), Color(255, 0, 0));
    }
    rs->setViewport(Rectangle(0, 0, 64, 64));
    rs->drawFilledRect(Rectangle(0, 0, 8, 8), Color(0, 0, 255));
    EXPECT_EQ("bk", at(*context.grab(), {{4, 4}, {32, 32}}));
}
