#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <algorithm>
#include <fstream>
#include <iterator>

#include <tesra/Texture.h>

#include "TtfSupport.h"

using ttftest::LogCapture;

namespace
{
    class Glyphs : public ttftest::TtfTest
    {
    };

    class CountingFont : public fintuttf::FontTtf
    {
    public:
        using fintuttf::FontTtf::FontTtf;
        bool hasChar(unsigned int code) override
        {
            ++calls;
            return fintuttf::FontTtf::hasChar(code);
        }
        int calls = 0;
    };
} // namespace

TEST_F(Glyphs, MetricsAndPacking)
{
    fintuttf::FontTtf* font = makeFont("Sans", 32.0f, true);
    // the printable ASCII range is ready at once, packed left to right with a 2-pixel border
    EXPECT_TRUE(font->getCharacters().count('A') == 1);
    EXPECT_TRUE(font->getCharacters().count(0x7E) == 1);
    ASSERT_EQ(font->getTextures().size(), 1);
    ASSERT_NE(font->getTextures()[0]->texture, nullptr);
    EXPECT_EQ(font->getTextures()[0]->texture->getFormat(), tesra::Image::FORMAT_ALPHA);
    const fintu::CharacterDefinition& a = font->getCharacters().at('A');
    const fintu::CharacterDefinition& b = font->getCharacters().at('B');
    EXPECT_GT(a.advance, 15.0f);
    EXPECT_LT(a.advance, 30.0f);
    EXPECT_GE(b.x, a.x + a.w);
    // a no-break space is drawn with the space's glyph
    EXPECT_TRUE(font->hasChar(0xA0));
    EXPECT_FLOAT_EQ(font->getCharacters().at(0xA0).advance, font->getCharacters().at(' ').advance);
    // a character the face lacks stays undefined
    EXPECT_FALSE(font->hasChar(0x10FFFD));
    EXPECT_EQ(font->getTexture(0x10FFFD), nullptr);
    EXPECT_EQ(font->getTexture('A'), font->getTextures()[0]->texture);
    delete font;
}

TEST_F(Glyphs, RedOnlyInTheSecondWord)
{
    fintu::renderer->registerFont(makeFont("Sans", 32.0f));
    tesra::RenderSystem* rs = tesra::rendersys;
    rs->clear();
    fintu::renderer->drawText("Sans", kavtypes::Rectangle(0, 0, 320, 100), "Hello [c:red]World[/c]",
                              fintu::LEFT, fintu::TOP);
    std::unique_ptr<tesra::Image> shot(rs->takeScreenshot(tesra::Image::FORMAT_RGBA));
    ASSERT_NE(shot, nullptr);
    float secondWord = fintu::renderer->getTextWidth("Sans", "Hello ");
    int red = 0, white = 0, redOutside = 0, whiteInside = 0;
    for (int y = 0; y < shot->height; ++y)
    {
        for (int x = 0; x < shot->width; ++x)
        {
            const unsigned char* p = shot->data + ((size_t)y * shot->width + x) * 4;
            bool isRed = p[0] > 100 && p[1] < 30 && p[2] < 30;
            bool isWhite = p[0] > 100 && p[1] > 100 && p[2] > 100;
            red += isRed;
            white += isWhite;
            redOutside += (isRed && x < secondWord);
            whiteInside += (isWhite && x >= secondWord);
        }
    }
    EXPECT_GT(red, 50);
    EXPECT_GT(white, 50);
    EXPECT_EQ(redOutside, 0);
    EXPECT_EQ(whiteInside, 0);
}

namespace
{
    class Inspecting : public fintu::Renderer
    {
    public:
        using fintu::Renderer::borderSequences;
        using fintu::Renderer::shadowSequences;
        using fintu::Renderer::textSequences;
    };
} // namespace

TEST_F(Glyphs, BorderDrawsNineQuadsPerGlyph)
{
    Inspecting renderer;
    renderer.registerFont(makeFont("Sans", 24.0f));
    renderer.setBorderOffset(2.0f);
    harray<fintu::FormatTag> tags;
    hstring plain = renderer.prepareFormattedText("Sans", "[b]ab[/b] [s]c", tags);
    kavtypes::Rectangle rect(10, 10, 300, 100);
    renderer.createRenderSequences(
        rect, renderer.createRenderLines(rect, plain, tags, fintu::LEFT, fintu::TOP), tags);
    ASSERT_EQ(renderer.textSequences.size(), 1);
    ASSERT_EQ(renderer.borderSequences.size(), 1);
    ASSERT_EQ(renderer.shadowSequences.size(), 1);
    const harray<tesra::TexturedVertex>& text = renderer.textSequences[0].vertices;
    const harray<tesra::TexturedVertex>& border = renderer.borderSequences[0].vertices;
    EXPECT_EQ(text.size(), 4 * 6);       // the space has an empty cell of its own
    EXPECT_EQ(border.size(), 2 * 8 * 6); // with the glyph itself nine quads for "a" and "b"
    EXPECT_EQ(renderer.shadowSequences[0].vertices.size(), 6);
    // the eight copies in order: the four diagonals, then up, left, right, down
    const float offsets[8][2] = {{-2, -2}, {2, -2}, {-2, 2}, {2, 2}, {0, -2}, {-2, 0}, {2, 0}, {0, 2}};
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_FLOAT_EQ(border[i * 6].x, text[0].x + offsets[i][0]) << i;
        EXPECT_FLOAT_EQ(border[i * 6].y, text[0].y + offsets[i][1]) << i;
        EXPECT_FLOAT_EQ(border[i * 6].u, text[0].u) << i;
    }
    // the shadow of "c" follows the renderer's offset
    const harray<tesra::TexturedVertex>& shadow = renderer.shadowSequences[0].vertices;
    EXPECT_FLOAT_EQ(shadow[0].x, text[18].x + 1.0f);
    EXPECT_FLOAT_EQ(shadow[0].y, text[18].y + 1.0f);
    // a quad is two triangles: top-left, top-right, bottom-left, top-right, bottom-right, bottom-left
    EXPECT_FLOAT_EQ(text[1].y, text[0].y);
    EXPECT_FLOAT_EQ(text[2].x, text[0].x);
    EXPECT_FLOAT_EQ(text[3].x, text[1].x);
    EXPECT_FLOAT_EQ(text[4].x, text[1].x);
    EXPECT_FLOAT_EQ(text[4].y, text[2].y);
    EXPECT_FLOAT_EQ(text[5].y, text[2].y);
}

TEST_F(Glyphs, FadingTextIsLaidOutOnce)
{
    hstring file = fintuttf::getSystemFontFilename(ttftest::dejaVuName());
    CountingFont* font = new CountingFont(file, "Sans", 24.0f, 1.0f, 0.0f, false);
    fintu::renderer->registerFont(font);
    kavtypes::Rectangle rect(0, 0, 320, 100);
    for (int alpha = 255; alpha >= 0; alpha -= 15)
    {
        fintu::renderer->drawText("Sans", rect, "Fade out", fintu::LEFT, fintu::TOP,
                                  tesra::Color(255, 255, 255, (unsigned char)alpha));
    }
    EXPECT_EQ(font->calls, 8); // one layout offers each character once
    EXPECT_EQ(fintu::renderer->getTextCache().size(), 1);
    // a fully transparent colour draws nothing
    tesra::rendersys->clear();
    fintu::renderer->drawText("Sans", rect, "Fade out", fintu::LEFT, fintu::TOP,
                              tesra::Color(255, 255, 255, 0));
    std::unique_ptr<tesra::Image> shot(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA));
    int lit = 0;
    for (int i = 0; i < shot->width * shot->height; ++i)
    {
        lit += shot->data[i * 4] > 0;
    }
    EXPECT_EQ(lit, 0);
}

TEST_F(Glyphs, FullAtlasOpensASecond)
{
    fintuttf::FontTtf* font = makeFont("Big", 260.0f);
    fintu::renderer->registerFont(font);
    hstring text = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int i = 0; i < text.size(); ++i)
    {
        EXPECT_TRUE(font->hasChar(text[i]));
    }
    ASSERT_GE(font->getTextures().size(), 2);
    for (const fintu::FontTexture* atlas : font->getTextures())
    {
        for (unsigned int code : atlas->characters)
        {
            const fintu::CharacterDefinition& c = font->getCharacters().at(code);
            EXPECT_LE(c.x + c.w, 1024.0f);
            EXPECT_LE(c.y + c.h, 1024.0f);
        }
    }
    // the same colour on two atlases draws as two sequences
    Inspecting renderer;
    renderer.registerFont(makeFont("Big", 260.0f));
    fintu::Font* big = renderer.getFont("Big");
    harray<fintu::FormatTag> bigTags = renderer.makeDefaultTags("Big");
    kavtypes::Rectangle rect(0, 0, 100000, 2000);
    renderer.createRenderSequences(
        rect, renderer.createRenderLines(rect, text, bigTags, fintu::LEFT, fintu::TOP), bigTags);
    EXPECT_EQ(renderer.textSequences.size(), big->getTextures().size());
}

TEST_F(Glyphs, OversizedGlyphIsRefused)
{
    LogCapture log;
    fintuttf::FontTtf* font = makeFont("Huge", 1500.0f);
    EXPECT_FALSE(font->hasChar('W'));
    EXPECT_EQ(log.countStarting("WARNING: Font 'Huge': character 0x57 ("), 1);
    EXPECT_EQ(font->getTexture('W'), nullptr); // every lookup tries again, and is refused again
    // the pen did not move: the next glyph that fits starts the atlas
    if (font->hasChar('.'))
    {
        const fintu::CharacterDefinition& dot = font->getCharacters().at('.');
        EXPECT_LE(dot.x, 400.0f);
        EXPECT_EQ(dot.y, 0.0f);
    }
    delete font;
}

namespace
{
    // DejaVu with the outline of one glyph damaged so that FreeType refuses to load it.
    harray<unsigned char> damagedFont(unsigned int code, FT_UInt& index)
    {
        std::ifstream file(fintuttf::getSystemFontFilename(ttftest::dejaVuName()).c_str(), std::ios::binary);
        harray<unsigned char> data;
        data.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        FT_Face face = nullptr;
        EXPECT_EQ(FT_New_Memory_Face(fintuttf::getLibrary(), data.data(), data.size(), 0, &face), 0);
        index = FT_Get_Char_Index(face, code);
        TT_Header* head = (TT_Header*)FT_Get_Sfnt_Table(face, FT_SFNT_HEAD);
        bool longOffsets = head->Index_To_Loc_Format != 0;
        FT_ULong locaSize = 0, glyfSize = 0;
        FT_Load_Sfnt_Table(face, TTAG_loca, 0, nullptr, &locaSize);
        FT_Load_Sfnt_Table(face, TTAG_glyf, 0, nullptr, &glyfSize);
        FT_Done_Face(face);
        // the table directory: 12-byte header, then 16-byte records of tag, checksum, offset, length
        auto u32 = [&](size_t at)
        { return (unsigned int)data[at] << 24 | data[at + 1] << 16 | data[at + 2] << 8 | data[at + 3]; };
        auto u16 = [&](size_t at) { return (unsigned int)data[at] << 8 | data[at + 1]; };
        size_t loca = 0, glyf = 0;
        for (unsigned int i = 0, n = u16(4); i < n; ++i)
        {
            size_t record = 12 + 16 * i;
            if (u32(record) == TTAG_loca)
            {
                loca = u32(record + 8);
            }
            if (u32(record) == TTAG_glyf)
            {
                glyf = u32(record + 8);
            }
        }
        size_t offset = longOffsets ? u32(loca + 4 * index) : 2 * u16(loca + 2 * index);
        size_t next = longOffsets ? u32(loca + 4 * index + 4) : 2 * u16(loca + 2 * index + 2);
        // a contour count far beyond the glyph's bytes
        data[glyf + offset] = 0x7F;
        data[glyf + offset + 1] = 0xFF;
        EXPECT_GT(next, offset);
        return data;
    }
} // namespace

TEST_F(Glyphs, FailedGlyphLoadLeavesTheCharacterUndefined)
{
    FT_UInt index = 0;
    harray<unsigned char> data = damagedFont('A', index);
    ASSERT_NE(index, 0u);
    LogCapture log;
    fintuttf::FontTtf font(data.data(), data.size(), "Damaged", 32.0f, 1.0f, 0.0f, 8.0f);
    ASSERT_TRUE(font.isLoaded());
    EXPECT_TRUE(font.hasChar('B'));
    fintu::CharacterDefinition b = font.getCharacters().at('B');
    EXPECT_FALSE(font.hasChar('A'));
    EXPECT_EQ(log.count("ERROR: Could not load glyph from: "), 1);
    EXPECT_EQ(font.getTexture('A'), nullptr);
    // packing goes on where "B" ended
    EXPECT_TRUE(font.hasChar('C'));
    EXPECT_GE(font.getCharacters().at('C').x, b.x + b.w);
}

TEST_F(Glyphs, LostAtlasClearsCachesBeforeRebuilding)
{
    fintuttf::FontTtf* font = makeFont("Sans", 24.0f);
    fintu::renderer->registerFont(font);
    kavtypes::Rectangle rect(0, 0, 320, 100);
    fintu::renderer->drawText("Sans", rect, "first", fintu::LEFT, fintu::TOP);
    fintu::renderer->drawText("Sans", rect, "second", fintu::LEFT, fintu::TOP);
    tesra::Texture* old = font->getTextures()[0]->texture;
    old->unload();
    LogCapture log;
    // a new text meets the lost atlas first: the font rebuilds, and the cached texts must not keep the old
    // one
    fintu::renderer->drawText("Sans", rect, "third", fintu::LEFT, fintu::TOP);
    EXPECT_EQ(log.count("Clearing 2 text cache entries..."), 1);
    EXPECT_TRUE(font->getTextures()[0]->texture->isLoaded());
    tesra::rendersys->clear();
    fintu::renderer->drawText("Sans", rect, "first", fintu::LEFT, fintu::TOP);
    std::unique_ptr<tesra::Image> shot(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA));
    int lit = 0;
    for (int i = 0; i < shot->width * shot->height; ++i)
    {
        lit += shot->data[i * 4] > 100;
    }
    EXPECT_GT(lit, 20);
}

TEST_F(Glyphs, QuadsAreClippedWithMatchingTextureCoordinates)
{
    fintuttf::FontTtf* font = makeFont("Sans", 32.0f);
    ASSERT_TRUE(font->hasChar('A'));
    const fintu::CharacterDefinition& a = font->getCharacters().at('A');
    const float t = 1.0f / 1024.0f;
    kavtypes::Rectangle area(0, 0, 100, 100);
    fintu::RenderRectangle quad = font->makeRenderRectangle(area, kavtypes::Rectangle(10, 10, 20, 40), 'A');
    EXPECT_EQ(quad.dest, kavtypes::Rectangle(10, 10, 20, 40));
    EXPECT_FLOAT_EQ(quad.src.x, a.x * t);
    EXPECT_FLOAT_EQ(quad.src.w, a.w * t);
    EXPECT_FLOAT_EQ(quad.src.h, a.h * t);
    // half past the right edge: the left half of the cell
    quad = font->makeRenderRectangle(area, kavtypes::Rectangle(90, 10, 20, 40), 'A');
    EXPECT_EQ(quad.dest, kavtypes::Rectangle(90, 10, 10, 40));
    EXPECT_FLOAT_EQ(quad.src.x, a.x * t);
    EXPECT_FLOAT_EQ(quad.src.w, a.w * 0.5f * t);
    // a quarter above the top: the lower three quarters
    quad = font->makeRenderRectangle(area, kavtypes::Rectangle(10, -10, 20, 40), 'A');
    EXPECT_EQ(quad.dest, kavtypes::Rectangle(10, 0, 20, 30));
    EXPECT_FLOAT_EQ(quad.src.y, (a.y + a.h * 0.25f) * t);
    EXPECT_FLOAT_EQ(quad.src.h, a.h * 0.75f * t);
    // outside: no source, the destination as given
    quad = font->makeRenderRectangle(area, kavtypes::Rectangle(100, 10, 20, 40), 'A');
    EXPECT_EQ(quad.src, kavtypes::Rectangle());
    EXPECT_EQ(quad.dest, kavtypes::Rectangle(100, 10, 20, 40));
    delete font;
}

namespace
{
    // The brightest value of one channel (0 red, 1 green, 2 blue) on the screen.
    int brightest(const tesra::Image& shot, int channel)
    {
        int result = 0;
        for (int i = 0; i < shot.width * shot.height; ++i)
        {
            result = std::max(result, (int)shot.data[i * 4 + channel]);
        }
        return result;
    }
} // namespace

TEST_F(Glyphs, ShadowAndBorderAlphaFollowTheDrawingAlpha)
{
    // a full block covers its whole cell, so its inner pixels show the colour's alpha over black
    const hstring block = hstring::fromUnicode(0x2588);
    fintu::renderer->registerFont(makeFont("Sans", 30.0f));
    fintu::renderer->setShadowOffset(kavtypes::Vector2(60, 0));
    kavtypes::Rectangle rect(100, 100, 200, 100);
    const tesra::Color drawing(255, 255, 255, 200);
    tesra::rendersys->clear();
    fintu::renderer->drawText("Sans", rect, "[s:FF000080][c:0000FF]" + block, fintu::LEFT, fintu::TOP,
                              drawing);
    std::unique_ptr<tesra::Image> shot(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA));
    // shadow: 128 x 200 / 255 = 100; text: the drawing alpha, whatever its own colour's
    EXPECT_NEAR(brightest(*shot, 0), 100, 2);
    EXPECT_NEAR(brightest(*shot, 2), 200, 2);

    fintu::renderer->setBorderOffset(50.0f);
    tesra::rendersys->clear();
    fintu::renderer->drawText("Sans", rect, "[b:00FF00][c:0000FF80]" + block, fintu::LEFT, fintu::TOP,
                              drawing);
    shot.reset(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA));
    // border: 255 x (200 / 255) x (200 / 255) = 156.9, truncated
    EXPECT_NEAR(brightest(*shot, 1), 156, 2);
    EXPECT_NEAR(brightest(*shot, 2), 200, 2);
}
