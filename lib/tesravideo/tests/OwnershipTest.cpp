#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <tesravideo/TheoraException.h>
#include <tesravideo/TheoraVideoClip.h>

#include "VideoTestSupport.h"

using namespace videotest;

namespace
{
    typedef std::vector<std::string> Journal;

    // A file in memory that notes in a journal when it goes.
    class JournalSource : public TheoraMemoryFileDataSource
    {
    public:
        JournalSource(const std::string& bytes, const std::string& name, Journal* journal)
            : TheoraMemoryFileDataSource(copyOf(bytes), (long)bytes.size(), name), journal(journal)
        {
        }
        ~JournalSource() override { this->journal->push_back("freed " + this->repr()); }

    private:
        Journal* journal;

        static std::unique_ptr<unsigned char[]> copyOf(const std::string& bytes)
        {
            std::unique_ptr<unsigned char[]> data(new unsigned char[bytes.size() > 0 ? bytes.size() : 1]);
            memcpy(data.get(), bytes.data(), bytes.size());
            return data;
        }
    };
} // namespace

// A clip's source goes once, with the clip, whichever way the clip ends or fails to begin.
TEST(ClipOwnership, EachWayOutFreesTheSourceOnce)
{
    LogCapture log;
    const std::string& good = video(VideoPlan());
    struct Case
    {
        std::string name;
        std::function<void(Journal*)> run;
        Journal expected;
    };
    std::vector<Case> cases = {
        {"a refused output mode",
         [&good](Journal* journal)
         {
             EXPECT_THROW(TheoraVideoClip_Theora(std::make_unique<JournalSource>(good, "mode", journal),
                                                 TH_UNDEFINED, 4, false),
                          _TheoraGenericException);
         },
         {"freed MEM:mode"}},
        {"a load the manager refuses",
         [](Journal* journal)
         {
             TheoraVideoManager manager(1);
             EXPECT_THROW(manager.createVideoClip(
                              std::make_unique<JournalSource>("not a video", "load", journal), TH_GREY),
                          _TheoraGenericException);
             EXPECT_TRUE(manager.getClips().empty());
             journal->push_back("manager ends");
         },
         {"freed MEM:load", "manager ends"}},
        {"a destroyed clip",
         [&good](Journal* journal)
         {
             TheoraVideoManager manager(1);
             TheoraVideoClip* kept =
                 manager.createVideoClip(std::make_unique<JournalSource>(good, "kept", journal), TH_GREY, 4);
             TheoraVideoClip* gone =
                 manager.createVideoClip(std::make_unique<JournalSource>(good, "gone", journal), TH_GREY, 4);
             manager.destroyVideoClip(gone);
             EXPECT_EQ(manager.getClips(), std::vector<TheoraVideoClip*>{kept});
             journal->push_back("manager ends");
         },
         {"freed MEM:gone", "manager ends", "freed MEM:kept"}},
        {"the manager's end, in the order the clips were made",
         [&good](Journal* journal)
         {
             TheoraVideoManager manager(2);
             manager.createVideoClip(std::make_unique<JournalSource>(good, "first", journal), TH_GREY, 4);
             manager.createVideoClip(std::make_unique<JournalSource>(good, "second", journal), TH_RGBA, 4);
         },
         {"freed MEM:first", "freed MEM:second"}},
        {"a clip driven by hand",
         [&good](Journal* journal)
         {
             auto clip = std::make_unique<TheoraVideoClip_Theora>(
                 std::make_unique<JournalSource>(good, "hand", journal), TH_GREY, 2, false);
             clip->load();
             clip->decodeNextFrame();
             clip.reset();
             journal->push_back("after the clip");
         },
         {"freed MEM:hand", "after the clip"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Journal journal;
        c.run(&journal);
        EXPECT_EQ(journal, c.expected);
    }
}
