#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <tesra/RenderSystem.h>

#include "GLTestSupport.h"
#include "rendersystems/opengl/OpenGL_RenderSystem.h"

using namespace tesra;
using namespace testsupport;
using kavtypes::Rectangle;

namespace
{
    class MergedDrawTest : public ::testing::Test
    {
    protected:
        // "name:draws" for every step, the draws being those GL was given while the step ran.
        std::vector<std::string>
        journal(const std::vector<std::pair<std::string, std::function<void()>>>& steps)
        {
            std::vector<std::string> result;
            for (const auto& [name, step] : steps)
            {
                const int before = gl->getDrawCallCount();
                step();
                result.push_back(name + ":" + std::to_string(gl->getDrawCallCount() - before));
            }
            return result;
        }

        void moveTo(float x, float y)
        {
            kavtypes::Matrix4 matrix;
            matrix.translate(x, y, 0.0f);
            rs->setModelviewMatrix(matrix);
        }

        GLContext context{64, 64};
        RenderSystem* rs = tesra::rendersys;
        OpenGL_RenderSystem* gl = static_cast<OpenGL_RenderSystem*>(tesra::rendersys);
    };
} // namespace

TEST_F(MergedDrawTest, DrawsOfOneStateUnderAnyMatricesAndKindsGoOutAsOne)
{
    rs->clear(true, false);
    ColoredVertex fan[4] = {
        {0, 0, 0, 0x00FF00FF}, {8, 0, 0, 0x00FF00FF}, {8, 8, 0, 0x00FF00FF}, {0, 8, 0, 0x00FF00FF}};
    PlainVertex list[6] = {{0, 0}, {8, 0}, {0, 8}, {8, 0}, {8, 8}, {0, 8}};
    const std::vector<std::string> expected = {"strips:0", "fan:0", "list:0", "screenshot:1"};
    std::unique_ptr<Image> shot;
    EXPECT_EQ(expected, journal({{"strips",
                                  [&]
                                  {
                                      for (int i = 0; i < 6; ++i)
                                      {
                                          moveTo(i * 8.0f, i * 8.0f);
                                          rs->drawFilledRect(Rectangle(0, 0, 8, 8), Color(255, 0, 0));
                                      }
                                  }},
                                 {"fan",
                                  [&]
                                  {
                                      moveTo(48, 0);
                                      rs->render(RenderOperation::TRIANGLE_FAN, fan, 4);
                                  }},
                                 {"list",
                                  [&]
                                  {
                                      moveTo(0, 48);
                                      rs->scale(2.0f, 1.0f);
                                      rs->render(RenderOperation::TRIANGLE_LIST, list, 6, Color(0, 0, 255));
                                  }},
                                 {"screenshot", [&] { shot = context.grab(); }}}));
    EXPECT_EQ("rrrrrrk", at(*shot, {{4, 4}, {12, 12}, {20, 20}, {28, 28}, {36, 36}, {44, 44}, {52, 52}}));
    EXPECT_EQ("kkgkk", at(*shot, {{47, 3}, {51, 8}, {52, 4}, {56, 4}, {40, 4}}));
    EXPECT_EQ("bbkk", at(*shot, {{1, 49}, {15, 55}, {1, 57}, {17, 50}}));

    // Long runs go out in parts, in order: the last of many overlapping quads is the one on top.
    rs->clear(true, false);
    moveTo(0, 0);
    const int before = gl->getDrawCallCount();
    for (int i = 0; i < 5000; ++i)
    {
        rs->drawFilledRect(Rectangle(0, 0, 8, 8), i % 2 ? Color(0, 0, 255) : Color(255, 0, 0));
    }
    EXPECT_EQ("b", at(*context.grab(), {{4, 4}}));
    EXPECT_GT(gl->getDrawCallCount() - before, 1);

    // A projective matrix (w = 2 halves everything) cannot be applied on the CPU without w: such draws go
    // out on their own, after what came before.
    moveTo(0, 0);
    kavtypes::Matrix4 halving;
    halving.data[15] = 2.0f;
    rs->clear(true, false);
    EXPECT_EQ(std::vector<std::string>({"quad:0", "projective:2", "quad after:0"}),
              journal({{"quad", [&] { rs->drawFilledRect(Rectangle(40, 40, 8, 8), Color(0, 255, 0)); }},
                       {"projective",
                        [&]
                        {
                            rs->setModelviewMatrix(halving);
                            rs->drawFilledRect(Rectangle(0, 0, 32, 32), Color(255, 0, 0));
                        }},
                       {"quad after", [&]
                        {
                            moveTo(0, 0);
                            rs->drawFilledRect(Rectangle(20, 20, 4, 4), Color(0, 0, 255));
                        }}}));
    EXPECT_EQ("rkgb", at(*context.grab(), {{15, 15}, {17, 17}, {44, 44}, {21, 21}}));
}

TEST_F(MergedDrawTest, EveryStateChangeButTheTextureEndsTheRun)
{
    Texture* red = rs->createTexture(4, 4, Color(255, 0, 0));
    Texture* blue = rs->createTexture(4, 4, Color(0, 0, 255));
    PlainVertex line[2] = {{0, 60}, {60, 60}};
    auto quad = [&] { rs->drawFilledRect(Rectangle(0, 0, 4, 4), Color(0, 255, 0)); };
    auto textured = [&](Texture* texture)
    {
        rs->setTexture(texture);
        rs->drawTexturedRect(Rectangle(8, 8, 4, 4), Rectangle(0, 0, 1, 1));
    };
    rs->clear(true, false);
    // Textures are no state of the run: each draw names its own texture's unit.
    const std::vector<std::string> expected = {"two quads:0",     "blend mode:1",  "same blend mode:0",
                                               "colour mode:1",   "texture:0",     "same texture:0",
                                               "other texture:0", "alternating:0", "filter:1",
                                               "line:2",          "quad:0",        "viewport:1",
                                               "quad:0",          "projection:1",  "quad:0",
                                               "clear:1",         "quad:0",        "present:1"};
    EXPECT_EQ(expected, journal({{"two quads",
                                  [&]
                                  {
                                      quad();
                                      quad();
                                  }},
                                 {"blend mode",
                                  [&]
                                  {
                                      rs->setTextureBlendMode(BlendMode::ADD);
                                      quad();
                                  }},
                                 {"same blend mode",
                                  [&]
                                  {
                                      rs->setTextureBlendMode(BlendMode::ADD);
                                      quad();
                                  }},
                                 {"colour mode",
                                  [&]
                                  {
                                      rs->setTextureColorMode(ColorMode::LERP, 0.5f);
                                      quad();
                                  }},
                                 {"texture", [&] { textured(red); }},
                                 {"same texture", [&] { textured(red); }},
                                 {"other texture", [&] { textured(blue); }},
                                 {"alternating",
                                  [&]
                                  {
                                      for (int i = 0; i < 4; ++i)
                                      {
                                          textured(i % 2 ? blue : red);
                                      }
                                  }},
                                 {"filter",
                                  [&]
                                  {
                                      rs->setTextureFilter(Texture::Filter::NEAREST);
                                      textured(red);
                                  }},
                                 {"line", [&] { rs->render(RenderOperation::LINE_LIST, line, 2); }},
                                 {"quad", quad},
                                 {"viewport", [&] { rs->setViewport(Rectangle(0, 0, 64, 64)); }},
                                 {"quad", quad},
                                 {"projection", [&] { rs->setOrthoProjection(kavtypes::Vector2(64, 64)); }},
                                 {"quad", quad},
                                 {"clear", [&] { rs->clear(false, Rectangle(60, 0, 4, 4), Color(1, 2, 3)); }},
                                 {"quad", quad},
                                 {"present", [&] { rs->presentFrame(); }}}));
    delete red;
    delete blue;
}

TEST_F(MergedDrawTest, TextureWritesAndReadBacksSeeTheDrawsBeforeThem)
{
    Texture* texture = rs->createTexture(4, 4, Color(255, 0, 0));
    rs->clear(true, false);
    rs->setTexture(texture);
    rs->drawTexturedRect(Rectangle(0, 0, 8, 8), Rectangle(0, 0, 1, 1));
    // The first quad was drawn red before the texture turned blue.
    texture->fillRect(0, 0, 4, 4, Color(0, 0, 255));
    rs->setTexture(texture);
    rs->drawTexturedRect(Rectangle(8, 0, 8, 8), Rectangle(0, 0, 1, 1));
    EXPECT_EQ("rb", at(*context.grab(), {{4, 4}, {12, 4}}));

    // Locking the target that is still drawn into reads what was drawn into it.
    Texture* target =
        rs->createTexture(8, 8, Color(0, 0, 0), Image::FORMAT_RGBA, Texture::Type::RENDER_TARGET);
    rs->setRenderTarget(target);
    rs->setTexture(nullptr);
    rs->drawFilledRect(Rectangle(0, 0, 64, 64), Color(0, 255, 0)); // the screen's projection
    Texture::Lock lock = target->lock(2, 2, 1, 1);
    ASSERT_FALSE(lock.failed);
    const unsigned char* p = lock.data + ((size_t)lock.dy * lock.dataWidth + lock.dx) * 4; // B, G, R, A
    EXPECT_EQ(0x00FF00FFu, pack(Color(p[2], p[1], p[0], p[3])));
    target->unlock(lock, false);
    rs->setRenderTarget(nullptr);
    delete target;
    delete texture;
}

namespace
{
    // Quads of 4 x 4 in a row from the left, each from its own texture of a colour of its own, with the
    // texture's filter and address mode varying and texture coordinates past 1 (wrapping shows a repeat).
    class MultiTextureRunTest : public MergedDrawTest
    {
    protected:
        std::vector<Texture*> textures;

        ~MultiTextureRunTest() override
        {
            for (Texture* texture : textures)
            {
                delete texture;
            }
        }
        void makeTextures(int count)
        {
            for (int i = 0; i < count; ++i)
            {
                // Two columns of different colours, so that filters and wrapping change the pixels.
                unsigned char pixels[2 * 2 * 4];
                for (int p = 0; p < 4; ++p)
                {
                    const bool left = p % 2 == 0;
                    pixels[p * 4 + 0] = (unsigned char)(left ? 40 + i * 12 : 250 - i * 9);
                    pixels[p * 4 + 1] = (unsigned char)(left ? 200 - i * 7 : 20 + i * 11);
                    pixels[p * 4 + 2] = (unsigned char)(left ? i * 15 : 255 - i * 13);
                    pixels[p * 4 + 3] = (unsigned char)(left ? 255 : 128 + i * 5);
                }
                Texture* texture = rs->createTexture(pixels, 2, 2);
                texture->setFilter(i % 2 ? Texture::Filter::NEAREST : Texture::Filter::LINEAR);
                texture->setAddressMode(i % 3 ? Texture::AddressMode::CLAMP : Texture::AddressMode::WRAP);
                textures.push_back(texture);
            }
        }
        // Every quad of the row in turn, with a filled rectangle under every third unless `fills` is off;
        // with `apart` each goes to GL on its own.
        void drawRow(bool apart, bool fills = true)
        {
            for (size_t i = 0; i < textures.size(); ++i)
            {
                rs->setTexture(textures[i]);
                rs->drawTexturedRect(Rectangle((float)(i % 16) * 4.0f, (float)(i / 16) * 8.0f, 4, 4),
                                     Rectangle(-0.25f, 0.0f, 1.5f, 1.0f));
                if (fills && i % 3 == 2)
                {
                    rs->drawFilledRect(Rectangle((float)(i % 16) * 4.0f, (float)(i / 16) * 8.0f + 4.0f, 4, 2),
                                       Color(10, 20, 30, 200));
                }
                if (apart)
                {
                    gl->flush();
                }
            }
        }
        std::vector<unsigned char> pixels()
        {
            std::unique_ptr<Image> shot = context.grab();
            return std::vector<unsigned char>(shot->data.get(),
                                              shot->data.get() + shot->width * shot->height * 4);
        }
        // The row (or what `draw` draws) drawn merged and drawn draw by draw, over a background, gives the
        // same bytes.
        ::testing::AssertionResult sameAsApart(const std::function<void(bool apart)>& draw)
        {
            rs->clear(false, Rectangle(0, 0, 64, 64), Color(90, 60, 30, 255));
            draw(true);
            const std::vector<unsigned char> apart = pixels();
            rs->clear(false, Rectangle(0, 0, 64, 64), Color(90, 60, 30, 255));
            draw(false);
            const std::vector<unsigned char> merged = pixels();
            for (size_t i = 0; i < apart.size(); ++i)
            {
                if (apart[i] != merged[i])
                {
                    return ::testing::AssertionFailure()
                           << "byte " << i << " of pixel (" << (i / 4) % 64 << ", " << (i / 4) / 64
                           << "): " << (int)merged[i] << " merged, " << (int)apart[i] << " apart";
                }
            }
            return ::testing::AssertionSuccess();
        }
        ::testing::AssertionResult sameAsApart(bool fills = true)
        {
            return sameAsApart([&](bool apart) { drawRow(apart, fills); });
        }
    };
} // namespace

TEST_F(MultiTextureRunTest, RunsHoldAsManyTexturesAsThereAreUnits)
{
    const int units = gl->getTextureSlotCount();
    ASSERT_GE(units, 2);
    ASSERT_LE(units, 16);
    makeTextures(units + 1);
    // The first bind gives each texture object its own filter and address mode.
    drawRow(true);
    for (int count : {1, 2, units, units + 1})
    {
        rs->clear(true, false);
        const int before = gl->getDrawCallCount();
        for (int i = 0; i < count; ++i)
        {
            rs->setTexture(textures[i]);
            rs->drawTexturedRect(Rectangle((float)i * 4.0f, 0, 4, 4), Rectangle(0, 0, 1, 1));
        }
        // One more texture than units ends the run before it.
        EXPECT_EQ(gl->getDrawCallCount() - before, count > units ? 1 : 0) << count << " textures";
        gl->flush();
        EXPECT_EQ(gl->getDrawCallCount() - before, count > units ? 2 : 1) << count << " textures";
    }
    EXPECT_TRUE(sameAsApart());
}

TEST_F(MultiTextureRunTest, EveryBlendAndColourModeDrawsAsWhenDrawnApart)
{
    makeTextures(5);
    const std::vector<std::pair<ColorMode, float>> colourModes = {{ColorMode::DEFAULT, 1.0f},
                                                                  {ColorMode::MULTIPLY, 1.0f},
                                                                  {ColorMode::LERP, 0.3f},
                                                                  {ColorMode::ALPHA_MAP, 1.0f}};
    // Both ways of picking the unit, and runs of white vertices alone, which leave the colour unread.
    for (bool indexed : {true, false})
    {
        gl->setIndexedUnitChoice(indexed);
        for (BlendMode blend : {BlendMode::DEFAULT, BlendMode::ALPHA, BlendMode::ADD, BlendMode::SUBTRACT,
                                BlendMode::OVERWRITE})
        {
            for (const auto& [mode, factor] : colourModes)
            {
                rs->setTextureBlendMode(blend);
                rs->setTextureColorMode(mode, factor);
                for (bool fills : {true, false})
                {
                    EXPECT_TRUE(sameAsApart(fills))
                        << "blend " << (int)blend << ", colour mode " << (int)mode
                        << (indexed ? ", indexed" : ", branches") << (fills ? ", with fills" : ", white");
                }
            }
        }
    }
    rs->setTextureBlendMode(BlendMode::DEFAULT);
    rs->setTextureColorMode(ColorMode::DEFAULT);
}

TEST_F(MultiTextureRunTest, ATextureDestroyedBetweenDrawsKeepsWhatWasDrawnWithIt)
{
    Texture* red = rs->createTexture(2, 2, Color(255, 0, 0));
    Texture* blue = rs->createTexture(2, 2, Color(0, 0, 255));
    rs->clear(true, false);
    rs->setTexture(red);
    rs->drawTexturedRect(Rectangle(0, 0, 4, 4), Rectangle(0, 0, 1, 1));
    delete red;
    // A new texture may take the freed object's place and name.
    Texture* green = rs->createTexture(2, 2, Color(0, 255, 0));
    rs->setTexture(blue);
    rs->drawTexturedRect(Rectangle(4, 0, 4, 4), Rectangle(0, 0, 1, 1));
    rs->setTexture(green);
    rs->drawTexturedRect(Rectangle(8, 0, 4, 4), Rectangle(0, 0, 1, 1));
    EXPECT_EQ("rbg", at(*context.grab(), {{1, 1}, {5, 1}, {9, 1}}));
    delete blue;
    delete green;
}

TEST_F(MultiTextureRunTest, ARenderTargetDrawnIntoThenSampledInTheSameFrame)
{
    Texture* target =
        rs->createTexture(8, 8, Color(0, 0, 0), Image::FORMAT_RGBA, Texture::Type::RENDER_TARGET);
    Texture* blue = rs->createTexture(2, 2, Color(0, 0, 255));
    rs->clear(true, false);
    // The target is one unit of the run before it is drawn into, and again after.
    rs->setTexture(target);
    rs->drawTexturedRect(Rectangle(0, 0, 4, 4), Rectangle(0, 0, 1, 1));
    rs->setRenderTarget(target);
    rs->setTexture(blue);
    rs->drawTexturedRect(Rectangle(0, 0, 64, 64), Rectangle(0, 0, 1, 1));
    rs->setRenderTarget(nullptr);
    rs->setTexture(target);
    rs->drawTexturedRect(Rectangle(8, 0, 4, 4), Rectangle(0, 0, 1, 1));
    rs->setTexture(blue);
    rs->drawTexturedRect(Rectangle(16, 0, 4, 4), Rectangle(0, 0, 1, 1));
    EXPECT_EQ("kbb", at(*context.grab(), {{1, 1}, {9, 1}, {17, 1}}));
    delete target;
    delete blue;
}

TEST_F(MultiTextureRunTest, WithUnitsAsBranchesLargeDrawsKeepARunToTheirOwnTexture)
{
    gl->setIndexedUnitChoice(false);
    makeTextures(2);
    drawRow(true);
    auto quad = [&](int texture, float side)
    {
        rs->setTexture(textures[texture]);
        rs->drawTexturedRect(Rectangle(0, 0, side, side), Rectangle(0, 0, 1, 1));
    };
    rs->clear(true, false);
    // Small draws of two textures share a run; a large one of another texture starts its own and keeps it:
    // the small draw after it ends it again.
    EXPECT_EQ(std::vector<std::string>({"small, small:0", "large:1", "large, same texture:0", "small:1"}),
              journal({{"small, small",
                        [&]
                        {
                            quad(0, 8);
                            quad(1, 8);
                        }},
                       {"large", [&] { quad(0, 60); }},
                       {"large, same texture", [&] { quad(0, 60); }},
                       {"small", [&] { quad(1, 8); }}}));
    // Scaled up by the matrix, a small quad is a large draw.
    gl->flush();
    quad(0, 8);
    const int before = gl->getDrawCallCount();
    rs->scale(8.0f, 8.0f);
    quad(1, 8);
    EXPECT_EQ(gl->getDrawCallCount() - before, 1);
    rs->setModelviewMatrix(kavtypes::Matrix4());
    EXPECT_TRUE(sameAsApart());
}

TEST_F(MultiTextureRunTest, WithIndexedUnitsOverlappingDrawsOfAnySizeShareARun)
{
    gl->setIndexedUnitChoice(true);
    makeTextures(3);
    drawRow(true);
    // Large quads of three textures, each over the last, in one run; the order of the draws holds.
    auto overlapping = [&](bool apart)
    {
        for (int i = 0; i < 9; ++i)
        {
            rs->setTexture(textures[i % 3]);
            rs->drawTexturedRect(Rectangle((float)i * 3.0f, (float)i * 2.0f, 40, 40),
                                 Rectangle(-0.25f, 0.0f, 1.5f, 1.0f));
            if (apart)
            {
                gl->flush();
            }
        }
    };
    gl->flush();
    const int before = gl->getDrawCallCount();
    rs->clear(true, false);
    overlapping(false);
    gl->flush();
    EXPECT_EQ(gl->getDrawCallCount() - before, 1);
    for (ColorMode mode : {ColorMode::DEFAULT, ColorMode::LERP})
    {
        rs->setTextureColorMode(mode, 0.6f);
        EXPECT_TRUE(sameAsApart(overlapping)) << "colour mode " << (int)mode;
    }
    rs->setTextureColorMode(ColorMode::DEFAULT);
}

TEST_F(MultiTextureRunTest, UnderAPerspectiveProjectionTexturesStayPerspectiveCorrect)
{
    makeTextures(2);
    // w grows from left to right: the texture's columns bunch towards the far side.
    const kavtypes::Matrix4 screen = rs->getProjectionMatrix();
    kavtypes::Matrix4 projection = screen;
    projection.data[3] = 0.02f;
    auto frame = [&](bool indexed)
    {
        gl->setIndexedUnitChoice(indexed);
        rs->setProjectionMatrix(projection);
        rs->clear(true, false);
        for (int i = 0; i < 2; ++i)
        {
            rs->setTexture(textures[i]);
            rs->drawTexturedRect(Rectangle(0, (float)i * 32.0f, 64, 30), Rectangle(0, 0, 1, 1));
        }
        rs->setProjectionMatrix(screen);
        return pixels();
    };
    // The programs of both unit choices, one of them without the interpolation that skips the division.
    EXPECT_TRUE(frame(true) == frame(false));
}
