// Frames per second of N textured 64 x 64 quads, one draw call each, through the render system and
// through raw OpenGL client arrays on the same offscreen context.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <vector>

#include <GL/gl.h>
#include <SDL.h>

#include <tesra/RenderSystem.h>

#include "rendersystems/opengl/OpenGL_RenderSystem.h"

namespace
{
    const int screenWidth = 1024, screenHeight = 768;

    struct Scene
    {
        SDL_Window* window = nullptr;
        SDL_GLContext context = nullptr;
        tesra::OpenGL_RenderSystem* rs = nullptr;
        tesra::Texture* texture = nullptr;

        Scene()
        {
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
            SDL_InitSubSystem(SDL_INIT_VIDEO);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
            window = SDL_CreateWindow("bench", 0, 0, screenWidth, screenHeight,
                                      SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
            context = SDL_GL_CreateContext(window);
            rs = new tesra::OpenGL_RenderSystem();
            rs->create(tesra::RenderSystem::Options());
            rs->attachToSdlWindow(window, nullptr);
            std::vector<unsigned char> pixels(64 * 64 * 4);
            for (size_t i = 0; i < pixels.size(); ++i)
            {
                pixels[i] = (unsigned char)(i * 7);
            }
            texture = rs->createTexture(pixels.data(), 64, 64, tesra::Image::FORMAT_RGBA);
        }
    };

    Scene& scene()
    {
        static Scene instance;
        return instance;
    }

    float quadX(int i)
    {
        return (float)((i * 37) % (screenWidth - 64));
    }
    float quadY(int i)
    {
        return (float)((i * 53) % (screenHeight - 64));
    }

    // The frame is done when its last pixel can be read.
    void finishFrame()
    {
        unsigned char pixel[4];
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        benchmark::DoNotOptimize(pixel[0]);
    }

    void BM_RenderSystemQuads(benchmark::State& state)
    {
        Scene& s = scene();
        int count = (int)state.range(0);
        tesra::TexturedVertex quad[4];
        for (auto _ : state)
        {
            s.rs->clear(true, false);
            for (int i = 0; i < count; ++i)
            {
                float x = quadX(i), y = quadY(i);
                quad[0] = tesra::TexturedVertex(x, y, 0, 0, 0);
                quad[1] = tesra::TexturedVertex(x + 64, y, 0, 1, 0);
                quad[2] = tesra::TexturedVertex(x, y + 64, 0, 0, 1);
                quad[3] = tesra::TexturedVertex(x + 64, y + 64, 0, 1, 1);
                s.rs->setTexture(s.texture);
                s.rs->render(tesra::RenderOperation::TRIANGLE_STRIP, quad, 4);
            }
            s.rs->presentFrame();
            finishFrame();
        }
        state.counters["fps"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    }

    // Reference: the same frame as plain GL 1.1 calls, one glDrawArrays per quad.
    void BM_RawGLQuads(benchmark::State& state)
    {
        Scene& s = scene();
        s.rs->setTexture(s.texture);
        s.rs->presentFrame();
        int count = (int)state.range(0);
        float quad[4 * 5];
        for (auto _ : state)
        {
            glClear(GL_COLOR_BUFFER_BIT);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glDisableClientState(GL_COLOR_ARRAY);
            for (int i = 0; i < count; ++i)
            {
                float x = quadX(i), y = quadY(i);
                float values[20] = {x, y,      0, 0, 0, x + 64, y,      0, 1, 0,
                                    x, y + 64, 0, 0, 1, x + 64, y + 64, 0, 1, 1};
                for (int k = 0; k < 20; ++k)
                {
                    quad[k] = values[k];
                }
                glVertexPointer(3, GL_FLOAT, 20, quad);
                glTexCoordPointer(2, GL_FLOAT, 20, quad + 3);
                glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
            }
            SDL_GL_SwapWindow(s.window);
            finishFrame();
        }
        state.counters["fps"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    }

    // Reference: the whole frame as one GL draw of triangles, the floor any merging of draws could reach.
    void BM_RawGLBatchedQuads(benchmark::State& state)
    {
        Scene& s = scene();
        s.rs->setTexture(s.texture);
        s.rs->presentFrame();
        int count = (int)state.range(0);
        std::vector<float> vertices((size_t)count * 6 * 5);
        for (auto _ : state)
        {
            glClear(GL_COLOR_BUFFER_BIT);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glDisableClientState(GL_COLOR_ARRAY);
            float* out = vertices.data();
            for (int i = 0; i < count; ++i)
            {
                float x = quadX(i), y = quadY(i);
                const float corners[6][4] = {{x, y, 0, 0},      {x + 64, y, 1, 0}, {x, y + 64, 0, 1},
                                             {x + 64, y, 1, 0}, {x, y + 64, 0, 1}, {x + 64, y + 64, 1, 1}};
                for (const auto& c : corners)
                {
                    *out++ = c[0];
                    *out++ = c[1];
                    *out++ = 0;
                    *out++ = c[2];
                    *out++ = c[3];
                }
            }
            glVertexPointer(3, GL_FLOAT, 20, vertices.data());
            glTexCoordPointer(2, GL_FLOAT, 20, vertices.data() + 3);
            glDrawArrays(GL_TRIANGLES, 0, count * 6);
            SDL_GL_SwapWindow(s.window);
            finishFrame();
        }
        state.counters["fps"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    }
} // namespace

BENCHMARK(BM_RenderSystemQuads)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RawGLQuads)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RawGLBatchedQuads)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();
