#include <filesystem>

#include <tesraui/Dataset.h>

#include "EngineHarness.h"
#include "Profile.h"
#include "SessionState.h"
#include "Variables.h"
#include "objects/InventoryPane.h"
#include "ui/UI.h"

using namespace vumo;

// The inventory pane follows the live "items" alone: reading or making other profiles goes through
// copies of the variables.
TEST(InventoryPaneProfiles, ReadingOrMakingOtherProfilesLeavesThePaneWithTheCarriedItems)
{
    Session::forgetUserFolder();
    Session::forgetConfig();
    harness::GameFolder folder;
    folder.config();
    std::filesystem::create_directories(folder.path + "/data/ui");
    for (const char* texture : {"items", "InventoryPane"})
    {
        std::filesystem::copy_file(harness::anyPicture(), folder.path + "/data/ui/" + texture + ".png");
    }
    folder.put("data/ui/ui.dts",
               "<Dataset><Texture filename='items'><Image name='a' rect='0,0,8,8'/>"
               "<Image name='c' rect='0,0,8,8'/></Texture><Texture filename='InventoryPane'>"
               "<Image name='use_item_icon' rect='0,0,8,8'/>"
               "<Image name='combine_item_icon' rect='0,0,8,8'/></Texture>"
               "<Object type='InventoryPane' name='pane' rect='0,0,100,50'/></Dataset>");
    harness::Engine engine(folder);
    engine.start();
    InventoryPane* pane = dynamic_cast<InventoryPane*>(UI::getUIDataset()->getObject("pane"));
    ASSERT_NE(pane, nullptr);
    Variable& items = VariableDictionary::getGlobal().get("items");
    Profile::changeProfile(Profile::create("Other"));
    items.set("c");
    ASSERT_TRUE(Session::getProfile()->saveToFile());
    Profile::changeProfile(Profile::create("Mine"));
    items.set("a");
    auto cells = [pane] {
        return hstring(pane->getCell("a") != nullptr ? "a" : "") + (pane->getCell("c") != nullptr ? "c" : "");
    };
    ASSERT_EQ(cells(), "a");
    EXPECT_EQ(engine.lua("profile.list().Other"), "Other");
    EXPECT_EQ(cells(), "a");
    EXPECT_EQ(engine.lua("profile.create('New')"), "New");
    EXPECT_EQ(cells(), "a");
}
