#include <cstring>

#include <tesraui/CallbackObject.h>
#include <tesraui/Container.h>

#include "UiTestSupport.h"

using namespace tesraui;
using kavtypes::Rectangle;
using kavtypes::Vector2;

namespace
{
    const unsigned int BLACK = 0x000000FF;

    class DrawTest : public uitest::UiWindowTest
    {
    protected:
        DrawTest() { this->windowWidth = 320, this->windowHeight = 240; }
    };
} // namespace

TEST_F(DrawTest, derivedColoursAndClipsWithTheStateRestored)
{
    tesra::RenderSystem* rs = tesra::rendersys;
    Rectangle projection = rs->getOrthoProjection(), viewport = rs->getViewport();
    Container root("root", Rectangle(0, 0, 320, 240));
    Container faded("faded", Rectangle(200, 50, 100, 100));
    faded.setAlpha(128);
    ColoredQuad red("red", Rectangle(10, 10, 20, 20)), hidden("hidden", Rectangle(50, 50, 20, 20)),
        underHidden("underHidden", Rectangle(0, 0, 10, 10));
    red.setColor(tesra::Color(255, 0, 0, 255));
    hidden.setAlpha(0);
    // A clipped child draws only inside its parent.
    Container frame("frame", Rectangle(100, 100, 50, 50));
    ColoredQuad green("green", Rectangle(-50, -50, 200, 200));
    green.setColor(tesra::Color(0, 255, 0, 255));
    green.setClip(true);
    // Drawn after the clipped subtree, so it shows whether the state came back.
    ColoredQuad blue("blue", Rectangle(10, 10, 5, 5));
    blue.setColor(tesra::Color(0, 0, 255, 255));
    blue.setZOrder(1);
    for (auto [parent, child] : {std::pair<Object*, Object*>{&root, &faded},
                                 {&faded, &red},
                                 {&faded, &hidden},
                                 {&hidden, &underHidden},
                                 {&root, &frame},
                                 {&frame, &green},
                                 {&root, &blue}})
        parent->addChild(child);
    root.draw();
    EXPECT_EQ(rs->getOrthoProjection(), projection);
    EXPECT_EQ(rs->getViewport(), viewport);
    EXPECT_EQ(memcmp(rs->getModelviewMatrix().data, kavtypes::Matrix4().data, sizeof(float) * 16), 0);
    std::unique_ptr<tesra::Image> shot = grab();
    unsigned int fadedRed = pixel(*shot, 210, 60);
    EXPECT_NEAR((int)(fadedRed >> 24), 128, 2);
    EXPECT_EQ(fadedRed & 0x00FFFF00u, 0u);
    int outside = 0;
    for (int y = 0; y < 240; ++y)
    {
        for (int x = 0; x < 320; ++x)
        {
            bool inFrame = x >= 100 && x < 150 && y >= 100 && y < 150;
            bool inBlue = x >= 10 && x < 15 && y >= 10 && y < 15;
            bool inRed = x >= 210 && x < 230 && y >= 60 && y < 80;
            unsigned int expected = inFrame ? 0x00FF00FF : inBlue ? 0x0000FFFF : inRed ? fadedRed : BLACK;
            outside += pixel(*shot, x, y) != expected ? 1 : 0;
        }
    }
    EXPECT_EQ(outside, 0);
}

TEST_F(DrawTest, drawingPutsTheMatrixBackExactlyUnderMovedRotatedAndScaledObjects)
{
    tesra::RenderSystem* rs = tesra::rendersys;
    rs->translate(3.3f, 7.7f);
    rs->rotate(30.0f);
    rs->scale(1.5f, 0.75f);
    const kavtypes::Matrix4 before = rs->getModelviewMatrix();
    Container root("root", Rectangle(13.1f, 17.9f, 100, 100));
    ColoredQuad moved("moved", Rectangle(0.7f, 0.3f, 10, 10)),
        centered("centered", Rectangle(5.5f, 6.1f, 10, 10)),
        rotated("rotated", Rectangle(20.2f, 1.9f, 10, 10)), scaled("scaled", Rectangle(-4.4f, 9.3f, 10, 10)),
        underRotated("underRotated", Rectangle(1.1f, 2.3f, 4, 4)),
        underMoved("underMoved", Rectangle(0.1f, 0.9f, 4, 4));
    centered.setCenter(2.7f, 3.1f);
    rotated.setAngle(17.0f);
    scaled.setScale(1.3f, 0.6f);
    for (auto [parent, child] : {std::pair<Object*, Object*>{&root, &moved},
                                 {&moved, &centered},
                                 {&centered, &underMoved},
                                 {&root, &rotated},
                                 {&rotated, &underRotated},
                                 {&root, &scaled}})
        parent->addChild(child);
    root.draw();
    EXPECT_EQ(memcmp(rs->getModelviewMatrix().data, before.data, sizeof(float) * 16), 0);
    rs->setModelviewMatrix(kavtypes::Matrix4());
}

TEST_F(DrawTest, clipInsideAnEmptyClipDrawsNothing)
{
    Rectangle viewport = tesra::rendersys->getViewport();
    Container flat("flat", Rectangle(10, 10, 0, 50));
    ColoredQuad outer("outer", Rectangle(0, 0, 100, 100)), inner("inner", Rectangle(0, 0, 100, 100));
    outer.setClip(true);
    inner.setClip(true);
    flat.addChild(&outer);
    outer.addChild(&inner);
    // Reached only with whatever viewport the empty clips would have left: none at all.
    CallbackObject probe("probe", Rectangle(0, 0, 10, 10));
    probe.setDrawCallback([](CallbackObject*) { FAIL(); });
    inner.addChild(&probe);
    flat.draw();
    EXPECT_EQ(tesra::rendersys->getViewport(), viewport);
    EXPECT_EQ(pixel(*grab(), 20, 20), BLACK);
}

TEST_F(DrawTest, nestedClipsComposeInsideAViewportAwayFromTheOrigin)
{
    // Two units per pixel in a viewport whose corner is (40, 30): a unit point p lands on pixel
    // (40, 30) + p / 2.
    tesra::RenderSystem* rs = tesra::rendersys;
    const Rectangle viewport(40, 30, 240, 180), projection(0, 0, 480, 360);
    rs->setViewport(viewport);
    rs->setOrthoProjection(projection);
    Container root("root", Rectangle(0, 0, 480, 360)), a("a", Rectangle(40, 40, 200, 160)),
        b("b", Rectangle(100, 60, 200, 200));
    ColoredQuad fill("fill", Rectangle(-500, -500, 2000, 2000)), mark("mark", Rectangle(520, 520, 20, 20));
    fill.setColor(tesra::Color(0, 255, 0, 255));
    mark.setColor(tesra::Color(255, 0, 0, 255));
    a.setClip(true);
    b.setClip(true);
    fill.setClip(true);
    root.addChild(&a);
    a.addChild(&b);
    b.addChild(&fill);
    fill.addChild(&mark);
    root.draw();
    EXPECT_EQ(rs->getViewport(), viewport);
    EXPECT_EQ(rs->getOrthoProjection(), projection);
    // The fill is cut to b's bounds (140, 100)-(340, 300) within a's (40, 40)-(240, 200); the mark at
    // (160, 120)-(180, 140) lands where it would unclipped.
    std::unique_ptr<tesra::Image> shot = grab();
    int wrong = 0;
    for (int y = 0; y < 240; ++y)
    {
        for (int x = 0; x < 320; ++x)
        {
            const bool inMark = x >= 120 && x < 130 && y >= 90 && y < 100;
            const bool inFill = x >= 110 && x < 160 && y >= 80 && y < 130;
            const unsigned int expected = inMark ? 0xFF0000FF : inFill ? 0x00FF00FF : BLACK;
            wrong += pixel(*shot, x, y) != expected ? 1 : 0;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(DrawTest, transformedQuadCoversWhatItsHitTestSays)
{
    Container parent("parent", Rectangle(40, 20, 200, 150));
    parent.setAngle(10);
    parent.setScale(1.2f, 0.9f);
    ColoredQuad quad("quad", Rectangle(60, 40, 80, 40));
    quad.setAngle(-35);
    quad.setScale(1.5f, 0.8f);
    quad.setCenter(20, 10);
    parent.addChild(&quad);
    parent.draw();
    std::unique_ptr<tesra::Image> shot = grab();
    // Points a few units inside and outside each edge and corner, in the quad's own space.
    for (float x : {-4.0f, 4.0f, 40.0f, 76.0f, 84.0f})
    {
        for (float y : {-4.0f, 4.0f, 20.0f, 36.0f, 44.0f})
        {
            Vector2 screen = quad.getDerivedPoint(Vector2(x, y));
            bool inside = x > 0 && x < 80 && y > 0 && y < 40;
            EXPECT_EQ(quad.isPointInside(screen), inside) << x << "," << y;
            EXPECT_EQ(pixel(*shot, (int)screen.x, (int)screen.y) != BLACK, inside) << x << "," << y;
        }
    }
}
