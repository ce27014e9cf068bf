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

TEST_F(MergedDrawTest, EveryStateChangeEndsTheRun)
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
    const std::vector<std::string> expected = {"two quads:0",     "blend mode:1",  "same blend mode:0",
                                               "colour mode:1",   "texture:1",     "same texture:0",
                                               "other texture:1", "alternating:4", "filter:1",
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
