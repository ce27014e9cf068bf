#include <algorithm>
#include <cmath>
#include <ctime>

#include <yim/Buffer.h>
#include <yim/Category.h>
#include <yim/Player.h>

#include "YimTestSupport.h"

// Streamed sounds must come out exactly as vorbisfile decodes them.
class Stream : public LoopbackTest
{
protected:
    std::vector<short> decoded;

    void SetUp() override
    {
        LoopbackTest::SetUp();
        this->audio->createCategory("music", yim::BufferMode::STREAMED, yim::SourceMode::DISK);
    }

    // A stereo OGG of the given length in frames, made and decoded once per test.
    yim::Player* makeStream(const std::string& name, int frames)
    {
        std::string file = this->path(name + ".ogg");
        writeOgg(
            file, 2, 44100, frames,
            [](int frame, int channel)
            { return 0.4f * std::sin(frame * 0.031f + channel) * (0.6f + 0.4f * std::sin(frame * 1e-4f)); });
        this->decoded = decodeOgg(file);
        EXPECT_EQ(this->decoded.size(), (size_t)frames * 2);
        EXPECT_NE(this->audio->createSound(file, "music"), nullptr);
        return this->audio->createPlayer(name);
    }

    // Where the output first differs from the expected samples; -1 when it does nowhere.
    static long firstDifference(const std::vector<float>& output, size_t start,
                                const std::vector<short>& expected, size_t from, size_t count)
    {
        for (size_t i = 0; i < count; ++i)
        {
            float want = from + i < expected.size() ? expected[from + i] / 32768.0f : 0.0f;
            if (std::fabs(output[start + i] - want) > 1e-6f)
            {
                return (long)i;
            }
        }
        return -1;
    }
};

TEST_F(Stream, TenSecondsPlayWithoutGapRepeatOrSkipThenSilenceAndStop)
{
    yim::Player* player = this->makeStream("long", 441000);
    player->play();
    std::vector<float> output = this->render(1030);
    EXPECT_EQ(firstDifference(output, 0, this->decoded, 0, this->decoded.size()), -1);
    EXPECT_EQ(firstDifference(output, this->decoded.size(), {}, 0, output.size() - this->decoded.size()), -1);
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(player->getBuffer()->getBoundPlayers().size(), 0);
    this->audio->destroyPlayer(player);
}

TEST_F(Stream, LoopingRepeatsSeamlesslyAndAShortSoundStopsAfterItsSilence)
{
    yim::Player* player = this->makeStream("loop", 30000); // shorter than the ring
    player->play(0.0f, true);
    std::vector<float> output = this->render(400);
    for (size_t lap = 0; lap * this->decoded.size() < output.size(); ++lap)
    {
        size_t start = lap * this->decoded.size();
        size_t count = std::min(this->decoded.size(), output.size() - start);
        ASSERT_EQ(firstDifference(output, start, this->decoded, 0, count), -1) << "lap " << lap;
    }
    player->stop();
    EXPECT_EQ(player->getProcessedByteCount(), 0);
    player->play(0.0f, false);
    output = this->render(60);
    EXPECT_TRUE(player->isPlaying());
    output.resize(output.size() + 441 * 2 * 120);
    for (int step = 0; step < 120 && player->isPlaying(); ++step)
    {
        this->audio->update(0.01f);
        yim::openal::renderLoopback(output.data() + (60 + step) * 441 * 2, 441);
    }
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(firstDifference(output, 0, this->decoded, 0, output.size()), -1);
    this->audio->destroyPlayer(player);
}

TEST_F(Stream, APauseInsertsJustItsSilence)
{
    yim::Player* player = this->makeStream("paused", 44100 * 3);
    player->play();
    std::vector<float> first = this->render(100);
    player->pause();
    EXPECT_TRUE(player->isPaused());
    EXPECT_EQ(player->getSamplePosition(), 44100);
    std::vector<float> gap = this->render(100);
    player->play();
    std::vector<float> rest = this->render(250);
    EXPECT_EQ(firstDifference(first, 0, this->decoded, 0, first.size()), -1);
    EXPECT_EQ(firstDifference(gap, 0, {}, 0, gap.size()), -1);
    EXPECT_EQ(firstDifference(rest, 0, this->decoded, first.size(), rest.size()), -1);
    this->audio->destroyPlayer(player);
}

TEST_F(Stream, ManagedStreamsEndAndTakeTheirBuffersWithThem)
{
    this->audio->destroyPlayer(this->makeStream("short", 4410));
    int before = this->audio->getBuffers().size();
    this->audio->play("short");
    this->audio->play("short", 0.0f, false, 0.5f);
    EXPECT_EQ(this->audio->getBuffers().size(), before + 2); // a stream buffer per player
    EXPECT_TRUE(this->audio->isAnyPlaying("short"));
    this->render(200);
    EXPECT_FALSE(this->audio->isAnyPlaying("short"));
    EXPECT_EQ(this->audio->getPlayers().size(), 0);
    EXPECT_EQ(this->audio->getBuffers().size(), before);
}

TEST_F(Stream, EightBitStreamsEndInTrueSilence)
{
    // Unsigned 8-bit samples are silent at 0x80: the ring's padding must be too.
    writeFile(this->path("quiet.wav"),
              riff(fmtChunk(1, 44100, 8) + chunk("data", std::string(1000, (char)0x80))));
    this->audio->createSound(this->path("quiet.wav"), "music");
    this->audio->play("quiet");
    std::vector<float> output = this->render(30);
    EXPECT_EQ(firstDifference(output, 0, {}, 0, output.size()), -1);
}

// A looping stream's count of bytes played goes past what an int holds (about three hours of CD-quality
// sound); a back-end that reports a billion bytes a step gets there in three steps.
TEST_F(Stream, TheCountOfBytesPlayedGoesPastTwoGibibytes)
{
    struct FastStream : public yim::Player
    {
        using yim::Player::Player;
        bool _systemIsPlaying() override { return true; }
        int _systemUpdateStream() override { return 1000000000; }
    };
    this->audio->destroyPlayer(this->makeStream("fast", 4410));
    yim::Sound* sound = this->audio->getSound("fast");
    ASSERT_NE(sound, nullptr);
    FastStream player(sound);
    std::vector<int64_t> counts;
    for (int step = 0; step < 5; ++step)
    {
        player._update(0.01f);
        counts.push_back(player.getProcessedByteCount());
    }
    EXPECT_EQ(counts, (std::vector<int64_t>{1000000000, 2000000000, 3000000000, 4000000000, 5000000000}));
    // The position stays within the sound.
    EXPECT_EQ(player.getSamplePosition(), 4410);
    player._stop(0.0f);
    EXPECT_EQ(player.getProcessedByteCount(), 0);
}

// A looped stream was read again from its start for each pass: a data chunk of one byte (less than a sample
// frame, junk after it) was rewound for every byte of the ring, a quarter of a core and frames of 0.9 s of
// CPU. Less than a frame plays silence, a frame or two loop as ever, each at next to no cost.
TEST_F(Stream, ALoopedStreamOfAFewBytesCostsNextToNothing)
{
    const auto cpuSeconds = []
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return (double)now.tv_sec + now.tv_nsec / 1e9;
    };
    struct Case
    {
        const char* name;
        std::string bytes;
        const char* heard;
    };
    // 203 bytes: the data chunk's one byte and 158 bytes of no chunk at all.
    const std::string junk =
        riff(fmtChunk(2, 44100, 16) + "data" + littleEndian(1, 4) + "\x7F" + std::string(158, 'j'));
    const Case cases[] = {
        {"a byte of a 16-bit stereo frame and junk", junk, "silence"},
        {"one 8-bit frame", riff(fmtChunk(1, 44100, 8) + chunk("data", "\xC0")), "sound"},
        {"two 16-bit stereo frames",
         riff(fmtChunk(2, 8000, 16) + chunk("data", pcm16({4000, -4000, 8000, -8000}))), "sound"},
    };
    ASSERT_EQ(junk.size(), 203u);
    std::vector<std::string> journal, expected;
    int made = 0;
    for (const Case& c : cases)
    {
        const std::string name = "few" + std::to_string(made++);
        writeFile(this->path(name + ".wav"), c.bytes);
        ASSERT_NE(this->audio->createSound(this->path(name + ".wav"), "music"), nullptr) << c.name;
        yim::Player* player = this->audio->createPlayer(name);
        const double before = cpuSeconds();
        player->play(0.0f, true);
        const std::vector<float> output = this->render(50);
        const double spent = cpuSeconds() - before;
        const bool sound =
            std::any_of(output.begin(), output.end(), [](float sample) { return sample != 0.0f; });
        journal.push_back(std::string(c.name) + ": " + (sound ? "sound" : "silence") +
                          (spent < 0.25 ? "" : ", " + std::to_string(spent) + " s of CPU"));
        expected.push_back(std::string(c.name) + ": " + c.heard);
        this->audio->destroyPlayer(player);
    }
    EXPECT_EQ(journal, expected);
}
