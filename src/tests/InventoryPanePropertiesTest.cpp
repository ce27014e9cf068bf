#include <memory>
#include <vector>

#include <gtest/gtest.h>
#include <quortypes/exception.h>

#include "objects/InventoryPane.h"
#include "objects/ItemReceiver.h"

using namespace vumo;

// A pane outside any dataset: no children built, so every name reads its empty or default answer.
class InventoryPaneProperties : public ::testing::Test
{
protected:
    InventoryPane pane{"o", kavtypes::Rectangle(0, 0, 500, 100)};
    ItemReceiver base{"b", kavtypes::Rectangle(0, 0, 500, 100)};
};

TEST_F(InventoryPaneProperties, TheBasesNamesComeFirstThenThePanesInOrder)
{
    const std::vector<std::pair<const char*, int>> own = {
        {"scrollarea", PropertyInfo::STRING},
        {"bullet_pane", PropertyInfo::STRING},
        {"bulletPaneOffset", PropertyInfo::FLOAT},
        {"itemContainer", PropertyInfo::STRING},
        {"allowItemCombination", PropertyInfo::BOOL},
        {"allowItemUseButton", PropertyInfo::BOOL},
        {"rollover_label", PropertyInfo::STRING},
        {"font", PropertyInfo::STRING},
        {"countLabelRect", PropertyInfo::STRING},
        {"selector", PropertyInfo::STRING},
        {"selected_selector", PropertyInfo::STRING},
        {"dragAndDropActive", PropertyInfo::BOOL},
        {"dragAndDropPanningEnabled", PropertyInfo::BOOL},
        {"dragAndDropDelay", PropertyInfo::FLOAT},
        {"dragAndDropPanningTreshold", PropertyInfo::FLOAT},
        {"dragAndDropPanningTresholdLeft", PropertyInfo::FLOAT},
        {"dragAndDropPanningTresholdRight", PropertyInfo::FLOAT},
        {"dragAndDropPanningTresholdTop", PropertyInfo::FLOAT},
        {"dragAndDropPanningTresholdBottom", PropertyInfo::FLOAT},
        {"currentPage", PropertyInfo::STRING},
        {"numPages", PropertyInfo::STRING},
        {"itemObject:%", PropertyInfo::STRING},
        {"itemPage:%", PropertyInfo::STRING},
    };
    const harray<PropertyInfo> described = pane.getPropertyDescriptions();
    const harray<PropertyInfo> inherited = base.getPropertyDescriptions();
    ASSERT_EQ(described.size(), inherited.size() + (int)own.size());
    for (int i = 0; i < inherited.size(); ++i)
    {
        EXPECT_EQ(described[i], inherited[i]) << i;
    }
    for (int i = 0; i < (int)own.size(); ++i)
    {
        EXPECT_EQ(described[inherited.size() + i], PropertyInfo(own[i].first, own[i].second)) << own[i].first;
    }
}

TEST_F(InventoryPaneProperties, DefaultsReadInTheirFormats)
{
    const std::vector<std::pair<const char*, const char*>> reads = {
        {"scrollarea", ""},
        {"bullet_pane", ""},
        {"bulletPaneOffset", "0.000000"},
        {"itemContainer", ""},
        {"allowItemCombination", "1"},
        {"allowItemUseButton", "1"},
        {"rollover_label", ""},
        {"font", ""},
        {"countLabelRect", "0.000000,0.600000,1.000000,0.400000"},
        {"selector", ""},
        {"selected_selector", ""},
        {"dragAndDropActive", "0"},
        {"dragAndDropPanningEnabled", "0"},
        {"dragAndDropPanningTreshold", "0.100000"},
        {"dragAndDropPanningTresholdLeft", "0.100000"},
        {"dragAndDropPanningTresholdBottom", "0.100000"},
        {"currentPage", "0"},
        {"numPages", "0"},
        {"itemObject:a", ""},
        {"itemObject:%", ""},
        {"itemPage:a", "-1"},
    };
    for (const auto& read : reads)
    {
        EXPECT_EQ(pane.getProperty(read.first), read.second) << read.first;
    }
}

TEST_F(InventoryPaneProperties, WritableNamesAreTakenAndReadBack)
{
    struct Case
    {
        const char* name;
        const char* value;
        const char* read;
    };
    const std::vector<Case> cases = {
        {"bulletPaneOffset", "-230", "-230.000000"},
        {"allowItemCombination", "0", "0"},
        {"allowItemUseButton", "0", "0"},
        {"font", "small", "small"},
        {"countLabelRect", "0.5,0.25,0.5,0.75", "0.500000,0.250000,0.500000,0.750000"},
        {"dragAndDropPanningTresholdTop", "0.4", "0.400000"},
        // Out of range: taken, and nothing changes.
        {"dragAndDropPanningTresholdRight", "2", "0.100000"},
        {"dragAndDropPanningTreshold", "-1", "0.100000"},
        // No page to go to.
        {"currentPage", "1", "0"},
        // No boxes built yet: nothing to show the picture on.
        {"selector", "0xFF0000", ""},
    };
    for (const Case& c : cases)
    {
        InventoryPane fresh("f", kavtypes::Rectangle(0, 0, 500, 100));
        EXPECT_TRUE(fresh.setProperty(c.name, c.value)) << c.name;
        EXPECT_EQ(fresh.getProperty(c.name), c.read) << c.name;
    }
    EXPECT_THROW(pane.setProperty("countLabelRect", "1,2"), quortypes::exception);
    EXPECT_EQ(pane.getProperty("countLabelRect"), "0.000000,0.600000,1.000000,0.400000");
}

TEST_F(InventoryPaneProperties, NamesThePaneDoesNotServeReachTheBase)
{
    // Read-only names are not taken by setting.
    for (const char* name : {"scrollarea", "itemContainer", "dragAndDropActive", "dragAndDropPanningEnabled",
                             "numPages", "itemObject:a", "itemPage:a", "no_such_property"})
    {
        EXPECT_EQ(pane.setProperty(name, "1"), base.setProperty(name, "1")) << name;
        EXPECT_FALSE(pane.setProperty(name, "1")) << name;
    }
    // The delay is set but read as the base reads it.
    EXPECT_TRUE(pane.setProperty("dragAndDropDelay", "2"));
    EXPECT_EQ(pane.getProperty("dragAndDropDelay"), base.getProperty("dragAndDropDelay"));
    EXPECT_TRUE(pane.setProperty("x", "7"));
    base.setProperty("x", "7");
    EXPECT_EQ(pane.getProperty("x"), base.getProperty("x"));
    EXPECT_EQ(pane.getProperty("no_such_property"), base.getProperty("no_such_property"));
}
