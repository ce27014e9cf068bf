#include <chrono>
#include <cstdlib>

#include "EngineHarness.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

// A start scene that leads nowhere: the player's output says that the name came from the configuration.
struct StartSceneRow
{
    const char* scene;
    const char* cause;
};

void PrintTo(const StartSceneRow& row, std::ostream* out)
{
    *out << row.scene;
}

class MistakenStartScene : public ::testing::TestWithParam<StartSceneRow>
{
};

TEST_P(MistakenStartScene, NamesTheKeyOfTheConfiguration)
{
    GameFolder folder;
    folder.config(std::string("scene: ") + GetParam().scene + "\n");
    folder.put("data/ui/ui.dts", "<Dataset/>");
    folder.put("data/chapters/c1/c1.datadef", "<Dataset/>");
    folder.put("data/chapters/c1/scenes/a.scene", "");
    EXPECT_NE(harness::runPlayer(folder), 0);
    const std::string output = harness::readFile(folder.path + "/out.txt");
    EXPECT_NE(output.find(std::string("Start scene '") + GetParam().scene +
                          "' from the key \"scene\" of cfg/vumo.cfg: "),
              std::string::npos)
        << output;
    EXPECT_NE(output.find(GetParam().cause), std::string::npos) << output;
}

INSTANTIATE_TEST_SUITE_P(Rows, MistakenStartScene,
                         ::testing::Values(StartSceneRow{"c1.nowhere",
                                                         "Scene 'nowhere' not found in chapter 'c1'"},
                                           StartSceneRow{"c9.a", "Chapter 'c9' not found!"},
                                           StartSceneRow{"a", "the name needs its chapter: '<chapter>.a'"}));

TEST(RightStartScene, StartsWithoutAWord)
{
    GameFolder folder;
    folder.emptyGame();
    Engine engine(folder);
    engine.start();
    engine.frame();
    ASSERT_NE(Session::getActiveScene(), nullptr);
    EXPECT_EQ(std::string(Session::getActiveScene()->getFullName()), "c1.a");
    EXPECT_EQ(engine.logText().find("Start scene"), std::string::npos);
}
