// Frames per second of N sprites of S x S pixels (N = 10,000, 2,000 and 1,000 for S = 8, 32 and 64) through
// the render system beside the peer engine (Debian's package love, bench/love) drawing the same pixels in its
// own process on the same kind of display. Both sides present every frame without reading back and finish
// once when the measured time is up. Three modes: "alternate", consecutive sprites alternating between two
// textures; "cycle", consecutive sprites cycling through eight textures; "atlas", every sprite a cell of one
// texture. Each case runs both sides in turn, five times; ratio_* are our frames per second over the peer's
// (above 1 is faster), min/median/max over the repeats, cpu_ratio_median the same for processor time per
// frame, and draws_* the GL draw calls of one frame on each side. Skipped when love is not installed.
#include <benchmark/benchmark.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <SDL.h>

#include <tesra/RenderSystem.h>

#include "Compare.h"
#include "rendersystems/opengl/OpenGL_RenderSystem.h"

namespace
{
    const int screenWidth = 1024, screenHeight = 768;
    // Sprites per frame by side: fewer large ones, so that a measured second holds enough frames.
    int spriteCount(int side)
    {
        return side <= 8 ? 10000 : (side <= 32 ? 2000 : 1000);
    }
    const int repeats = 5;
    const double warmupSeconds = 0.2, measuredSeconds = 1.0;

    // Byte k of pixel i of picture `seed`: the formula bench/love/main.lua uses too.
    std::vector<unsigned char> pixels(int width, int height, int seed)
    {
        std::vector<unsigned char> result((size_t)width * height * 4);
        for (size_t i = 0; i < (size_t)width * height; ++i)
        {
            for (int k = 0; k < 4; ++k)
            {
                result[i * 4 + k] = (unsigned char)(((i * 4 + k) * 7 + seed * 13) % 256);
            }
        }
        return result;
    }

    struct Scene
    {
        SDL_Window* window = nullptr;
        SDL_GLContext context = nullptr;
        tesra::OpenGL_RenderSystem* rs = nullptr;

        Scene()
        {
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
            SDL_InitSubSystem(SDL_INIT_VIDEO);
            // The engine window's own attributes; its pacing by sleep without vertical sync is left out.
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
            SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
            SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
            SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
            SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
            SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
            window = SDL_CreateWindow("bench", 0, 0, screenWidth, screenHeight,
                                      SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
            context = SDL_GL_CreateContext(window);
            SDL_GL_SetSwapInterval(0);
            rs = new tesra::OpenGL_RenderSystem();
            rs->create(tesra::RenderSystem::Options());
            rs->attachToSdlWindow(window, nullptr);
        }
    };

    Scene& scene()
    {
        static Scene instance;
        return instance;
    }

    // Frames per second, and seconds of processor time (all threads of the process) per frame: on a
    // loaded machine the second is the steadier measure of the work a frame takes.
    struct Rate
    {
        double fps = 0.0;
        double cpu = 0.0;
        double draws = 0.0;
    };

    enum Mode
    {
        ALTERNATE = 0,
        ATLAS = 1,
        CYCLE = 2
    };
    const char* const modeNames[] = {"alternate", "atlas", "cycle"};
    const int textureCount = 8;

    struct Sprites
    {
        int side;
        Mode mode;
        bool atlas;
        tesra::Texture* textures[textureCount] = {};
        tesra::Texture* atlasTexture = nullptr;
        int drawsPerFrame = 0;

        Sprites(int side, Mode mode) : side(side), mode(mode), atlas(mode == ATLAS)
        {
            tesra::RenderSystem* rs = scene().rs;
            for (int t = 0; t < textureCount; ++t)
            {
                // Seeds 1 and 2 are the alternating pair; 3 is the atlas.
                textures[t] = rs->createTexture(pixels(side, side, t < 2 ? t + 1 : t + 2).data(), side, side);
            }
            atlasTexture = rs->createTexture(pixels(side * 4, side * 4, 3).data(), side * 4, side * 4);
        }
        ~Sprites()
        {
            for (tesra::Texture* texture : textures)
            {
                delete texture;
            }
            delete atlasTexture;
        }

        void drawFrame()
        {
            tesra::RenderSystem* rs = scene().rs;
            SDL_PumpEvents(); // the other side's loop pumps events every frame too
            rs->clear(true, false);
            const int drawsBefore = scene().rs->getDrawCallCount();
            const int w = screenWidth - side, h = screenHeight - side;
            tesra::TexturedVertex quad[4];
            for (int i = 0, count = spriteCount(side); i < count; ++i)
            {
                const float x = (float)((i * 37) % w), y = (float)((i * 53) % h), s = (float)side;
                float u = 0.0f, v = 0.0f, cell = 1.0f;
                if (atlas)
                {
                    const int c = i % 16;
                    u = (c % 4) / 4.0f;
                    v = (c / 4) / 4.0f;
                    cell = 0.25f;
                }
                quad[0] = tesra::TexturedVertex(x, y, 0, u, v);
                quad[1] = tesra::TexturedVertex(x + s, y, 0, u + cell, v);
                quad[2] = tesra::TexturedVertex(x, y + s, 0, u, v + cell);
                quad[3] = tesra::TexturedVertex(x + s, y + s, 0, u + cell, v + cell);
                rs->setTexture(atlas ? atlasTexture : textures[mode == CYCLE ? i % textureCount : i % 2]);
                rs->render(tesra::RenderOperation::TRIANGLE_STRIP, quad, 4);
            }
            rs->presentFrame();
            drawsPerFrame = scene().rs->getDrawCallCount() - drawsBefore;
        }

        Rate measure()
        {
            using Clock = std::chrono::steady_clock;
            auto seconds = [](Clock::time_point since)
            { return std::chrono::duration<double>(Clock::now() - since).count(); };
            Clock::time_point start = Clock::now();
            while (seconds(start) < warmupSeconds)
            {
                drawFrame();
            }
            // Frames are queued, not waited for: the measured ones start behind none.
            glFinish();
            start = Clock::now();
            const clock_t cpu = clock();
            long frames = 0;
            while (seconds(start) < measuredSeconds)
            {
                drawFrame();
                ++frames;
            }
            glFinish();
            return {frames / seconds(start), (double)(clock() - cpu) / CLOCKS_PER_SEC / frames,
                    (double)drawsPerFrame};
        }
    };

    // The peer's rate for the same case; 0 frames per second when it did not run.
    Rate peerRate(int side, Mode mode)
    {
        std::string command = "SDL_VIDEODRIVER=offscreen DISPLAY= love '" VUMO_BENCH_LOVE_DIR "' " +
                              std::to_string(spriteCount(side)) + " " + std::to_string(side) + " " +
                              modeNames[mode] + " " + std::to_string(measuredSeconds) + " 2>/dev/null";
        FILE* pipe = popen(command.c_str(), "r");
        Rate rate;
        if (pipe == nullptr)
        {
            return rate;
        }
        char line[256];
        while (fgets(line, sizeof(line), pipe) != nullptr)
        {
            sscanf(line, "fps %lf", &rate.fps);
            sscanf(line, "cpu %lf", &rate.cpu);
            sscanf(line, "draws %lf", &rate.draws);
        }
        if (pclose(pipe) != 0)
        {
            rate.fps = 0.0;
        }
        return rate;
    }

    void BM_SpritesBesidePeer(benchmark::State& state)
    {
        const int side = (int)state.range(0);
        const Mode mode = (Mode)state.range(1);
        Sprites sprites(side, mode);
        std::vector<double> oursFps, peerFps, oursCpu, peerCpu;
        double oursDraws = 0.0, peerDraws = 0.0;
        for (auto _ : state)
        {
            for (int r = 0; r < repeats; ++r)
            {
                Rate a, b;
                if (r % 2 == 0)
                {
                    a = sprites.measure();
                    b = peerRate(side, mode);
                }
                else
                {
                    b = peerRate(side, mode);
                    a = sprites.measure();
                }
                oursDraws = a.draws;
                peerDraws = b.draws;
                if (b.fps <= 0.0)
                {
                    state.SkipWithError("love did not run (Debian package love; scripts/bench installs it)");
                    return;
                }
                // Frame times, so that the shared report gives ours over the peer's.
                oursFps.push_back(1.0 / a.fps);
                peerFps.push_back(1.0 / b.fps);
                oursCpu.push_back(a.cpu);
                peerCpu.push_back(b.cpu);
            }
        }
        // Reported as the peer's over ours: above 1 we are faster.
        benchcompare::report(state, peerFps, oursFps, 1.0);
        state.counters["ours_fps"] = 1.0 / benchcompare::median(oursFps);
        state.counters["love_fps"] = 1.0 / benchcompare::median(peerFps);
        state.counters.erase("ours_us");
        state.counters.erase("ref_us");
        std::vector<double> cpuRatios;
        for (size_t i = 0; i < oursCpu.size(); ++i)
        {
            cpuRatios.push_back(peerCpu[i] / oursCpu[i]);
        }
        state.counters["ours_cpu_ms"] = benchcompare::median(oursCpu) * 1e3;
        state.counters["love_cpu_ms"] = benchcompare::median(peerCpu) * 1e3;
        state.counters["cpu_ratio_median"] = benchcompare::median(cpuRatios);
        state.counters["draws_ours"] = oursDraws;
        state.counters["draws_love"] = peerDraws;
    }
} // namespace

BENCHMARK(BM_SpritesBesidePeer)
    ->ArgsProduct({{8, 32, 64}, {ALTERNATE, ATLAS, CYCLE}})
    ->ArgNames({"side", "mode"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
