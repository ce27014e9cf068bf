// The audio update thread's CPU cost with streaming players, beside vorbisfile decoding as much of the
// same sound alone (the decoding any streaming player must do) and bare OpenAL Soft mixing as many
// looping sources of it; and the main-thread stall of a first play of a whole-file sound, beside
// vorbisfile decoding the same file alone. Everything runs on OpenAL Soft's null device (real-time, no
// output).
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <time.h>

#include <dirent.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <thread>
#include <vector>

#include <AL/al.h>
#include <AL/alc.h>
#include <vorbis/vorbisfile.h>

#include <yim/AudioManager.h>
#include <yim/Category.h>
#include <yim/Player.h>
#include <yim/yim.h>

#include <yim_testing/OggWriter.h>

#include "OpenAL_AudioManager.h"

using yim_testing::encodeOgg;

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

    double threadSeconds()
    {
        timespec now;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return now.tv_sec + now.tv_nsec * 1e-9;
    }

    std::set<std::string> taskIds()
    {
        std::set<std::string> ids;
        if (DIR* tasks = opendir("/proc/self/task"))
        {
            while (dirent* entry = readdir(tasks))
            {
                if (entry->d_name[0] != '.')
                {
                    ids.insert(entry->d_name);
                }
            }
            closedir(tasks);
        }
        return ids;
    }

    // Seconds one thread of this process has run, from the scheduler's own count in nanoseconds.
    double taskSeconds(const std::string& id)
    {
        std::ifstream stat("/proc/self/task/" + id + "/schedstat");
        unsigned long long nanoseconds = 0;
        stat >> nanoseconds;
        return nanoseconds * 1e-9;
    }

    double median(std::vector<double> values)
    {
        std::sort(values.begin(), values.end());
        size_t n = values.size();
        return n == 0 ? 0.0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
    }

    const long long bytesPerSecond = 44100 * 2 * 2;
    const int chunkBytes = yim::Player::STREAM_CHUNK_SIZE;
    const int ringBytes = chunkBytes * yim::Player::STREAM_CHUNK_COUNT;

    struct Cpu
    {
        double updateThread = 0.0;
        double process = 0.0;
    };

    // Our players streaming for the measured time: percent of one core for the update thread alone and
    // for the whole process (OpenAL Soft's mixer included).
    Cpu measureOurs(int players, const std::string& file)
    {
        // Made by hand rather than by yim::init, so that the update thread is the one thread init starts.
        yim::manager = new yim::OpenAL_AudioManager(0, true, 0.01f, "");
        std::set<std::string> before = taskIds();
        yim::manager->init();
        std::string updateThread;
        for (const std::string& id : taskIds())
        {
            if (before.count(id) == 0)
            {
                updateThread = id;
            }
        }
        yim::manager->createCategory("music", yim::BufferMode::STREAMED, yim::SourceMode::DISK);
        yim::manager->createSound(file, "music");
        std::string name = file.substr(0, file.size() - 4);
        std::vector<yim::Player*> made;
        for (int i = 0; i < players; ++i)
        {
            made.push_back(yim::manager->createPlayer(name));
            made.back()->play(0.0f, true);
        }
        double threadStart = taskSeconds(updateThread);
        double processStart = processSeconds();
        std::this_thread::sleep_for(std::chrono::duration<double>(measuredSeconds));
        Cpu cpu;
        cpu.updateThread = (taskSeconds(updateThread) - threadStart) / measuredSeconds * 100.0;
        cpu.process = (processSeconds() - processStart) / measuredSeconds * 100.0;
        for (yim::Player* player : made)
        {
            yim::manager->destroyPlayer(player);
        }
        yim::destroy();
        return cpu;
    }

    // OpenAL Soft alone mixing as many looping sources of the whole decoded sound: percent of one core for
    // the process.
    double measureBare(int count, const std::vector<short>& pcm)
    {
        ALCdevice* device = alcOpenDevice(nullptr);
        ALCcontext* context = alcCreateContext(device, nullptr);
        alcMakeContextCurrent(context);
        ALuint buffer;
        alGenBuffers(1, &buffer);
        alBufferData(buffer, AL_FORMAT_STEREO16, pcm.data(), (ALsizei)(pcm.size() * 2), 44100);
        std::vector<ALuint> sources(count);
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
        double start = processSeconds();
        std::this_thread::sleep_for(std::chrono::duration<double>(measuredSeconds));
        double cpu = (processSeconds() - start) / measuredSeconds * 100.0;
        if (!sources.empty())
        {
            alDeleteSources((ALsizei)sources.size(), sources.data());
        }
        alDeleteBuffers(1, &buffer);
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
        alcCloseDevice(device);
        return cpu;
    }

    // The decoding any streaming player must do: one vorbisfile decoder a player, each past its first
    // ring, decoding what a player plays in the measured time in chunks taken in turn, rewound at the
    // end as a looping player is. Percent of one core, on this thread's CPU clock.
    double measureDecodeAlone(int players, const std::string& file)
    {
        std::vector<OggVorbis_File> decoders(players);
        std::vector<char> chunk(chunkBytes);
        int section = 0;
        auto fill = [&](OggVorbis_File& decoder, long long bytes)
        {
            while (bytes > 0)
            {
                long read = ov_read(&decoder, chunk.data(), (int)std::min<long long>(bytes, chunkBytes), 0, 2,
                                    1, &section);
                if (read <= 0)
                {
                    ov_pcm_seek(&decoder, 0);
                    continue;
                }
                bytes -= read;
            }
        };
        for (OggVorbis_File& decoder : decoders)
        {
            ov_fopen(file.c_str(), &decoder);
            fill(decoder, ringBytes);
        }
        const long long perPlayer = (long long)(measuredSeconds * bytesPerSecond);
        double start = threadSeconds();
        for (long long done = 0; done < perPlayer; done += chunkBytes)
        {
            for (OggVorbis_File& decoder : decoders)
            {
                fill(decoder, std::min<long long>(chunkBytes, perPlayer - done));
            }
        }
        double cpu = (threadSeconds() - start) / measuredSeconds * 100.0;
        for (OggVorbis_File& decoder : decoders)
        {
            ov_clear(&decoder);
        }
        return cpu;
    }

    // The three sides in turn, their order rotated on every repeat so that the load of a shared machine
    // falls on all alike; the medians go out as counters.
    void BM_UpdateThreadStreaming(benchmark::State& state)
    {
        const int players = (int)state.range(0);
        const int repeats = 3;
        std::string file = oggFile(10);
        std::vector<short> pcm = decode(file);
        std::vector<double> updateThread, process, bare, decodeAlone;
        for (auto _ : state)
        {
            for (int r = 0; r < repeats; ++r)
            {
                for (int side = 0; side < 3; ++side)
                {
                    switch ((side + r) % 3)
                    {
                    case 0:
                    {
                        Cpu cpu = measureOurs(players, file);
                        updateThread.push_back(cpu.updateThread);
                        process.push_back(cpu.process);
                        break;
                    }
                    case 1:
                        bare.push_back(measureBare(players, pcm));
                        break;
                    default:
                        decodeAlone.push_back(measureDecodeAlone(players, file));
                        break;
                    }
                }
            }
        }
        state.counters["update_thread_pct"] = median(updateThread);
        state.counters["ours_process_pct"] = median(process);
        state.counters["decode_alone_pct"] = median(decodeAlone);
        state.counters["bare_openal_pct"] = median(bare);
        // Our thread over the decoding alone, repeat by repeat: what the update step costs beyond decoding.
        std::vector<double> ratios;
        for (size_t i = 0; players > 0 && i < updateThread.size() && i < decodeAlone.size(); ++i)
        {
            ratios.push_back(updateThread[i] / decodeAlone[i]);
        }
        state.counters["thread_over_decode"] = median(ratios);
        OggVorbis_File vorbis;
        if (ov_fopen(file.c_str(), &vorbis) == 0)
        {
            vorbis_info* info = ov_info(&vorbis, -1);
            state.SetLabel(std::to_string(info->rate) + " Hz, " + std::to_string(info->channels) +
                           " channels, " + std::to_string(ov_bitrate(&vorbis, -1) / 1000) +
                           " kbit/s (nominal " + std::to_string(info->bitrate_nominal / 1000) + ")");
            ov_clear(&vorbis);
        }
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
BENCHMARK(BM_FirstPlayStall)->Arg(10)->Arg(60)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VorbisfileDecodeAlone)->Arg(10)->Arg(60)->Iterations(5)->Unit(benchmark::kMillisecond);
