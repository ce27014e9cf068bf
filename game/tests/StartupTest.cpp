#include "EngineHarness.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;
using harness::inOrder;

TEST(EngineStartup, DemoStartsAndStopsInOrderWithTheMergedLog)
{
    GameFolder folder;
    folder.copyDemo();
    {
        Engine engine(folder);
        engine.start();
        engine.frame(0.016f);
        EXPECT_EQ(engine.lua("ui.ready"), "true");
        engine.stop();
        EXPECT_TRUE(inOrder(
            engine.logText(),
            {"vumo: Initializing VUMO (v3.4.2, Lua 5.1.5)", "tesra: Initializing TESRA.",
             "vumo: Starting project 'VumoDemo'", "vumo: \nSystem Info:\n------------\nname: ", "\ncpuArch: ",
             "\nmaxTextureSize: ", "\nlocale: ", "\n------------\n", "vumo: initializing Lua interpreter",
             "vumo: loading data/lib/ui.lua", "tesraui: Initializing TesraUI.",
             "tesraui: Destroying TesraUI.", "tesra: Destroying TESRA.", "vumo: destroying Lua interpreter",
             "vumo: VUMO destroyed"}));
        // The demo ships what the engine reads for it and draws its own pointer: from start to end, through
        // a profile made and loaded, nothing is missing and nothing is let go twice, and the system cursors
        // it has no use for go unmentioned.
        const std::string log = engine.logText();
        for (const char* wrong : {"WARNING", "ERROR", "No Face registered", "cursors not found"})
        {
            size_t at = log.find(wrong);
            EXPECT_EQ(at, std::string::npos)
                << log.substr(at == std::string::npos ? 0 : log.rfind('\n', at) + 1, 200);
        }
        // The particle libraries live inside the UI library's span, the render system's textures with them.
        EXPECT_TRUE(inOrder(engine.logText(),
                            {"tesraui: Initializing TesraUI.", "tesraparticle: Initializing TesraParticle.",
                             "tesrauiparticle: Initializing TesraUIParticle.", "pirk: Initializing PIRK.",
                             "pirk: Destroying PIRK.", "tesrauiparticle: destroying TesraUIParticle.",
                             "tesraparticle: Destroying TesraParticle.", "tesraui: Destroying TesraUI.",
                             "tesra: Destroying TESRA."}));
    }
    const std::string merged = harness::readFile(folder.userFile("VumoDemo", "game.log"));
    EXPECT_TRUE(inOrder(
        merged, {"Initializing VUMO (v3.4.2, Lua 5.1.5)", "Starting project 'VumoDemo'", "VUMO destroyed"}));
}
