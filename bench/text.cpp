// Text layout of a 2,000-character paragraph on a cache miss and a hit, with a plain sum of the same glyph
// advances as the floor; and glyph rasterisation per glyph into the atlas beside FreeType's own
// load-and-render of the same glyphs.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <map>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <fintu/Renderer.h>
#include <fintu/fintu.h>
#include <fintuttf/FontTtf.h>
#include <fintuttf/fintuttf.h>

namespace
{
    const float fontHeight = 24.0f;
    const char* const printable = "!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`"
                                  "abcdefghijklmnopqrstuvwxyz{|}~";

    hstring fontFile()
    {
        hstring file = fintuttf::getSystemFontFilename("DejaVu Sans");
        return file != "" ? file : fintuttf::getSystemFontFilename("DejaVu Sans Book");
    }

    // Once per process: a hidden window for the atlases, the renderer, FreeType and one registered font.
    void setUp()
    {
        static bool done = false;
        if (done)
        {
            return;
        }
        done = true;
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        tesra::init();
        tesra::createRenderSystem();
        tesra::createWindow(1024, 768, false, "text");
        fintu::init();
        fintuttf::init();
        fintu::renderer->setCacheSize(-1);
        fintu::renderer->registerFont(
            new fintuttf::FontTtf(fontFile(), "Sans", fontHeight, 1.0f, 0.0f, true));
    }

    hstring paragraph()
    {
        const hstring sentence =
            "The quick brown fox jumps over the [c:red]lazy[/c] dog near the old river bank. ";
        hstring result;
        while (result.size() < 2000)
        {
            result += sentence;
        }
        return result.subString(0, 2000);
    }

    const kavtypes::Rectangle area(0, 0, 600, 2000);

    void BM_LayoutCacheMiss(benchmark::State& state)
    {
        setUp();
        const hstring text = paragraph();
        for (auto _ : state)
        {
            fintu::renderer->clearCache();
            fintu::renderer->drawText("Sans", area, text, fintu::JUSTIFIED, fintu::TOP,
                                      tesra::Color(255, 255, 255, 0));
        }
        state.SetItemsProcessed(state.iterations() * text.size());
    }
    BENCHMARK(BM_LayoutCacheMiss);

    void BM_LayoutCacheHit(benchmark::State& state)
    {
        setUp();
        const hstring text = paragraph();
        fintu::renderer->drawText("Sans", area, text, fintu::JUSTIFIED, fintu::TOP,
                                  tesra::Color(255, 255, 255, 0));
        for (auto _ : state)
        {
            fintu::renderer->drawText("Sans", area, text, fintu::JUSTIFIED, fintu::TOP,
                                      tesra::Color(255, 255, 255, 0));
        }
        state.SetItemsProcessed(state.iterations() * text.size());
    }
    BENCHMARK(BM_LayoutCacheHit);

    // The floor of any layout: one map lookup and an addition per character.
    void BM_ReferenceAdvanceSum(benchmark::State& state)
    {
        setUp();
        const hstring text = paragraph();
        const fintu::CharacterMap characters = fintu::renderer->getFont("Sans")->getCharacters();
        for (auto _ : state)
        {
            float width = 0.0f;
            for (int i = 0, length = 1; i < text.size(); i += length)
            {
                auto it = characters.find(text.unicodeCharAt(i, &length));
                width += (it != characters.end() ? it->second.advance : 0.0f);
            }
            benchmark::DoNotOptimize(width);
        }
        state.SetItemsProcessed(state.iterations() * text.size());
    }
    BENCHMARK(BM_ReferenceAdvanceSum);

    void BM_RasteriseIntoAtlas(benchmark::State& state)
    {
        setUp();
        const hstring file = fontFile();
        const int count = (int)strlen(printable);
        for (auto _ : state)
        {
            state.PauseTiming();
            fintuttf::FontTtf* font = new fintuttf::FontTtf(file, "Fresh", fontHeight, 1.0f, 0.0f, false);
            state.ResumeTiming();
            for (int i = 0; i < count; ++i)
            {
                benchmark::DoNotOptimize(font->hasChar((unsigned char)printable[i]));
            }
            state.PauseTiming();
            delete font;
            state.ResumeTiming();
        }
        state.SetItemsProcessed(state.iterations() * count);
    }
    BENCHMARK(BM_RasteriseIntoAtlas);

    void BM_ReferenceFreeTypeLoadAndRender(benchmark::State& state)
    {
        setUp();
        const hstring file = fontFile();
        FT_Face face = nullptr;
        if (FT_New_Face(fintuttf::getLibrary(), file.c_str(), 0, &face) != 0)
        {
            state.SkipWithError("no font");
            return;
        }
        FT_Size_RequestRec request = {FT_SIZE_REQUEST_TYPE_REAL_DIM, 0, (FT_Long)fontHeight * 64, 0, 0};
        FT_Request_Size(face, &request);
        const int count = (int)strlen(printable);
        for (auto _ : state)
        {
            for (int i = 0; i < count; ++i)
            {
                FT_Load_Glyph(face, FT_Get_Char_Index(face, (unsigned char)printable[i]), FT_LOAD_DEFAULT);
                FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL);
                benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
            }
        }
        FT_Done_Face(face);
        state.SetItemsProcessed(state.iterations() * count);
    }
    BENCHMARK(BM_ReferenceFreeTypeLoadAndRender);
} // namespace
