#include <unistd.h>

#include <cstring>
#include <fstream>
#include <memory>

#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>

#include "GLTestSupport.h"
#include "LogCapture.h"

using namespace tesra;
using namespace testsupport;
using kavtypes::Rectangle;

namespace
{
    const hstring dataDir = hstring(VUMO_TEST_DATA_DIR) + "/render/";

    class TextureTest : public ::testing::Test
    {
    protected:
        void SetUp() override { tesra::setTextureExtensions({".jpt", ".png", ".jpg"}); }

        // Draws the texture `u` times across the top-left 32 x 32 pixels and reads the frame back.
        std::unique_ptr<Image> drawScaled(Texture* texture, BlendMode blend = BlendMode::OVERWRITE,
                                          Texture::Filter filter = Texture::Filter::NEAREST, float u = 1)
        {
            rs->clear(true, false);
            rs->setTextureBlendMode(blend);
            texture->setFilter(filter);
            rs->setTexture(texture);
            rs->drawTexturedRect(Rectangle(0, 0, 32, 32), Rectangle(0, 0, u, 1));
            rs->setTextureBlendMode(BlendMode::DEFAULT);
            return context.grab();
        }

        GLContext context{64, 64};
        RenderSystem* rs = tesra::rendersys;
    };
} // namespace

TEST_F(TextureTest, TexturedJptQuadMatchesDecodedPixels)
{
    std::unique_ptr<Image> reference(Image::createFromFile(dataDir + "quad.jpt", Image::FORMAT_RGBA));
    ASSERT_NE(nullptr, reference);
    Texture* texture = rs->createTextureFromFile(dataDir + "quad", Texture::Type::IMMUTABLE, true);
    ASSERT_NE(nullptr, texture);
    EXPECT_EQ(dataDir + "quad.jpt", texture->getFilename());
    // Alpha-blended over opaque black: each 2 x 2 block shows colour times alpha.
    std::unique_ptr<Image> shot = drawScaled(texture, BlendMode::DEFAULT);
    for (int y = 0; y < 16; ++y)
    {
        for (int x = 0; x < 16; ++x)
        {
            const unsigned int texel = pixelAt(*reference, x, y);
            auto channel = [texel](int shift)
            { return (int)(((texel >> shift) & 0xFF) * (texel & 0xFF) / 255.0 + 0.5); };
            const Color expected(channel(24), channel(16), channel(8));
            ASSERT_TRUE(near(pixelAt(*shot, x * 2 + 1, y * 2 + 1), pack(expected))) << x << "," << y;
        }
    }
}

TEST_F(TextureTest, FindByNameThroughTheExtensionList)
{
    TempDir dir;
    const hstring name = dir.path + "/bg";
    dir.file("bg.jpt");
    EXPECT_EQ(name + ".jpt", rs->findTextureFile(name + ".png")); // the name's own stem
    EXPECT_EQ(name + ".jpt", rs->findTextureFile(name));
    dir.file("bg.png");
    EXPECT_EQ(name + ".jpt", rs->findTextureFile(name));          // ".jpt" comes first
    EXPECT_EQ(name + ".png", rs->findTextureFile(name + ".png")); // an existing name is itself
    tesra::setTextureExtensions({".png", ".jpt"});
    EXPECT_EQ(name + ".png", rs->findTextureFile(name));
    EXPECT_EQ(hstring(""), rs->findTextureFile(dir.path + "/missing"));
    EXPECT_EQ(nullptr, rs->createTextureFromFile(dir.path + "/missing"));
    EXPECT_EQ(0, (int)rs->getTextures().size());
    // Resources are found relative to the working folder.
    const hstring resource = "render_test_resource";
    std::ofstream((resource + ".jpt").c_str()) << readFile(dataDir + "quad.jpt");
    EXPECT_EQ(resource + ".jpt", rs->findTextureResource(resource));
    Texture* texture = rs->createTextureFromResource(resource, Texture::Type::MANAGED, true);
    unlink((resource + ".jpt").c_str());
    ASSERT_NE(nullptr, texture);
    EXPECT_TRUE(texture->isFromResource());
    EXPECT_EQ(nullptr, rs->createTextureFromResource(resource));
}

TEST_F(TextureTest, LoadOnFirstBindUnloadAndReload)
{
    TempDir dir;
    const hstring immutablePath = dir.file("pic.png", readFile(dataDir + "quad.png"));
    const hstring managedPath = dir.file("kept.png", readFile(dataDir + "quad.png"));
    LogCapture log;
    Texture* immutable = rs->createTextureFromFile(dir.path + "/pic");
    Texture* managed = rs->createTextureFromFile(managedPath, Texture::Type::MANAGED);
    ASSERT_TRUE(immutable != nullptr && managed != nullptr);
    EXPECT_EQ(0, immutable->getWidth() + immutable->getByteSize()); // not loaded yet
    const hstring warning = "WARNING: Texture '" + immutablePath + "' has %s = 0 (possibly not loaded yet?)";
    EXPECT_TRUE(log.contains(formatString(warning.c_str(), "width")));
    EXPECT_TRUE(log.contains(formatString(warning.c_str(), "byteSize")));

    std::unique_ptr<Image> first = drawScaled(immutable); // binding loads
    EXPECT_TRUE(log.contains("Loading texture: '" + immutablePath + "' (immutable)"));
    EXPECT_TRUE(immutable->isLoaded());
    EXPECT_EQ(nullptr, immutable->getData());       // file-backed immutable pixels are dropped after upload
    EXPECT_EQ(0x283CD2FFu, pixelAt(*first, 1, 17)); // the bottom-left quadrant's colour
    ASSERT_TRUE(managed->load());
    ASSERT_NE(nullptr, managed->getData()); // managed pixels stay in system memory
    EXPECT_EQ(220, managed->getData()[0]);

    // With the files gone, only the managed texture can come back after unloading.
    ASSERT_EQ(0, unlink(immutablePath.c_str()));
    ASSERT_EQ(0, unlink(managedPath.c_str()));
    immutable->unload();
    managed->unload();
    EXPECT_TRUE(log.contains("Unloading texture: '" + immutablePath + "' (immutable)"));
    EXPECT_FALSE(managed->isLoaded());
    std::unique_ptr<Image> again = drawScaled(managed);
    EXPECT_TRUE(managed->isLoaded());
    EXPECT_EQ(at(*first, {{1, 17}, {30, 30}}), at(*again, {{1, 17}, {30, 30}}));
    drawScaled(immutable);
    EXPECT_FALSE(immutable->isLoaded());
    EXPECT_TRUE(log.contains("ERROR: Failed to load texture: '" + immutablePath + "' (immutable): '" +
                             immutablePath + "' not found!"));

    Texture* unnamed = rs->createTextureFromFile(dataDir + "quad.png");
    unnamed->registerFile("", Texture::Type::MANAGED);
    EXPECT_FALSE(unnamed->load());
    EXPECT_TRUE(log.contains("ERROR: No filename for texture specified!"));
    delete unnamed;
    EXPECT_EQ(2, (int)rs->getTextures().size());
}

TEST_F(TextureTest, WriteFillAndSetPixelReachTheGpu)
{
    const unsigned char column[4 * 3] = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255}; // RGB
    for (Texture::Type type : {Texture::Type::MANAGED, Texture::Type::VOLATILE, Texture::Type::RENDER_TARGET})
    {
        SCOPED_TRACE((int)type);
        Texture* texture = rs->createTexture(4, 4, Color(255, 0, 0), Image::FORMAT_RGBA, type);
        ASSERT_NE(nullptr, texture);
        EXPECT_TRUE(texture->setPixel(0, 0, Color(0, 0, 255)));
        EXPECT_TRUE(texture->fillRect(2, 0, 2, 2, Color(0, 255, 0)));
        EXPECT_TRUE(
            texture->write(0, 0, 1, 4, 1, 0, column, 1, 4, Image::FORMAT_RGB)); // converted on the way
        EXPECT_TRUE(texture->fillRect(3, 3, 5, 5, Color(255, 255, 0)));         // cut to the texture
        EXPECT_FALSE(texture->setPixel(4, 0, Color(0, 0, 0)));
        std::unique_ptr<Image> shot = drawScaled(texture);
        const char* expected[4] = {"bwgg", "rwgg", "rwrr", "rwry"};
        for (int y = 0; y < 4; ++y)
        {
            EXPECT_EQ(expected[y], row(*shot, 4, y * 8 + 4, 4, 8)) << y;
        }
        if (type == Texture::Type::MANAGED)
        {
            EXPECT_EQ(0, memcmp(texture->getData(), "\0\0\xFF\xFF", 4)); // the RGBA system copy
        }
        EXPECT_TRUE(texture->clear());
        EXPECT_EQ("k", row(*drawScaled(texture), 4, 4, 1));
    }
}

TEST_F(TextureTest, RefusalsTellWhy)
{
    LogCapture log;
    EXPECT_EQ(nullptr, rs->createPixelShader("missing.pso"));
    EXPECT_TRUE(log.contains("ERROR: Shader file not found: missing.pso"));
    const hstring shader = "render_test_shader.vso"; // resources are found relative to the working folder
    std::ofstream(shader.c_str()) << "bytecode";
    EXPECT_EQ(nullptr, rs->createVertexShader(shader));
    EXPECT_EQ(nullptr, rs->createPixelShader(shader));
    unlink(shader.c_str());
    EXPECT_TRUE(log.contains("ERROR: Failed to create vertex shader!"));
    EXPECT_TRUE(log.contains("ERROR: Failed to create pixel shader!"));

    EXPECT_EQ(nullptr, rs->createTexture(nullptr, 0, 4));
    EXPECT_TRUE(log.contains("ERROR: Cannot create texture with dimentions 0,4!"));
    // Larger than the device holds: refused before the system copy's size overflows.
    for (auto [width, height] : {std::make_pair(4, 0), std::make_pair(-4, 4), std::make_pair(40000, 40000)})
    {
        EXPECT_EQ(nullptr, rs->createTexture(width, height, Color()));
        EXPECT_TRUE(
            log.contains(formatString("ERROR: Cannot create texture with dimensions %d,%d!", width, height)));
    }
    EXPECT_EQ(0, (int)rs->getTextures().size());

    Texture* texture =
        rs->createTexture(2, 2, Color(10, 20, 30), Image::FORMAT_RGBA, Texture::Type::IMMUTABLE);
    ASSERT_NE(nullptr, texture);
    unsigned char pixel[4] = {1, 2, 3, 4};
    EXPECT_FALSE(texture->write(0, 0, 1, 1, 0, 0, pixel, 1, 1, Image::FORMAT_RGBA));
    EXPECT_FALSE(texture->fillRect(0, 0, 2, 2, Color()));
    EXPECT_FALSE(texture->setPixel(0, 0, Color()));
    EXPECT_FALSE(texture->clear());
    EXPECT_EQ(4, log.count("WARNING: Cannot write texture: " + texture->toString()));
    EXPECT_TRUE(texture->toString().endsWith("> (immutable)"));
}

TEST_F(TextureTest, PartialWritesKeepTheRestOfVideoMemory)
{
    // An alpha-only write into a texture without a system copy changes alpha and nothing else.
    Texture* texture =
        rs->createTexture(2, 1, Color(10, 20, 30, 255), Image::FORMAT_RGBA, Texture::Type::VOLATILE);
    const unsigned char alpha[2] = {128, 64};
    EXPECT_TRUE(texture->write(0, 0, 2, 1, 0, 0, alpha, 2, 1, Image::FORMAT_ALPHA));
    Texture::Lock lock = texture->lock(0, 0, 2, 1);
    ASSERT_FALSE(lock.failed);
    EXPECT_EQ((std::vector<unsigned char>{30, 20, 10, 128, 30, 20, 10, 64}), // B, G, R, A
              std::vector<unsigned char>(lock.data, lock.data + 8));
    texture->unlock(lock, false);
}

TEST_F(TextureTest, RowsUnlockedForLaterGoUpWhenTheTextureIsNextBound)
{
    for (Texture::Type type : {Texture::Type::MANAGED, Texture::Type::VOLATILE})
    {
        SCOPED_TRACE((int)type);
        Texture* texture = rs->createTexture(4, 4, Color(255, 0, 0), Image::FORMAT_RGBA, type);
        EXPECT_EQ("r", row(*drawScaled(texture), 4, 4, 1));
        // Two separate rows of the system copy, or straight into video memory without one.
        for (const auto& [y, color] : {std::pair<int, Color>(1, Color(0, 0, 255)), {3, Color(0, 255, 0)}})
        {
            Texture::Lock lock = texture->lock(1, y, 2, 1);
            ASSERT_FALSE(lock.failed);
            const unsigned char pixels[8] = {color.r, color.g, color.b, 255, color.r, color.g, color.b, 255};
            ASSERT_TRUE(Image::write(0, 0, 2, 1, lock.dx, lock.dy, pixels, 2, 1, Image::FORMAT_RGBA,
                                     lock.data, lock.dataWidth, lock.dataHeight, lock.format));
            EXPECT_TRUE(texture->unlockLater(lock));
        }
        EXPECT_EQ(type == Texture::Type::MANAGED, texture->hasPendingRows());
        std::unique_ptr<Image> shot = drawScaled(texture);
        EXPECT_FALSE(texture->hasPendingRows());
        const char* expected[4] = {"rrrr", "rbbr", "rrrr", "rggr"};
        for (int y = 0; y < 4; ++y)
        {
            EXPECT_EQ(expected[y], row(*shot, 4, y * 8 + 4, 4, 8)) << y;
        }
        delete texture;
    }
}

TEST_F(TextureTest, FiltersAndAddressModes)
{
    const unsigned char pixels[2 * 4] = {0, 0, 0, 255, 255, 255, 255, 255}; // black, white
    Texture* texture = rs->createTexture(pixels, 2, 1, Image::FORMAT_RGBA);
    const BlendMode overwrite = BlendMode::OVERWRITE;
    // Eight samples across; twice across, wrapping repeats the pair and clamping stretches the last texel.
    EXPECT_EQ("kkkkwwww", row(*drawScaled(texture), 2, 4, 8, 4));
    texture->setAddressMode(Texture::AddressMode::WRAP);
    EXPECT_EQ("kkwwkkww", row(*drawScaled(texture, overwrite, Texture::Filter::NEAREST, 2), 2, 4, 8, 4));
    texture->setAddressMode(Texture::AddressMode::CLAMP);
    EXPECT_EQ("kkwwwwww", row(*drawScaled(texture, overwrite, Texture::Filter::NEAREST, 2), 2, 4, 8, 4));
    std::unique_ptr<Image> shot = drawScaled(texture, overwrite, Texture::Filter::LINEAR);
    EXPECT_EQ("kw", row(*shot, 0, 4, 2, 31)); // clamped at the edges
    EXPECT_TRUE(near(pixelAt(*shot, 16, 4), 0x808080FFu, 12));
    // The render system's own filter follows the bound texture, and is applied to it when set directly.
    drawScaled(texture);
    rs->setTextureFilter(Texture::Filter::LINEAR);
    rs->drawTexturedRect(Rectangle(0, 0, 32, 32), Rectangle(0, 0, 1, 1));
    EXPECT_TRUE(near(pixelAt(*context.grab(), 16, 4), 0x808080FFu, 12));
}

TEST_F(TextureTest, RenderTargetIsDrawnUprightAndCanBeDeletedWhileBound)
{
    Texture* target =
        rs->createTexture(32, 32, Color(0, 0, 0, 0), Image::FORMAT_RGBA, Texture::Type::RENDER_TARGET);
    ASSERT_NE(nullptr, target);
    rs->setRenderTarget(target);
    rs->setOrthoProjection(kavtypes::Vector2(32, 32));
    rs->drawFilledRect(Rectangle(0, 0, 16, 8), Color(255, 0, 0)); // a red band at the top left
    rs->drawRect(Rectangle(20, 20, 8, 8), Color(0, 255, 0));
    rs->setRenderTarget(nullptr);
    rs->setOrthoProjection(kavtypes::Vector2(64, 64));
    std::unique_ptr<Image> shot = drawScaled(target);
    EXPECT_EQ("rrk", row(*shot, 0, 0, 3, 15));
    EXPECT_EQ("rkk", at(*shot, {{15, 7}, {16, 7}, {0, 8}}));
    EXPECT_EQ("gkg", at(*shot, {{20, 20}, {24, 24}, {28, 28}}));
    // Deleted while bound as texture and target, it leaves the back buffer and plain white drawing.
    rs->setRenderTarget(target);
    delete target;
    EXPECT_EQ(nullptr, rs->getRenderTarget());
    rs->clear(true, false);
    rs->drawFilledRect(Rectangle(0, 0, 4, 4), Color(255, 0, 0));
    rs->drawTexturedRect(Rectangle(8, 0, 4, 4), Rectangle(0, 0, 1, 1));
    EXPECT_EQ("rw", row(*context.grab(), 1, 1, 2, 8));
    EXPECT_EQ(0, (int)rs->getTextures().size());
}

TEST_F(TextureTest, NativeFormatsSampleAsStored)
{
    // RGBX keeps no alpha: its unused byte of 0 still samples as opaque.
    const unsigned char rgbx[4] = {10, 200, 30, 0};
    Texture* opaque = rs->createTexture(rgbx, 1, 1, Image::FORMAT_RGBX, Texture::Type::VOLATILE);
    ASSERT_NE(nullptr, opaque);
    EXPECT_EQ(Image::FORMAT_BGRX, opaque->getFormat());
    EXPECT_EQ(0x0AC81EFFu, pixelAt(*drawScaled(opaque, BlendMode::DEFAULT), 4, 4));
    EXPECT_EQ(Image::FORMAT_BGRA, rs->getNativeTextureFormat(Image::FORMAT_ABGR));
    // An alpha map shows the (white) vertex colour where it is set.
    const unsigned char mask[2] = {255, 0};
    rs->setTextureColorMode(ColorMode::ALPHA_MAP);
    EXPECT_EQ("wk", row(*drawScaled(rs->createTexture(mask, 2, 1, Image::FORMAT_ALPHA), BlendMode::DEFAULT),
                        4, 4, 2, 16));
}

TEST_F(TextureTest, FirstContentsArriveWholeInEveryTypeAndLayout)
{
    // Two texels, drawn 16 pixels wide each: blended over black, which shows their alpha, or as stored.
    auto texels = [this](Texture* texture, BlendMode blend = BlendMode::DEFAULT)
    {
        std::unique_ptr<Image> shot = drawScaled(texture, blend);
        return std::make_pair(pixelAt(*shot, 8, 8), pixelAt(*shot, 24, 8));
    };
    const unsigned char rgba[8] = {200, 100, 50, 128, 50, 100, 200, 255};
    const unsigned char rgb[6] = {200, 100, 50, 50, 100, 200};
    const unsigned char argb[8] = {128, 200, 100, 50, 255, 50, 100, 200}; // no layout GL takes as it is
    const unsigned int half = 0x643219FF, opaque = 0xC86432FF, second = 0x3264C8FF;
    const struct
    {
        const unsigned char* pixels;
        Image::Format format;
        unsigned int first;
    } sources[] = {
        {rgba, Image::FORMAT_RGBA, half}, {rgb, Image::FORMAT_RGB, opaque}, {argb, Image::FORMAT_ARGB, half}};
    for (Texture::Type type : {Texture::Type::MANAGED, Texture::Type::IMMUTABLE, Texture::Type::VOLATILE,
                               Texture::Type::RENDER_TARGET})
    {
        SCOPED_TRACE((int)type);
        for (const auto& source : sources)
        {
            SCOPED_TRACE(source.format);
            Texture* texture = rs->createTexture(source.pixels, 2, 1, source.format, type);
            ASSERT_NE(nullptr, texture);
            const auto [first, last] = texels(texture);
            EXPECT_TRUE(near(first, source.first));
            EXPECT_TRUE(near(last, second));
            delete texture;
        }
        Texture* filled = rs->createTexture(2, 1, Color(200, 100, 50, 128), Image::FORMAT_ARGB, type);
        ASSERT_NE(nullptr, filled);
        EXPECT_TRUE(near(texels(filled).second, half));
        // Without pixels the storage holds zeros, also when a texture without a copy comes back.
        Texture* empty = rs->createTexture(nullptr, 2, 1, Image::FORMAT_RGBA, type);
        ASSERT_NE(nullptr, empty);
        EXPECT_EQ(std::make_pair(0x000000FFu, 0x000000FFu), texels(empty, BlendMode::OVERWRITE));
        if (type == Texture::Type::VOLATILE || type == Texture::Type::RENDER_TARGET)
        {
            filled->unload();
            ASSERT_TRUE(filled->load());
            EXPECT_EQ(std::make_pair(0x000000FFu, 0x000000FFu), texels(filled, BlendMode::OVERWRITE));
        }
        delete filled;
        delete empty;
    }
    // A file's pixels, kept or not, show the same.
    Texture* immutable = rs->createTextureFromFile(dataDir + "quad.png", Texture::Type::IMMUTABLE, true);
    Texture* managed = rs->createTextureFromFile(dataDir + "quad.png", Texture::Type::MANAGED, true);
    ASSERT_TRUE(immutable != nullptr && managed != nullptr);
    EXPECT_EQ(at(*drawScaled(managed), {{1, 1}, {1, 17}, {30, 30}}),
              at(*drawScaled(immutable), {{1, 1}, {1, 17}, {30, 30}}));
    EXPECT_EQ(0x283CD2FFu, pixelAt(*drawScaled(immutable), 1, 17));
}
