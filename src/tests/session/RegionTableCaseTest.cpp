#include <string>
#include <vector>

#include "ActionMapTestGame.h"
#include "EngineHarness.h"

using namespace vumo;

using harness::Engine;

// The hall of the action map game whose script names its region tables in mixed case; the scene "porch"
// has no map.
class RegionTableCase : public harness::GameTest
{
protected:
    void SetUp() override
    {
        actionmaptest::makeGame(folder);
        folder.put("data/chapters/room/scenes/hall.scene",
                   "layer = scene.ActionMap('hall', {w = 800, h = 600})\n"
                   "_ff0000 = { function() note('red') end }\n"
                   "_00Ff00 = { function() note('green') end }\n"
                   "_0000FF = { function() note('blue') end }\n"
                   "_abcdef = { function() note('no region') end }\n");
        folder.put("data/chapters/room/scenes/porch.scene", "_ff0000 = {}\n");
        Engine::log().clear();
        engine.reset(new Engine(folder));
        engine->start();
        engine->frame();
    }
    size_t warnings(const std::string& name)
    {
        return engine->logCount("defines the table '" + name + "', which no click calls");
    }
};

// A table that matches a region only in another case is reported once, naming the name it needs; a table of
// the right case, one of no region and one of a scene without a map are not.
TEST_F(RegionTableCase, ATableMatchingARegionOnlyInAnotherCaseWarnsOnce)
{
    for (int visit = 0; visit < 2; ++visit)
    {
        Session::changeScene("porch", 0.0f, "none");
        engine->frame();
        Session::changeScene("hall", 0.0f, "none");
        engine->frame();
    }
    struct Case
    {
        std::string name;
        size_t warnings;
    };
    for (const Case& c : std::vector<Case>{{"_ff0000", 1}, {"_00Ff00", 1}, {"_0000FF", 0}, {"_abcdef", 0}})
    {
        EXPECT_EQ(warnings(c.name), c.warnings) << c.name << "\n" << engine->logText();
    }
    EXPECT_NE(engine->logText().find("Scene 'room.hall' defines the table '_ff0000', which no click calls: "
                                     "region tables are named in upper case, '_FF0000'"),
              std::string::npos)
        << engine->logText();
}
