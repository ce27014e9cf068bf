#include <yim/Category.h>
#include <yim/Player.h>

#include "YimTestSupport.h"

TEST(Thread, ThreadedManagerStepsAloneAndSurvivesManyCalls)
{
    std::string folder = testFolder();
    writeConstantWav(folder + "/beep.wav", 4410, 1000);
    writeOgg(folder + "/song.ogg", 2, 44100, 44100, [](int frame, int) { return (frame % 100) / 200.0f; });
    yim::init(yim::SystemType::AS_DEFAULT, 0, true, 0.01f);
    yim::AudioManager* audio = yim::manager;
    ASSERT_TRUE(audio->isThreaded());
    audio->createCategory("fx", yim::BufferMode::MANAGED, yim::SourceMode::DISK);
    audio->createCategory("music", yim::BufferMode::STREAMED, yim::SourceMode::DISK);
    audio->createSound(folder + "/beep.wav", "fx");
    audio->createSound(folder + "/song.ogg", "music");
    yim::Player* song = audio->createPlayer("song");
    song->play(0.0f, true);
    for (int i = 0; i < 10000; ++i)
    {
        const char* name = i % 2 ? "beep" : "song";
        switch (i % 7)
        {
        case 0:
            audio->stop(name, 0.0f);
            break;
        case 1:
            audio->suspendAudio();
            break;
        case 2:
            audio->resumeAudio();
            break;
        case 3:
            audio->destroyPlayer(audio->createPlayer(name));
            break;
        case 4:
            song->pause(i % 3 ? 0.0f : 0.05f);
            song->play(0.0f, true);
            break;
        default:
            audio->play(name, i % 3 ? 0.0f : 0.02f);
            break;
        }
        (void)song->isPlaying();
        (void)audio->isAnyPlaying(name);
    }
    audio->resumeAudio();
    audio->update(100.0f); // the thread alone updates
    EXPECT_TRUE(song->isPlaying());
    audio->destroyPlayer(song);
    yim::destroy();
}
