#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <yim/Category.h>
#include <yim/NoAudio_AudioManager.h>
#include <yim/Player.h>
#include <yim/Sound.h>
#include <yim/Source.h>

#include "YimTestSupport.h"

namespace
{
    typedef std::vector<std::string> Journal;

    class JournalPlayer : public yim::NoAudio_Player
    {
    public:
        JournalPlayer(yim::Sound* sound, Journal* journal) : NoAudio_Player(sound), journal(journal) {}
        ~JournalPlayer() override { this->journal->push_back("player " + this->getSound()->getName()); }

    private:
        Journal* journal;
    };

    class JournalSource : public yim::Source
    {
    public:
        JournalSource(const hstring& filename, yim::Category* category, Journal* journal)
            : Source(filename, category), journal(journal)
        {
        }
        ~JournalSource() override { this->journal->push_back("source " + this->getFilename()); }

    private:
        Journal* journal;
    };

    // The silent back-end whose players and sources note in a journal when they go.
    class JournalManager : public yim::NoAudio_AudioManager
    {
    public:
        explicit JournalManager(Journal* journal)
            : NoAudio_AudioManager(0, false, 0.01f, ""), journal(journal)
        {
        }

        std::unique_ptr<yim::Player> _createSystemPlayer(yim::Sound* sound) override
        {
            return std::make_unique<JournalPlayer>(sound, this->journal);
        }

        std::unique_ptr<yim::Source> _createSource(const hstring& filename, yim::Category* category,
                                                   yim::Format) override
        {
            return std::make_unique<JournalSource>(filename, category, this->journal);
        }

    private:
        Journal* journal;
    };
} // namespace

// Whatever the manager lets go of goes once, when it is let go of, in the order the lists hold.
TEST(Ownership, EachWayOutFreesWhatWasMadeOnce)
{
    struct Case
    {
        std::string name;
        std::function<void(yim::AudioManager*)> run;
        Journal expected;
    };
    std::vector<Case> cases = {
        {"a sound refused for its name",
         [](yim::AudioManager* audio)
         {
             audio->createSound("a/hum.wav", "fx");
             EXPECT_EQ(audio->createSound("b/hum.wav", "fx"), nullptr);
         },
         {"source b/hum.wav"}},
        {"a destroyed sound",
         [](yim::AudioManager* audio) { audio->destroySound(audio->createSound("hum.wav", "fx")); },
         {"source hum.wav"}},
        {"a destroyed player of a streamed sound, with its own stream",
         [](yim::AudioManager* audio)
         {
             audio->createSound("song.ogg", "music");
             audio->destroyPlayer(audio->createPlayer("song"));
         },
         {"player song", "source song.ogg"}},
        {"a destroyed player of a decoded sound, whose buffer stays",
         [](yim::AudioManager* audio)
         {
             audio->createSound("hum.wav", "fx");
             audio->destroyPlayer(audio->createPlayer("hum"));
         },
         {"player hum"}},
        {"a clear: players in their order, then sounds by name",
         [](yim::AudioManager* audio)
         {
             audio->createSound("b.wav", "fx");
             audio->createSound("a.wav", "music");
             audio->createPlayer("b");
             audio->createPlayer("a");
             audio->clear();
         },
         {"player b", "player a", "source a.wav", "source a.wav", "source b.wav"}},
        {"a manager ended without a clear, in the clear's order",
         [](yim::AudioManager* audio)
         {
             audio->createSound("b.wav", "fx");
             audio->createSound("a.wav", "music");
             audio->createPlayer("b");
             audio->createPlayer("a");
             delete audio;
             yim::manager = nullptr;
         },
         {"player b", "player a", "source a.wav", "source a.wav", "source b.wav"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        LogCapture log;
        Journal journal;
        yim::manager = new JournalManager(&journal);
        yim::manager->init();
        yim::manager->createCategory("fx", yim::BufferMode::ON_DEMAND, yim::SourceMode::DISK);
        yim::manager->createCategory("music", yim::BufferMode::STREAMED, yim::SourceMode::DISK);
        c.run(yim::manager);
        EXPECT_EQ(journal, c.expected);
        journal.clear();
        yim::destroy();
    }
}
