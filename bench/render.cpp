// Frames per second of N textured 64 x 64 quads, one draw call each, through the render system and
// through raw OpenGL client arrays on the same offscreen context.
#include <benchmark/benchmark.h>

#include <stdio.h>
#include <stdlib.h>

#include <chrono>
#include <map>
#include <string>
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

    // Frames per second of our render system by quad count, for the ratio against LOVE.
    std::map<int, double>& ourFps()
    {
        static std::map<int, double> values;
        return values;
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
        auto start = std::chrono::steady_clock::now();
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
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ourFps()[count] = seconds > 0.0 ? (double)state.iterations() / seconds : 0.0;
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

    // The same scene drawn by LOVE 11.4 (bench/love) in its own process on the same kind of display,
    // measured by the game itself; skipped when LOVE is not installed.
    void BM_LoveQuads(benchmark::State& state)
    {
        int count = (int)state.range(0);
        bool batched = state.range(1) != 0;
        double fps = 0.0;
        for (auto _ : state)
        {
            std::string command = "SDL_VIDEODRIVER=offscreen DISPLAY= love '" VUMO_BENCH_LOVE_DIR "' " +
                                  std::to_string(count) + " 3" + (batched ? " batched" : "") + " 2>/dev/null";
            FILE* pipe = popen(command.c_str(), "r");
            char line[256];
            while (pipe != nullptr && fgets(line, sizeof(line), pipe) != nullptr)
            {
                sscanf(line, "fps %lf", &fps);
            }
            if (pipe == nullptr || pclose(pipe) != 0 || fps <= 0.0)
            {
                state.SkipWithError("LOVE did not run (Debian package love)");
                return;
            }
        }
        state.counters["fps"] = fps;
        auto ours = ourFps().find(count);
        if (ours != ourFps().end() && ours->second > 0.0)
        {
            state.counters["ours_per_love"] = ours->second / fps;
        }
    }
} // namespace

BENCHMARK(BM_RenderSystemQuads)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RawGLQuads)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RawGLBatchedQuads)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoveQuads)
    ->Args({1000, 0})
    ->Args({10000, 0})
    ->Args({1000, 1})
    ->Args({10000, 1})
    ->ArgNames({"quads", "batched"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
