#include <cmath>

#include <yim/Buffer.h>
#include <yim/Category.h>
#include <yim/OGG_Source.h>
#include <yim/Player.h>
#include <yim/Sound.h>
#include <yim/WAV_Source.h>

#include "YimTestSupport.h"

class Sources : public LoopbackTest
{
protected:
    void SetUp() override
    {
        LoopbackTest::SetUp();
        this->audio->createCategory("disk", yim::BufferMode::ON_PLAY, yim::SourceMode::DISK);
        this->audio->createCategory("ram", yim::BufferMode::ON_PLAY, yim::SourceMode::RAM);
        this->audio->createCategory("music", yim::BufferMode::STREAMED, yim::SourceMode::DISK);
    }

    std::string readAllOf(yim::Source& source)
    {
        std::string bytes(source.getSize(), '\0');
        source.load((unsigned char*)&bytes[0]);
        return bytes;
    }

    std::string stereoOgg(const std::string& name, int frames)
    {
        std::string file = this->path(name);
        writeOgg(file, 2, 22050, frames,
                 [](int frame, int channel) { return 0.5f * std::sin(frame * 0.1f + channel); });
        return file;
    }
};

TEST_F(Sources, WavDeliversOnlyTheDataChunks)
{
    std::vector<short> first{1, 2, 3, 4}, second{5, 6};
    std::string file = this->path("chunks.wav");
    writeFile(file, riff(chunk("LIST", "INFOtext") + fmtChunk(1, 8000, 16) + chunk("data", pcm16(first)) +
                         chunk("LIST", "junk!") + chunk("data", pcm16(second)) + chunk("LIST", "tail")));
    yim::WAV_Source source(file, this->audio->getCategory("disk"));
    ASSERT_TRUE(source.open());
    EXPECT_EQ(source.getSize(), 12);
    EXPECT_EQ(source.getChannels(), 1);
    EXPECT_EQ(source.getSamplingRate(), 8000);
    EXPECT_FLOAT_EQ(source.getDuration(), 12.0f / 16000);
    EXPECT_EQ(readAllOf(source), pcm16({1, 2, 3, 4, 5, 6}));
    // Streamed in pieces the same; the chunks after the audio never play.
    source.rewind();
    unsigned char piece[64] = {};
    EXPECT_EQ(source.loadChunk(piece, 6), 6);
    EXPECT_EQ(source.loadChunk(piece + 6, 58), 6);
    EXPECT_EQ(std::string((char*)piece, 12), pcm16({1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(source.loadChunk(piece, 8), 0);
}

TEST_F(Sources, WavRefusesFormatsItCannotPlayAndCutsOverlongData)
{
    const std::pair<const char*, std::string> refused[] = {
        {"extended", riff(chunk("fmt ", fmtChunk(2, 44100, 16).substr(8) + std::string(2, '\0')) +
                          chunk("data", "abcd"))},
        {"compressed", riff(fmtChunk(2, 44100, 16, 3) + chunk("data", "abcd"))},
        {"rate0", riff(fmtChunk(2, 0, 16) + chunk("data", "abcd"))},
        {"bits0", riff(fmtChunk(2, 44100, 0) + chunk("data", "abcd"))},
        {"channels0", riff(fmtChunk(0, 44100, 16) + chunk("data", "abcd"))},
    };
    for (const auto& [name, bytes] : refused)
    {
        writeFile(this->path(name), bytes);
        yim::WAV_Source source(this->path(name), this->audio->getCategory("disk"));
        EXPECT_FALSE(source.open()) << name;
        EXPECT_FALSE(source.isOpen()) << name;
    }
    // A "data" size beyond the file counts the bytes there are; an odd size's pad byte is no sample.
    writeFile(this->path("cut.wav"),
              riff(fmtChunk(1, 8000, 8)) + "data" + littleEndian(0xFFFFFFF0u, 4) + "abc");
    yim::WAV_Source cut(this->path("cut.wav"), this->audio->getCategory("disk"));
    ASSERT_TRUE(cut.open());
    EXPECT_EQ(cut.getSize(), 3);
    EXPECT_EQ(readAllOf(cut), "abc");
    writeFile(this->path("odd.wav"), riff(fmtChunk(1, 8000, 8) + chunk("data", "abc") + chunk("data", "de")));
    yim::WAV_Source odd(this->path("odd.wav"), this->audio->getCategory("disk"));
    ASSERT_TRUE(odd.open());
    EXPECT_EQ(readAllOf(odd), "abcde");
}

TEST_F(Sources, MemoryModeReadsTheFileOnce)
{
    std::string file = this->path("ram.wav");
    writeFile(file, riff(fmtChunk(1, 8000, 16) + chunk("data", pcm16({7, 8}))));
    yim::WAV_Source source(file, this->audio->getCategory("ram"));
    ASSERT_TRUE(source.open());
    source.close();
    remove(file.c_str());
    ASSERT_TRUE(source.open());
    EXPECT_EQ(readAllOf(source), pcm16({7, 8}));
    LogCapture log;
    yim::WAV_Source missing(file, this->audio->getCategory("disk"));
    EXPECT_FALSE(missing.open());
    unsigned char byte;
    EXPECT_EQ(missing.loadChunk(&byte, 1), 0);
    EXPECT_EQ(log.take(),
              (harray<hstring>{"ERROR: Unable to open: " + file, "ERROR: File not open: " + file}));
}

TEST_F(Sources, OggLoadsAsVorbisfileDecodes)
{
    std::string file = this->stereoOgg("tone.ogg", 5000);
    yim::OGG_Source source(file, this->audio->getCategory("disk"));
    ASSERT_TRUE(source.open());
    EXPECT_EQ(source.getSize(), 20000);
    EXPECT_EQ(source.getSamplingRate(), 22050);
    EXPECT_FLOAT_EQ(source.getDuration(), 5000.0f / 22050);
    std::vector<short> expected = decodeOgg(file);
    EXPECT_EQ(readAllOf(source), pcm16(expected)); // the last read fills the buffer exactly
    LogCapture log;
    writeFile(this->path("text.ogg"), "not a vorbis stream at all");
    yim::OGG_Source bad(this->path("text.ogg"), this->audio->getCategory("disk"));
    EXPECT_FALSE(bad.open());
    EXPECT_FALSE(bad.isOpen());
    EXPECT_TRUE(log.contains("ERROR: OGG: error reading data! " + this->path("text.ogg")));
}

// The decoder converts its samples to 16 bits itself: every channel count, clipped peaks and pieces of
// any size must come out as vorbisfile's own reading gives them.
TEST_F(Sources, OggSamplesMatchVorbisfileInEveryShape)
{
    const struct
    {
        const char* name;
        int channels;
        float amplitude;
    } shapes[] = {{"mono", 1, 0.7f}, {"stereo-clipped", 2, 3.0f}, {"three", 3, 0.5f}, {"quiet", 2, 1e-4f}};
    for (const auto& shape : shapes)
    {
        std::string file = this->path(std::string(shape.name) + ".ogg");
        float amplitude = shape.amplitude;
        writeOgg(
            file, shape.channels, 44100, 9001,
            [amplitude](int frame, int channel)
            { return amplitude * std::sin(frame * (0.01f + 0.003f * channel)) * std::cos(frame * 7e-4f); });
        std::vector<short> expected = decodeOgg(file);
        yim::OGG_Source source(file, this->audio->getCategory("disk"));
        ASSERT_TRUE(source.open()) << shape.name;
        EXPECT_EQ(readAllOf(source), pcm16(expected)) << shape.name;
        // In pieces that end mid-frame: a piece stops at its last whole frame, as vorbisfile's does.
        source.rewind();
        std::string pieces;
        const int frameBytes = 2 * shape.channels;
        for (int size : {frameBytes * 7 + 1, 4099, frameBytes - 1, 65536})
        {
            std::string piece(size, '\0');
            int read = source.loadChunk((unsigned char*)&piece[0], size);
            EXPECT_EQ(read % frameBytes, 0) << shape.name;
            EXPECT_LE(read, size) << shape.name;
            pieces += piece.substr(0, read);
        }
        EXPECT_EQ(pieces, pcm16(expected)) << shape.name;
    }
}

TEST_F(Sources, DamagedFilesFailCleanly)
{
    std::string ogg = readFile(this->stereoOgg("good.ogg", 8000));
    std::string wav = riff(fmtChunk(2, 22050, 16) + chunk("data", pcm16(std::vector<short>(4000, 99))));
    unsigned char sink[1 << 16];
    int variants = 0;
    for (const std::string* original : {&ogg, &wav})
    {
        std::string extension = original == &ogg ? ".ogg" : ".wav";
        for (size_t at = 0; at < original->size(); at += 1 + at / 16)
        {
            std::string flipped = *original;
            flipped[at] = (char)~flipped[at];
            for (const std::string& bytes : {original->substr(0, at), flipped})
            {
                std::string name = "damaged" + std::to_string(variants++) + extension;
                writeFile(this->path(name), bytes);
                yim::Sound* sound =
                    this->audio->createSound(this->path(name), variants % 2 ? "disk" : "music");
                ASSERT_NE(sound, nullptr);
                this->audio->play(sound->getName(), 0.0f, variants % 3 == 0);
                this->audio->update(0.01f);
                yim::openal::renderLoopback((float*)sink, 441);
                this->audio->update(0.01f);
                this->audio->stop(sound->getName());
                this->audio->destroySound(sound);
            }
        }
    }
    EXPECT_GT(variants, 200);
}

TEST_F(Sources, ALoopingStreamOfNothingEnds)
{
    writeFile(this->path("empty.wav"), riff(fmtChunk(2, 44100, 16) + chunk("data", "")));
    this->audio->createSound(this->path("empty.wav"), "music");
    yim::Player* player = this->audio->createPlayer("empty");
    player->play(0.0f, true);
    this->render(5);
    EXPECT_FALSE(player->isPlaying());
    this->audio->destroyPlayer(player);
}
