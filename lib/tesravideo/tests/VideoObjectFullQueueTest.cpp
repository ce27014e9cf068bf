#include <chrono>
#include <fstream>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include <quortypes/Dir.h>
#include <quortypes/Resource.h>
#include <quortypes_testing/TempFolder.h>
#include <tesra/tesra.h>
#include <tesra_testing/KeepLoadedLibraries.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>
#include <tesraui/tesraui.h>
#include <tesravideo/TheoraVideoClip.h>
#include <tesravideo/VideoObject.h>
#include <tesravideo/tesravideo.h>

#include "VideoWriter.h"

namespace
{
    struct Count : public tesraui::Event
    {
        int runs = 0;
        void execute(tesraui::EventArgs*) override { ++this->runs; }
    };
} // namespace

// The end of a video, and each wrap of a looping one, is raised once: while a flood of events kept the
// dataset's queue full it was dropped, and a script waiting for the end waited for ever. It waits for room
// in its turn now.
TEST(VideoObjectFullQueue, TheEndAndEachWrapComeWhileTheQueueIsFull)
{
    const hstring folder = quortypes_testing::makeTempFolder("tesravideo_full_");
    const hstring oldCwd = quortypes::Resource::getCwd();
    quortypes::Resource::setCwd(folder);
    quortypes::Dir::create(folder + "/data/video");
    std::ofstream(std::string(folder.c_str()) + "/data/video/count.ogv", std::ios::binary)
        << videotest::encodeVideo(VideoPlan());
    tesra::init();
    tesra::createRenderSystem();
    tesra::createWindow(128, 128, false, "tesravideo");
    tesra_testing::keepLoadedLibraries();
    tesraui::init();
    tesravideo::init(1);
    for (const char* loop : {"0", "1"})
    {
        tesraui::Dataset dataset("data/ui.xml");
        auto* root = new tesraui::Container("root", kavtypes::Rectangle(0, 0, 128, 128));
        dataset.registerObjects(root);
        auto* video = new tesravideo::VideoObject("video", kavtypes::Rectangle(0, 0, 64, 48));
        root->addChildAndRegister(video);
        video->setProperty("video", "count");
        video->setProperty("loop", loop);
        auto done = std::make_shared<Count>();
        video->registerEvent("PlaybackDone", done);
        auto nothing = std::make_shared<Count>();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (done->runs == 0 && std::chrono::steady_clock::now() < deadline)
        {
            while (dataset.hasRoomForEvents(1))
            {
                dataset.queueEvent(nothing, nullptr);
            }
            root->update(0.04f);
            root->draw();
            dataset.processEvents();
            // The worker sharing the processor gets its turn.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_EQ(done->runs, 1) << "loop " << loop;
        EXPECT_GT(nothing->runs, 0) << "loop " << loop;
    }
    tesraui::destroy();
    tesra::destroy();
    quortypes::Resource::setCwd(oldCwd);
    quortypes::Dir::remove(folder);
}
