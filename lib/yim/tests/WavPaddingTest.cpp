#include <algorithm>

#include <yim/Category.h>
#include <yim/Player.h>
#include <yim/Sound.h>
#include <yim/WAV_Source.h>

#include "YimTestSupport.h"

// Every RIFF chunk of odd size is followed by a pad byte, before the audio and between its chunks.
TEST_F(LoopbackTest, WavChunksOfOddSizeAreFollowedByTheirPadByte)
{
    audio->createCategory("fx", yim::BufferMode::ON_PLAY, yim::SourceMode::DISK);
    // 64 bytes: a "junk" chunk of 3 and its pad byte, then eight 8-bit samples.
    const std::string junk =
        riff(fmtChunk(1, 8000, 8) + "junk" + littleEndian(3, 4) + std::string("abc\0", 4) + "data" +
             littleEndian(8, 4) + "\x01\x02\x03\x04\x05\x06\x07\x08");
    ASSERT_EQ(junk.size(), 64u);
    const std::string between = riff(fmtChunk(1, 8000, 8) + chunk("data", "abc") + chunk("LIST", "x") +
                                     chunk("data", "de") + chunk("data", "fgh"));
    for (const auto& [name, bytes, expected] :
         {std::make_tuple("junk.wav", junk, "\x01\x02\x03\x04\x05\x06\x07\x08"),
          std::make_tuple("between.wav", between, "abcdefgh")})
    {
        writeFile(path(name), bytes);
        yim::WAV_Source source(path(name), audio->getCategory("fx"));
        ASSERT_TRUE(source.open()) << name;
        EXPECT_FLOAT_EQ(source.getDuration(), 0.001f) << name;
        std::string whole(8, '\0');
        ASSERT_TRUE(source.load((unsigned char*)&whole[0]));
        EXPECT_EQ(whole, expected) << name;
        // Streamed a byte at a time after a rewind, which forgets a pad byte still to skip.
        source.rewind();
        std::string pieces;
        unsigned char byte = 0;
        while (source.loadChunk(&byte, 1) == 1)
        {
            pieces += (char)byte;
        }
        EXPECT_EQ(pieces, expected) << name;
    }
    ASSERT_NE(audio->createSound(path("junk.wav"), "fx"), nullptr);
    yim::Player* player = audio->createPlayer("junk");
    player->play(0.0f, true);
    const std::vector<float> output = render(2);
    EXPECT_TRUE(std::any_of(output.begin(), output.end(), [](float sample) { return sample != 0.0f; }));
    audio->destroyPlayer(player);
}
