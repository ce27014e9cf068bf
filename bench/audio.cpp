// The audio update thread's CPU cost with streaming players, beside bare OpenAL Soft mixing as many
// looping sources; and the main-thread stall of a first play of a whole-file sound, beside vorbisfile
// decoding the same file alone. Everything runs on OpenAL Soft's null device (real-time, no output).
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <cmath>
#include <map>
#include <thread>
#include <vector>

#include <AL/al.h>
#include <AL/alc.h>
#include <vorbis/vorbisfile.h>

#include <yim/AudioManager.h>
#include <yim/Category.h>
#include <yim/Player.h>
#include <yim/yim.h>

#include "OggWriter.h"

namespace
{
    const bool nullDriver = (setenv("ALSOFT_DRIVERS", "null", 1), true);
    const double measuredSeconds = 3.0;

    // A stereo OGG of the given length, written once per length into the working directory.
    std::string oggFile(int seconds)
    {
        static std::map<int, std::string> made;
        std::string& name = made[seconds];
        if (name.empty())
        {
            name = "bench_audio_" + std::to_string(seconds) + "s.ogg";
            std::string bytes =
                encodeOgg(2, 44100, seconds * 44100,
                          [](int frame, int channel)
                          { return 0.3f * std::sin(frame * 0.02f + channel) * std::sin(frame * 1e-4f); });
            FILE* file = fopen(name.c_str(), "wb");
            fwrite(bytes.data(), 1, bytes.size(), file);
            fclose(file);
        }
        return name;
    }

    std::vector<short> decode(const std::string& file)
    {
        std::vector<short> samples;
        OggVorbis_File vorbis;
        if (ov_fopen(file.c_str(), &vorbis) != 0)
        {
            return samples;
        }
        samples.resize((size_t)ov_pcm_total(&vorbis, -1) * 2);
        char* output = (char*)samples.data();
        size_t left = samples.size() * 2;
        int section = 0;
        long read;
        while (left > 0 &&
               (read = ov_read(&vorbis, output, (int)std::min<size_t>(left, 1 << 20), 0, 2, 1, &section)) > 0)
        {
            output += read;
            left -= read;
        }
        ov_clear(&vorbis);
        return samples;
    }

    double processSeconds()
    {
        timespec now;
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return now.tv_sec + now.tv_nsec * 1e-9;
    }

    // Percent of one core the whole process used while the sounds played.
    double measureCpu()
    {
        double start = processSeconds();
        std::this_thread::sleep_for(std::chrono::duration<double>(measuredSeconds));
        return (processSeconds() - start) / measuredSeconds * 100.0;
    }

    void BM_UpdateThreadStreaming(benchmark::State& state)
    {
        std::string file = oggFile(10);
        yim::init(yim::SystemType::AS_DEFAULT, 0, true, 0.01f);
        yim::manager->createCategory("music", yim::BufferMode::STREAMED, yim::SourceMode::DISK);
        yim::manager->createSound(file, "music");
        std::vector<yim::Player*> players;
        for (int i = 0; i < state.range(0); ++i)
        {
            players.push_back(yim::manager->createPlayer("bench_audio_10s"));
            players.back()->play(0.0f, true);
        }
        for (auto _ : state)
        {
            state.counters["cpu_percent"] = measureCpu();
        }
        for (yim::Player* player : players)
        {
            yim::manager->destroyPlayer(player);
        }
        yim::destroy();
    }

    void BM_BareOpenALLooping(benchmark::State& state)
    {
        std::vector<short> pcm = decode(oggFile(10));
        ALCdevice* device = alcOpenDevice(nullptr);
        ALCcontext* context = alcCreateContext(device, nullptr);
        alcMakeContextCurrent(context);
        ALuint buffer;
        alGenBuffers(1, &buffer);
        alBufferData(buffer, AL_FORMAT_STEREO16, pcm.data(), (ALsizei)(pcm.size() * 2), 44100);
        std::vector<ALuint> sources(state.range(0));
        if (!sources.empty())
        {
            alGenSources((ALsizei)sources.size(), sources.data());
        }
        for (ALuint source : sources)
        {
            alSourcei(source, AL_BUFFER, (ALint)buffer);
            alSourcei(source, AL_LOOPING, AL_TRUE);
            alSourcePlay(source);
        }
        for (auto _ : state)
        {
            state.counters["cpu_percent"] = measureCpu();
        }
        if (!sources.empty())
        {
            alDeleteSources((ALsizei)sources.size(), sources.data());
        }
        alDeleteBuffers(1, &buffer);
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
        alcCloseDevice(device);
    }

    // The main thread's wait in play(): a buffer-mode-2 sound decodes whole on its first play.
    void BM_FirstPlayStall(benchmark::State& state)
    {
        std::string file = oggFile((int)state.range(0));
        yim::init(yim::SystemType::AS_DEFAULT, 0, true, 0.01f);
        yim::manager->createCategory("fx", yim::BufferMode::MANAGED, yim::SourceMode::DISK);
        for (auto _ : state)
        {
            state.PauseTiming();
            yim::manager->createSound(file, "fx");
            std::string name = file.substr(0, file.size() - 4);
            state.ResumeTiming();
            yim::manager->play(name);
            state.PauseTiming();
            yim::manager->stop(name);
            yim::manager->destroySound(yim::manager->getSound(name));
            state.ResumeTiming();
        }
        yim::destroy();
    }

    void BM_VorbisfileDecodeAlone(benchmark::State& state)
    {
        std::string file = oggFile((int)state.range(0));
        for (auto _ : state)
        {
            benchmark::DoNotOptimize(decode(file).data());
        }
    }
} // namespace

BENCHMARK(BM_UpdateThreadStreaming)->Arg(0)->Arg(16)->Arg(64)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareOpenALLooping)->Arg(0)->Arg(16)->Arg(64)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstPlayStall)->Arg(10)->Arg(60)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VorbisfileDecodeAlone)->Arg(10)->Arg(60)->Iterations(5)->Unit(benchmark::kMillisecond);
