#include <tesraui/Container.h>
#include <tesraui/ScrollArea.h>
#include <tesraui/ScrollBarH.h>

#include "WidgetTestSupport.h"

using kavtypes::Vector2;
using tesraui::ScrollArea;

namespace
{
    const float DT = 0.02f;

    // A view of 100 by 100 over an area of 400 by 400 with a horizontal bar; the rest of the root is
    // somewhere else to press and release.
    const char* const datasetXml = R"(<Dataset>
  <Object type="Container" name="root" rect="0,0,400,200">
    <Object type="Container" name="view" rect="0,0,100,100">
      <Object type="ScrollArea" name="area" rect="0,0,400,400" allow_drag="1"/>
      <Object type="ScrollBarH" name="bar" rect="0,96,100,4"/>
    </Object>
  </Object>
</Dataset>)";

    // Releases of presses that the area never took, as every release of the tree passes by the area.
    class StrayReleases : public testing::Test
    {
    protected:
        uitest::ResourceFolder folder;
        uitest::UiLibrary library;
        std::unique_ptr<tesraui::Dataset> dataset;
        tesraui::Object* root = nullptr;
        ScrollArea* area = nullptr;

        void SetUp() override
        {
            folder.write("ui/release.xml", datasetXml);
            dataset.reset(new tesraui::Dataset("ui/release.xml", "r"));
            dataset->load();
            root = dataset->getRoot();
            area = dynamic_cast<ScrollArea*>(dataset->getObject("area"));
        }

        void step(float x, float y, float dt = DT)
        {
            tesraui::setCursorPosition(Vector2(x, y));
            dataset->clearChildUnderCursorCaches();
            root->onMouseMove();
            tesraui::update(dt);
        }

        void strayRelease()
        {
            step(300, 150, 0.0f);
            root->onMouseUp(1);
        }

        // Where the area comes to rest, bounded by a generous time.
        Vector2 rest()
        {
            for (float t = 0.0f; area->isScrolling() && t < 10.0f; t += DT)
            {
                step(300, 150);
            }
            EXPECT_FALSE(area->isScrolling());
            return area->getScrollOffset();
        }
    };
} // namespace

TEST_F(StrayReleases, LeaveARunningFlingOnItsCourse)
{
    Vector2 rests[2];
    for (int strays = 0; strays < 2; ++strays)
    {
        area->setScrollOffset(0, 0);
        step(60, 60, 0.0f);
        root->onMouseDown(1);
        for (float x : {40.0f, 28.0f, 16.0f})
        {
            step(x, 60);
        }
        root->onMouseUp(1);
        ASSERT_TRUE(area->isScrolling());
        step(300, 150);
        step(300, 150);
        if (strays > 0)
        {
            strayRelease();
            step(300, 150);
            strayRelease();
        }
        rests[strays] = rest();
    }
    EXPECT_GT(rests[0].x, 44.0f);
    EXPECT_EQ(rests[1], rests[0]);
}

TEST_F(StrayReleases, LeaveARestingAreaBetweenGridSteps)
{
    dataset->getObject("bar")->setProperty("grid_size", "50");
    area->setScrollOffset(30, 0);
    strayRelease();
    EXPECT_EQ(rest(), Vector2(30, 0));
}
