
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TAGS_H
#include <gtest/gtest.h>

#include <quortypes/exception.h>
#include <quortypes_testing/LogCapture.h>
#include <tesra/Texture.h>
#include <tesra/tesra.h>
#include <tesra_testing/KeepLoadedLibraries.h>
#include <fintu/Renderer.h>
#include <fintu/fintu.h>
#include <fintuttf/FontTtf.h>
#include <fintuttf/fintuttf.h>

namespace
{
    /// A font that counts the characters offered to it.
    struct CountingFont : fintuttf::FontTtf
    {
        using fintuttf::FontTtf::FontTtf;
        bool hasChar(unsigned int code) override { return ++calls, fintuttf::FontTtf::hasChar(code); }
        int calls = 0;
    };

    /// A renderer whose render sequences are read after laying out a text.
    struct Inspecting : fintu::Renderer
    {
        using fintu::Renderer::borderSequences;
        using fintu::Renderer::textSequences;
        void layout(const hstring& fontName, const hstring& text)
        {
            harray<fintu::FormatTag> tags;
            hstring plain = prepareFormattedText(fontName, text, tags);
            kavtypes::Rectangle rect(10, 10, 100000, 2000);
            createRenderSequences(rect, createRenderLines(rect, plain, tags, fintu::LEFT, fintu::TOP), tags);
        }
    };

    const kavtypes::Rectangle screen(0, 0, 320, 100);

    /// A window with an OpenGL context on the headless display, the text renderer, FreeType and the log.
    class TrueType : public ::testing::Test
    {
    protected:
        typedef quortypes_testing::TagLogCapture<harray<hstring>> LogCapture;
        std::optional<LogCapture> log;

        void SetUp() override
        {
            tesra::init();
            tesra::createRenderSystem();
            tesra::createWindow(320, 240, false, "text");
            tesra_testing::keepLoadedLibraries();
            fintu::init();
            fintuttf::init();
            this->log.emplace("");
        }
        void TearDown() override
        {
            this->log.reset();
            fintu::destroy();
            fintuttf::destroy();
            tesra::destroy();
        }
        /// Logged lines starting with `text`.
        static int countLogged(const hstring& text)
        {
            return (int)std::count_if(LogCapture::lines.begin(), LogCapture::lines.end(),
                                      [&](const hstring& line) { return line.startsWith(text); });
        }
        /// A font over DejaVu Sans ("Book" is its regular style).
        static CountingFont* makeFont(const hstring& name, float height, bool ascii = false)
        {
            return new CountingFont(fintuttf::getSystemFontFilename("DejaVu Sans Book"), name, height, 1.0f,
                                    0.0f, ascii);
        }
        /// Draws a text with the font "Sans" at the top left of a cleared screen.
        static void draw(const hstring& text, tesra::Color color = tesra::Color())
        {
            tesra::rendersys->clear();
            fintu::renderer->drawText("Sans", screen, text, fintu::LEFT, fintu::TOP, color);
        }
        /// The brightest value of one channel (0 red, 1 green, 2 blue) in the screen's columns from `left`.
        static int brightest(int channel, int left = 0, int right = 320)
        {
            std::unique_ptr<tesra::Image> shot(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA));
            int result = 0;
            for (int i = 0; i < shot->width * shot->height; ++i)
            {
                bool inside = i % shot->width >= left && i % shot->width < right;
                result = std::max(result, inside ? shot->data[(size_t)i * 4 + channel] : 0);
            }
            return result;
        }
    };
} // namespace

TEST_F(TrueType, LibraryAndSystemFonts)
{
    fintuttf::destroy();
    // before init: the font table stays unfilled for later, and a font made from memory frees its copy
    EXPECT_THROW(fintuttf::getSystemFonts(), quortypes::exception);
    const harray<unsigned char> garbage(4096, 'x');
    EXPECT_THROW(fintuttf::FontTtf(garbage.data(), 4096, "Early", 20, 1, 0, 0), quortypes::exception);
    fintuttf::init();
    // a font made without a file takes the installed one of its name; its descender comes from the face
    fintuttf::FontTtf bold("", "DejaVu Sans Bold", 20.0f, 1.0f, 0.0f);
    EXPECT_TRUE(bold.isLoaded());
    EXPECT_NEAR(bold.getDescender(), 5.0f, 4.0f);
    // a family name alone finds its regular face, here one whose style is "Book"
    EXPECT_EQ(fintuttf::getSystemFontFilename("DejaVu Sans"),
              fintuttf::getSystemFontFilename("DejaVu Sans Book"));
    fintuttf::FontTtf regular("", "DejaVu Sans", 20.0f, 1.0f, 0.0f);
    EXPECT_TRUE(regular.isLoaded());
    EXPECT_TRUE(regular.hasChar('A'));
    // unknown names stay unloaded with a warning; missing files and garbage are reported
    EXPECT_FALSE(fintuttf::FontTtf("", "No Such Font Family", 20.0f, 1.0f, 0.0f).isLoaded());
    EXPECT_EQ(countLogged("WARNING: Could not find system font: No Such Font Family"), 1);
    EXPECT_FALSE(fintuttf::FontTtf("missing-font.ttf", "Missing", 20.0f, 1.0f, 0.0f).isLoaded());
    EXPECT_EQ(countLogged("ERROR: Could not find: missing-font.ttf"), 1);
    EXPECT_FALSE(fintuttf::FontTtf(garbage.data(), 4096, "Broken", 20, 1, 0, 0).isLoaded());
    EXPECT_EQ(countLogged("ERROR: Format not supported in: "), 1);
}

TEST_F(TrueType, GlyphPackingAndClippedQuads)
{
    std::unique_ptr<fintuttf::FontTtf> font(makeFont("Sans", 32.0f, true));
    // the printable ASCII range is ready at once, packed left to right
    const fintu::CharacterMap& chars = font->getCharacters();
    ASSERT_TRUE(chars.count('A') == 1 && chars.count('~') == 1);
    const fintu::CharacterDefinition a = chars.at('A');
    EXPECT_GE(chars.at('B').x, a.x + a.w);
    // a no-break space is drawn with the space's glyph; a character the face lacks stays undefined
    EXPECT_TRUE(font->hasChar(0xA0));
    EXPECT_FLOAT_EQ(chars.at(0xA0).advance, chars.at(' ').advance);
    EXPECT_FALSE(font->hasChar(0x10FFFD));
    // a quad clipped at the right and top keeps the matching part of its cell
    const float t = 1.0f / 1024.0f;
    auto quad = font->makeRenderRectangle(screen, kavtypes::Rectangle(300, -10, 40, 40), 'A');
    EXPECT_EQ(quad.dest, kavtypes::Rectangle(300, 0, 20, 30));
    EXPECT_EQ(quad.src, kavtypes::Rectangle(a.x * t, (a.y + a.h / 4) * t, a.w / 2 * t, a.h * 0.75f * t));
}

TEST_F(TrueType, ColoursAndAlpha)
{
    CountingFont* font = makeFont("Sans", 32.0f);
    fintu::renderer->registerFont(font);
    const hstring text = "Hello [c:red]World[/c]";
    draw(text, tesra::Color(0, 0, 255));
    // drawn in blue, so that the red word has no blue and the blue one no red
    const int second = (int)fintu::renderer->getTextWidth("Sans", "Hello ");
    EXPECT_EQ(brightest(0, 0, second), 0);
    EXPECT_GT(brightest(2, 0, second), 100);
    EXPECT_GT(brightest(0, second), 100);
    EXPECT_EQ(brightest(2, second), 0);
    // drawn again with only the alpha changing it is not laid out again; fully transparent it draws nothing
    const int offered = font->calls;
    for (int alpha = 240; alpha >= 0; alpha -= 15)
    {
        draw(text, tesra::Color(0, 0, 255, alpha));
    }
    EXPECT_EQ(font->calls, offered);
    EXPECT_EQ(brightest(0) + brightest(2), 0);
    // shadow and border alpha follow the drawing alpha: a full block's inner pixels show it over black
    const hstring block = hstring::fromUnicode(0x2588);
    const tesra::Color drawing(255, 255, 255, 200);
    fintu::renderer->setShadowOffset(kavtypes::Vector2(60, 0));
    fintu::renderer->setBorderOffset(50.0f);
    draw("[s:FF000080][c:0000FF]" + block, drawing);
    // shadow: 128 x 200 / 255 = 100; text: the drawing alpha, whatever its own colour's
    EXPECT_NEAR(brightest(0), 100, 2);
    EXPECT_NEAR(brightest(2), 200, 2);
    draw("[b:00FF00][c:0000FF80]" + block, drawing);
    // border: 255 x (200 / 255) x (200 / 255) = 156.9, truncated
    EXPECT_NEAR(brightest(1), 156, 2);
    EXPECT_NEAR(brightest(2), 200, 2);
}

TEST_F(TrueType, BorderDrawsNineQuadsPerGlyph)
{
    Inspecting renderer;
    renderer.registerFont(makeFont("Sans", 24.0f));
    renderer.setBorderOffset(2.0f);
    renderer.layout("Sans", "[b]ab[/b] [s]c");
    ASSERT_TRUE(renderer.textSequences.size() == 1 && renderer.borderSequences.size() == 1);
    const harray<tesra::TexturedVertex>& text = renderer.textSequences[0].vertices;
    const harray<tesra::TexturedVertex>& border = renderer.borderSequences[0].vertices;
    EXPECT_EQ(text.size(), 4 * 6);       // the space has an empty cell of its own
    EXPECT_EQ(border.size(), 2 * 8 * 6); // with the glyph itself nine quads for "a" and "b"
    // the eight copies in order: the four diagonals, then up, left, right, down; and the six vertices of a
    // quad as two triangles: top-left, top-right, bottom-left, top-right, bottom-right, bottom-left
    const float offsets[8][2] = {{-2, -2}, {2, -2}, {-2, 2}, {2, 2}, {0, -2}, {-2, 0}, {2, 0}, {0, 2}};
    const int right[8] = {0, 1, 0, 1, 1, 0}, bottom[8] = {0, 0, 1, 0, 1, 1};
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_FLOAT_EQ(border[i * 6].x, text[0].x + offsets[i][0]) << i;
        EXPECT_FLOAT_EQ(border[i * 6].y, text[0].y + offsets[i][1]) << i;
        EXPECT_TRUE(i >= 6 || (text[i].x == text[right[i]].x && text[i].y == text[2 * bottom[i]].y)) << i;
    }
}

TEST_F(TrueType, SecondAtlasAndOversizedGlyph)
{
    // a large font fills its first atlas and opens a second; one colour on both draws as two sequences
    Inspecting renderer;
    renderer.registerFont(makeFont("Big", 260.0f));
    renderer.layout("Big", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");
    fintu::Font* big = renderer.getFont("Big");
    ASSERT_GE(big->getTextures().size(), 2);
    EXPECT_EQ(renderer.textSequences.size(), big->getTextures().size());
    for (const auto& [code, c] : big->getCharacters())
    {
        EXPECT_LE(std::max(c.x + c.w, c.y + c.h), 1024.0f) << code;
    }
    // a glyph taller than an atlas is refused at every lookup and leaves the pen where it was
    std::unique_ptr<fintuttf::FontTtf> huge(makeFont("Huge", 1150.0f));
    EXPECT_FALSE(huge->hasChar('g'));
    EXPECT_EQ(huge->getTexture('g'), nullptr);
    EXPECT_EQ(countLogged("WARNING: Font 'Huge': character 0x67 ("), 2);
    ASSERT_TRUE(huge->hasChar('.'));
    EXPECT_LE(huge->getCharacters().at('.').x, 400.0f);
}

TEST_F(TrueType, FailedGlyphLoadLeavesTheCharacterUndefined)
{
    // DejaVu with the contour count of "A" raised far beyond its bytes, so that FreeType refuses it
    std::ifstream file(fintuttf::getSystemFontFilename("DejaVu Sans Book").c_str(), std::ios::binary);
    harray<unsigned char> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto u32 = [&](size_t at)
    { return (size_t)data[at] << 24 | data[at + 1] << 16 | data[at + 2] << 8 | data[at + 3]; };
    // the table directory: 12-byte header, then 16-byte records of tag, checksum, offset, length
    size_t head = 0, loca = 0, glyf = 0;
    for (size_t record = 12; record < 12 + 16 * (u32(4) >> 16); record += 16)
    {
        const size_t tag = u32(record), at = u32(record + 8);
        head = (tag == TTAG_head ? at : head);
        loca = (tag == TTAG_loca ? at : loca);
        glyf = (tag == TTAG_glyf ? at : glyf);
    }
    std::unique_ptr<fintuttf::FontTtf> intact(makeFont("Intact", 32.0f));
    const size_t index = FT_Get_Char_Index(fintuttf::getFace(intact.get()), 'A');
    // the head table's last field but one tells long glyph offsets from short ones
    size_t offset = glyf + (data[head + 51] != 0 ? u32(loca + 4 * index) : (u32(loca + 2 * index) >> 16) * 2);
    data[offset] = data[offset + 1] = 0x7F;

    fintuttf::FontTtf font(data.data(), data.size(), "Damaged", 32.0f, 1.0f, 0.0f, 8.0f);
    ASSERT_TRUE(font.hasChar('B'));
    EXPECT_FALSE(font.hasChar('A'));
    EXPECT_EQ(countLogged("ERROR: Could not load glyph from: "), 1);
    ASSERT_TRUE(font.hasChar('C')); // packing goes on where "B" ended
    EXPECT_GE(font.getCharacters().at('C').x,
              font.getCharacters().at('B').x + font.getCharacters().at('B').w);
}

TEST_F(TrueType, LostAtlasClearsCachesBeforeRebuilding)
{
    fintuttf::FontTtf* font = makeFont("Sans", 24.0f);
    fintu::renderer->registerFont(font);
    draw("first");
    draw("second");
    font->getTextures()[0]->texture->unload();
    // a new text meets the lost atlas first: the font rebuilds, and cached texts must not keep the old one
    draw("third");
    EXPECT_EQ(countLogged("Clearing 2 text cache entries..."), 1);
    draw("first");
    EXPECT_GT(brightest(0), 200);
}
