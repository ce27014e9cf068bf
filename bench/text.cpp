// Text layout of a 2,000-character paragraph on a cache miss and a hit (drawn with alpha 0, so nothing
// reaches GL), with a plain sum of the same glyph advances as the floor, and the same paragraph drawn
// visibly; and glyph rasterisation on a fresh face into the atlas beside FreeType's own load-and-render
// of the same glyphs, interleaved in one run.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include <GL/gl.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <fintu/Renderer.h>
#include <fintu/fintu.h>
#include <fintuttf/FontTtf.h>
#include <fintuttf/fintuttf.h>

#include "Compare.h"
#include "rendersystems/opengl/OpenGL_RenderSystem.h"

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

    // The visible counterpart of the cache hit above: the same paragraph drawn in white, its draws sent
    // to GL every time and finished once at the end.
    void BM_DrawVisibleText(benchmark::State& state)
    {
        setUp();
        const hstring text = paragraph();
        fintu::renderer->drawText("Sans", area, text, fintu::JUSTIFIED, fintu::TOP,
                                  tesra::Color(255, 255, 255, 255));
        for (auto _ : state)
        {
            fintu::renderer->drawText("Sans", area, text, fintu::JUSTIFIED, fintu::TOP,
                                      tesra::Color(255, 255, 255, 255));
            static_cast<tesra::OpenGL_RenderSystem*>(tesra::rendersys)->flush();
        }
        glFinish();
        state.SetItemsProcessed(state.iterations() * text.size());
    }
    BENCHMARK(BM_DrawVisibleText);

    // Rasterising the printable ASCII glyphs on a fresh face: into the atlas, whose new rows go up when it
    // is bound, beside FreeType's own load and render of the same glyphs. Both faces are made (from the
    // font file in memory) and dropped outside the timing; the ratio is per glyph, ours over FreeType's.
    void BM_GlyphsBesideFreeType(benchmark::State& state)
    {
        setUp();
        const hstring file = fontFile();
        const int count = (int)strlen(printable);
        fintuttf::FontTtf* font = nullptr;
        benchcompare::Side ours{[&]
                                {
                                    for (int i = 0; i < count; ++i)
                                    {
                                        benchmark::DoNotOptimize(font->hasChar((unsigned char)printable[i]));
                                    }
                                    tesra::rendersys->setTexture(font->getTexture('A'));
                                    tesra::rendersys->setTexture(nullptr);
                                }};
        ours.prepare = [&] { font = new fintuttf::FontTtf(file, "Fresh", fontHeight, 1.0f, 0.0f, false); };
        ours.cleanup = [&] { delete font; };
        std::ifstream stream(file.c_str(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
        FT_Face face = nullptr;
        benchcompare::Side reference{
            [&]
            {
                for (int i = 0; i < count; ++i)
                {
                    FT_Load_Glyph(face, FT_Get_Char_Index(face, (unsigned char)printable[i]),
                                  FT_LOAD_DEFAULT);
                    FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL);
                    benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
                }
            }};
        reference.prepare = [&]
        {
            if (FT_New_Memory_Face(fintuttf::getLibrary(), (const FT_Byte*)bytes.data(),
                                   (FT_Long)bytes.size(), 0, &face) != 0)
            {
                fprintf(stderr, "no face from %s (%zu bytes)\n", file.c_str(), bytes.size());
                abort();
            }
            FT_Size_RequestRec request = {FT_SIZE_REQUEST_TYPE_REAL_DIM, 0, (FT_Long)fontHeight * 64, 0, 0};
            FT_Request_Size(face, &request);
        };
        reference.cleanup = [&] { FT_Done_Face(face); };
        benchcompare::compare(state, ours, reference, count, 5, 0.2);
    }
    BENCHMARK(BM_GlyphsBesideFreeType)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace
