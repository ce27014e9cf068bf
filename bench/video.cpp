// Decoding a 720p file into BGRA with the alpha from the right half's luma (mode 7), through the manager
// with one worker while the main thread pops every frame, beside a bare loop of libtheora and libyuv
// doing the same decode and conversion on one thread. And the alpha pass alone beside libyuv's
// conversion of the same half frame.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <libyuv.h>
#include <ogg/ogg.h>
#include <theora/theoradec.h>
#include <theora/theoraenc.h>

#include <tesravideo/TheoraDataSource.h>
#include <tesravideo/TheoraFrameQueue.h>
#include <tesravideo/TheoraVideoClip.h>
#include <tesravideo/TheoraVideoFrame.h>
#include <tesravideo/TheoraVideoManager.h>

#include "Compare.h"
#include "VideoWriter.h"

namespace
{
    const int width = 1280;
    const int height = 720;
    const int frameCount = 48;

    // A moving picture in the left half and a moving alpha ramp in the right, so that neither the decoder
    // nor the conversion meets flat frames.
    const std::string& video()
    {
        static const std::string bytes = videotest::encodeTheora(
            width, height, 25, 48, frameCount, 3, true,
            [](int frame, unsigned char* y, unsigned char* u, unsigned char* v)
            {
                for (int row = 0; row < height; ++row)
                {
                    for (int column = 0; column < width; ++column)
                    {
                        int x = column % (width / 2);
                        y[row * width + column] =
                            column < width / 2
                                ? (unsigned char)(40 + ((x * 3 + row * 2 + frame * 7) ^ (x / 8)) % 180)
                                : (unsigned char)(16 + (x + frame * 5) % 220);
                    }
                }
                for (int row = 0; row < height / 2; ++row)
                {
                    for (int column = 0; column < width / 2; ++column)
                    {
                        u[row * (width / 2) + column] = (unsigned char)(100 + (column + frame) % 60);
                        v[row * (width / 2) + column] = (unsigned char)(100 + (row + frame) % 60);
                    }
                }
            });
        return bytes;
    }

    std::unique_ptr<TheoraDataSource> memorySource()
    {
        const std::string& bytes = video();
        std::unique_ptr<unsigned char[]> data(new unsigned char[bytes.size()]);
        memcpy(data.get(), bytes.data(), bytes.size());
        return std::make_unique<TheoraMemoryFileDataSource>(std::move(data), (long)bytes.size(), "bench");
    }

    void silent(const std::string&) {}

    // The reference: the file's pages read from memory, its packets decoded and converted in a plain loop.
    struct RawDecoder
    {
        std::vector<unsigned char> output = std::vector<unsigned char>(width / 2 * height * 4);
        unsigned char alphaTable[256];

        RawDecoder()
        {
            for (int y = 0; y < 256; ++y)
                alphaTable[y] = (unsigned char)(y <= 16 ? 0 : y >= 235 ? 255 : (y - 16) * 255 / 219);
        }

        void convert(th_ycbcr_buffer planes)
        {
            libyuv::I420ToARGB(planes[0].data, planes[0].stride, planes[1].data, planes[1].stride,
                               planes[2].data, planes[2].stride, this->output.data(), width / 2 * 4,
                               width / 2, height);
            for (int row = 0; row < height; ++row)
            {
                const unsigned char* luma = planes[0].data + row * planes[0].stride + width / 2;
                unsigned char* alpha = this->output.data() + row * (width / 2 * 4) + 3;
                for (int column = 0; column < width / 2; ++column, alpha += 4)
                    *alpha = this->alphaTable[luma[column]];
            }
            benchmark::DoNotOptimize(this->output.data());
        }

        // Returns the number of frames decoded.
        int decodeAll()
        {
            const std::string& bytes = video();
            ogg_sync_state sync;
            ogg_sync_init(&sync);
            ogg_stream_state stream;
            bool streamReady = false;
            th_info info;
            th_comment comment;
            th_setup_info* setup = nullptr;
            th_dec_ctx* decoder = nullptr;
            th_info_init(&info);
            th_comment_init(&comment);
            th_ycbcr_buffer planes;
            int frames = 0;
            const size_t chunk = 4096;
            for (size_t offset = 0; offset < bytes.size(); offset += chunk)
            {
                size_t count = std::min(chunk, bytes.size() - offset);
                char* buffer = ogg_sync_buffer(&sync, (long)count);
                memcpy(buffer, bytes.data() + offset, count);
                ogg_sync_wrote(&sync, (long)count);
                ogg_page page;
                while (ogg_sync_pageout(&sync, &page) == 1)
                {
                    if (!streamReady)
                    {
                        ogg_stream_init(&stream, ogg_page_serialno(&page));
                        streamReady = true;
                    }
                    ogg_stream_pagein(&stream, &page);
                    ogg_packet packet;
                    while (ogg_stream_packetout(&stream, &packet) == 1)
                    {
                        if (decoder == nullptr)
                        {
                            if (th_decode_headerin(&info, &comment, &setup, &packet) > 0)
                                continue;
                            decoder = th_decode_alloc(&info, setup);
                        }
                        ogg_int64_t granule = 0;
                        int result = th_decode_packetin(decoder, &packet, &granule);
                        if (result != 0 && result != TH_DUPFRAME)
                            continue;
                        th_decode_ycbcr_out(decoder, planes);
                        this->convert(planes);
                        ++frames;
                    }
                }
            }
            th_decode_free(decoder);
            th_setup_free(setup);
            th_comment_clear(&comment);
            th_info_clear(&info);
            ogg_stream_clear(&stream);
            ogg_sync_clear(&sync);
            return frames;
        }
    };

    void BM_Decode720pMode7ThroughTheManager(benchmark::State& state)
    {
        TheoraVideoManager::setLogFunction(silent);
        std::unique_ptr<TheoraVideoManager> manager(new TheoraVideoManager(1));
        RawDecoder raw;
        if (raw.decodeAll() != frameCount)
        {
            state.SkipWithError("the reference decodes another number of frames");
            return;
        }
        TheoraVideoClip* clip = nullptr;
        benchcompare::Side ours;
        // The clip is made (headers read, first frame decoded) before the clock runs, and the clock starts
        // once the idle worker has taken it up; the reference likewise starts after its headers.
        ours.prepare = [&]
        {
            clip = manager->createVideoClip(memorySource(), TH_BGRA);
            while (!clip->isBusy() && clip->getNumReadyFrames() < 2)
                std::this_thread::yield();
        };
        ours.body = [&]
        {
            int shown = 0;
            while (shown < frameCount)
            {
                TheoraVideoFrame* frame = clip->getFrameQueue()->getFirstAvailableFrame();
                if (frame == nullptr)
                {
                    // A game's main thread would draw meanwhile; it leaves the core to the worker.
                    std::this_thread::sleep_for(std::chrono::microseconds(50));
                    continue;
                }
                benchmark::DoNotOptimize(frame->getBuffer());
                clip->popFrame();
                ++shown;
            }
        };
        ours.cleanup = [&]
        {
            manager->destroyVideoClip(clip);
            clip = nullptr;
        };
        benchcompare::Side reference;
        reference.body = [&] { benchmark::DoNotOptimize(raw.decodeAll()); };
        benchcompare::compare(state, ours, reference, frameCount, 9, 1.0);
    }
    BENCHMARK(BM_Decode720pMode7ThroughTheManager)->Iterations(1)->Unit(benchmark::kMillisecond);

    // One decoded 720p frame's planes: the picture's half and the alpha half.
    struct HalfFrame
    {
        std::vector<unsigned char> y = std::vector<unsigned char>(width * height);
        std::vector<unsigned char> u = std::vector<unsigned char>(width * height / 4);
        std::vector<unsigned char> v = std::vector<unsigned char>(width * height / 4);
        std::vector<unsigned char> out = std::vector<unsigned char>(width / 2 * height * 4);
        TheoraPixelTransform transform;

        HalfFrame()
        {
            for (size_t i = 0; i < y.size(); ++i)
                y[i] = (unsigned char)(i * 7 % 256);
            for (size_t i = 0; i < u.size(); ++i)
                u[i] = (unsigned char)(i * 3 % 256), v[i] = (unsigned char)(i * 5 % 256);
            transform.y = y.data();
            transform.u = u.data();
            transform.v = v.data();
            transform.out = out.data();
            transform.w = width / 2;
            transform.h = height;
            transform.yStride = width;
            transform.uStride = width / 2;
            transform.vStride = width / 2;
        }
    };

    void BM_AlphaPassBesideLibyuvConversion(benchmark::State& state)
    {
        HalfFrame frame;
        benchcompare::Side ours;
        ours.body = [&]
        {
            theoraFillAlpha(TH_BGRA, frame.transform);
            benchmark::DoNotOptimize(frame.out.data());
        };
        benchcompare::Side reference;
        reference.body = [&]
        {
            libyuv::I420ToARGB(frame.y.data(), width, frame.u.data(), width / 2, frame.v.data(), width / 2,
                               frame.out.data(), width / 2 * 4, width / 2, height);
            benchmark::DoNotOptimize(frame.out.data());
        };
        benchcompare::compare(state, ours, reference);
    }
    BENCHMARK(BM_AlphaPassBesideLibyuvConversion)->Iterations(1)->Unit(benchmark::kMicrosecond);
} // namespace
