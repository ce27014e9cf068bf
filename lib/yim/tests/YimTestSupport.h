#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <gtest/gtest.h>

#include <quortypes/Dir.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <quortypes_testing/LogCapture.h>
#include <yim/AudioManager.h>
#include <yim/yim.h>
#include <yim_testing/OggWriter.h>

#include "OpenALLoopback.h"

using yim_testing::encodeOgg;
using yim_testing::Signal;

// Every test runs on OpenAL Soft's null driver: no sound card is probed.
inline const bool nullAudioDriver = (setenv("ALSOFT_DRIVERS", "null", 0), true);

// Collects the "yim" log lines written while it lives.
struct LogCapture : quortypes_testing::TagLogCapture<harray<hstring>>
{
    LogCapture() : TagLogCapture("yim") {}
};

// A folder of generated files named after the running test, below the working directory.
inline std::string testFolder()
{
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string folder = std::string("yim_") + info->test_suite_name() + "_" + info->name();
    std::string command = "rm -rf '" + folder + "'";
    (void)system(command.c_str());
    mkdir(folder.c_str(), 0777);
    return folder;
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

inline std::string readFile(const std::string& path)
{
    std::string bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr)
    {
        return bytes;
    }
    char block[4096];
    size_t read;
    while ((read = fread(block, 1, sizeof(block), file)) > 0)
    {
        bytes.append(block, read);
    }
    fclose(file);
    return bytes;
}

inline void writeOgg(const std::string& path, int channels, int rate, int frames, const Signal& signal)
{
    std::string bytes = encodeOgg(channels, rate, frames, signal);
    ASSERT_FALSE(bytes.empty());
    writeFile(path, bytes);
}

// vorbisfile's own decode: interleaved 16-bit samples.
inline std::vector<short> decodeOgg(const std::string& path)
{
    std::vector<short> samples;
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0)
    {
        return samples;
    }
    char block[4096];
    int section = 0;
    long read;
    while ((read = ov_read(&file, block, sizeof(block), 0, 2, 1, &section)) > 0)
    {
        samples.insert(samples.end(), (short*)block, (short*)(block + read));
    }
    ov_clear(&file);
    return samples;
}

inline std::string littleEndian(unsigned int value, int bytes)
{
    std::string result;
    for (int i = 0; i < bytes; ++i)
    {
        result += (char)((value >> (8 * i)) & 0xFF);
    }
    return result;
}

// A RIFF chunk as writers lay it out: an odd-sized body is followed by a pad byte.
inline std::string chunk(const std::string& tag, const std::string& body)
{
    return tag + littleEndian((unsigned int)body.size(), 4) + body + std::string(body.size() % 2, '\0');
}

inline std::string fmtChunk(int channels, int rate, int bits, int format = 1)
{
    // The fields keep their low bytes, as a writer's would, whatever the sizes.
    unsigned int align = (unsigned int)channels * (unsigned int)bits / 8;
    return chunk("fmt ", littleEndian(format, 2) + littleEndian(channels, 2) + littleEndian(rate, 4) +
                             littleEndian((unsigned int)rate * align, 4) + littleEndian(align, 2) +
                             littleEndian(bits, 2));
}

inline std::string pcm16(const std::vector<short>& samples)
{
    return std::string((const char*)samples.data(), samples.size() * 2);
}

inline std::string riff(const std::string& chunks)
{
    return "RIFF" + littleEndian((unsigned int)chunks.size() + 4, 4) + "WAVE" + chunks;
}

// A stereo 16-bit WAV of frames at one constant value in both channels.
inline void writeConstantWav(const std::string& path, int frames, short value, int rate = 44100)
{
    writeFile(path,
              riff(fmtChunk(2, rate, 16) + chunk("data", pcm16(std::vector<short>(frames * 2, value)))));
}

// Loopback mixing in the steps the engine takes: an update of 0.01 s, then 441 frames.
class LoopbackTest : public testing::Test
{
protected:
    std::string folder;
    yim::AudioManager* audio = nullptr;

    void SetUp() override
    {
        this->folder = testFolder();
        yim::openal::initLoopback();
        this->audio = yim::manager;
        ASSERT_TRUE(this->audio->isEnabled());
    }

    void TearDown() override { yim::destroy(); }

    std::string path(const std::string& name) const { return this->folder + "/" + name; }

    // Interleaved stereo of the given number of steps.
    std::vector<float> render(int steps)
    {
        std::vector<float> output((size_t)steps * 441 * 2);
        for (int i = 0; i < steps; ++i)
        {
            this->audio->update(0.01f);
            yim::openal::renderLoopback(output.data() + (size_t)i * 441 * 2, 441);
        }
        return output;
    }
};
