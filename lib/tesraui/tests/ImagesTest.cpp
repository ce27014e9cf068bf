#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <tesraui/CompositeImage.h>
#include <tesraui/Image.h>
#include <tesraui/ImageBox.h>
#include <tesraui/Texture.h>
#include <tesraui/TiledImage.h>

#include "UiTestSupport.h"

using kavtypes::Rectangle;
using tesra::Color;
using uitest::Lines;
using uitest::LogCapture;

namespace
{
    const unsigned int RED = 0xFF0000FF, GREEN = 0x00FF00FF, BLUE = 0x0000FFFF, BLACK = 0x000000FF;

    // A loaded dataset holding the texture of uitest::quadsPng.
    class Images : public uitest::UiWindowTest
    {
    protected:
        tesraui::Dataset* dataset = nullptr;
        tesraui::Texture* texture = nullptr;
        harray<hstring> extensions;

        void SetUp() override
        {
            uitest::UiWindowTest::SetUp();
            this->extensions = tesra::getTextureExtensions();
            this->folder.write("gfx/quads.png", uitest::quadsPng());
            this->dataset = new tesraui::Dataset("", "images");
            this->dataset->load();
            this->texture = this->add("gfx/quads", true);
        }

        // A test may choose other texture extensions and scales; the next test finds the ones of before.
        void TearDown() override
        {
            tesraui::setTextureExtensionScales(this->extensions, {});
            uitest::UiWindowTest::TearDown();
        }

        // A nearest-filtered texture of the dataset, loaded; dynamic unless loaded at once.
        tesraui::Texture* add(const hstring& name, bool now)
        {
            tesra::Texture* renderTexture =
                tesra::rendersys->createTextureFromResource(name, tesra::Texture::Type::IMMUTABLE, now);
            renderTexture->setFilter(tesra::Texture::Filter::NEAREST);
            tesraui::Texture* texture =
                this->dataset->registerTexture(std::make_unique<tesraui::Texture>(name, renderTexture));
            texture->load();
            return texture;
        }

        // The pixel at x, 4 of a draw at the origin, drawn on black.
        static unsigned int drawn(tesraui::Image& image, float w = 8.0f, int x = 2)
        {
            tesra::rendersys->clear(true, false);
            image.draw(Rectangle(0, 0, w, 8), Color());
            return pixel(*grab(), x, 4);
        }

        // One frame as the engine runs it.
        static void frame(float timeDelta)
        {
            tesraui::processEvents();
            tesraui::update(timeDelta);
            tesraui::updateTextures(timeDelta);
        }
    };
} // namespace

TEST_F(Images, PropertiesAndTheirTextureCoordinates)
{
    tesraui::Image image(this->texture, "img", Rectangle(0, 0, 8, 8));
    EXPECT_EQ(drawn(image), RED);
    // Each setter takes effect on the next draw, also after the coordinates were computed.
    image.setProperty("position", "8,0");
    EXPECT_EQ(drawn(image), GREEN);
    image.setProperty("size", "16,8");
    image.setProperty("x", "0");
    image.setProperty("invert_x", "1");
    EXPECT_EQ(drawn(image), GREEN);
    image.setProperty("invert_x", "0");
    image.setProperty("rotated", "1"); // the left column on its side: red, then blue
    EXPECT_EQ(drawn(image, 16, 12), BLUE);
    image.setProperty("invert_y", "1");
    EXPECT_EQ(drawn(image, 16, 12), RED);
    image.setProperty("invert_y", "0");
    image.setProperty("color", "FF808080"); // a colour below white opaque tints the draw
    EXPECT_EQ(drawn(image), 0x800000FF);
    EXPECT_EQ(image.getProperty("texture"), "quads");

    LogCapture log;
    EXPECT_TRUE(image.setProperty("blend_mode", "screen"));
    EXPECT_EQ(image.getProperty("blend_mode"), "default");
    EXPECT_FALSE(image.setProperty("unknown", "1"));
    image.setProperty("vertical", "0");
    EXPECT_EQ(image.getProperty("invertx"), "0");
    EXPECT_EQ(log.take(), Lines({"WARNING: Value 'screen' does not exist for property 'blend_mode' in 'img'!",
                                 "WARNING: 'vertical=' is deprecated. Use 'rotated=' instead.",
                                 "WARNING: 'invertx' is deprecated. Use 'invert_x' instead."}));
    EXPECT_THROW(image.setProperty("size", "1"), quortypes::exception);
}

TEST_F(Images, TilesCompositesAndNothingToDraw)
{
    // A tile of 0 or under one unit, an empty rectangle and the null image in either form draw nothing, and
    // return.
    tesraui::TiledImage tiled(this->texture, "tiled", Rectangle(0, 0, 8, 8), 0.0f, 2.0f);
    tiled.draw(Rectangle(0, 0, 64, 64), Color());
    tiled.setProperty("tile", "-1e-5,-1e-5");
    tiled.draw(Rectangle(0, 0, 64, 64), Color());
    tiled.setTile(kavtypes::Vector2(2.0f, 2.0f));
    tiled.draw(Rectangle(0, 0, 0, 64), Color());
    tesraui::NullImage null;
    null.draw(harray<tesra::TexturedVertex>({tesra::TexturedVertex(0, 0, 0, 0, 0)}), Color());
    null.draw(Rectangle(0, 0, 64, 64), Color());
    EXPECT_EQ(pixel(*grab(), 4, 4), BLACK);
    // Tiles of 8 scrolled by 4: half a tile, then whole ones.
    tiled.setProperty("tile", "-8,-8");
    tiled.setProperty("scroll_x", "4");
    tiled.draw(Rectangle(0, 0, 24, 8), Color());
    // The vertex form maps 0..1 onto the source rectangle; a composite cannot draw it and says so.
    tesraui::Image green(this->texture, "green", Rectangle(8, 0, 8, 8));
    harray<tesra::TexturedVertex> triangle({tesra::TexturedVertex(40, 0, 0, 0, 0),
                                            tesra::TexturedVertex(56, 0, 0, 1, 0),
                                            tesra::TexturedVertex(40, 16, 0, 0, 1)});
    green.draw(triangle, Color());
    tesraui::CompositeImage composite("c", kavtypes::Vector2(100, 100));
    composite.addImageRef(&green, Rectangle(10, 10, 20, 20));
    LogCapture log;
    composite.draw(triangle, Color());
    EXPECT_EQ(log.take(),
              Lines{"WARNING: CompositeImage::draw(harray<tesra::TexturedVertex>, tesra::Color) is "
                    "currently not supported!"});
    composite.draw(Rectangle(60, 0, 200, 50), Color()); // the reference lands at 80, 5, 40 by 10
    // Whole-texture tiles on a clamping texture cannot be drawn as one quad: every inner tile repeats.
    tesraui::TiledImage whole(this->texture, "whole", Rectangle(0, 0, 16, 16), -16.0f, -16.0f);
    whole.draw(Rectangle(0, 16, 64, 48), Color());
    std::unique_ptr<tesra::Image> shot = grab();
    const std::tuple<int, int, unsigned int> pixels[] = {
        {20, 36, RED},  {36, 36, RED},  {36, 44, BLUE},   {2, 4, RED},    {20, 4, RED},   {26, 4, BLACK},
        {42, 2, GREEN}, {80, 5, GREEN}, {119, 14, GREEN}, {79, 5, BLACK}, {80, 15, BLACK}};
    for (const auto& [x, y, colour] : pixels)
        EXPECT_EQ(pixel(*shot, x, y), colour) << x << "," << y;
}

namespace
{
    // Counts the tiles it is asked to draw.
    class CountedTiles : public tesraui::TiledImage
    {
    public:
        using tesraui::TiledImage::TiledImage;
        int visited = 0;

    protected:
        int _drawTile(const Rectangle& clip, const Rectangle& tileRect, const Color& color,
                      bool skipUnclipped) override
        {
            ++this->visited;
            return tesraui::TiledImage::_drawTile(clip, tileRect, color, skipUnclipped);
        }
    };
} // namespace

// A tiled rectangle far larger than the 128 by 128 window visits the tiles on the screen only, however
// the rectangle lies and the matrices in force move, scale or turn it, and still covers the screen.
TEST_F(Images, ATiledImageVisitsOnlyTheTilesOnTheScreen)
{
    struct Case
    {
        const char* what;
        Rectangle rect;
        std::function<void(tesra::RenderSystem*)> move;
        int most;
    };
    // Tiles of 2 units: 64 by 64 on the screen, and a cut one at each edge.
    const int screen = 66 * 66;
    const Case cases[] = {
        {"from the corner", Rectangle(0, 0, 1000, 1000), [](tesra::RenderSystem*) {}, screen},
        {"centred", Rectangle(-500, -500, 1000, 1000), [](tesra::RenderSystem*) {}, screen},
        {"moved", Rectangle(0, 0, 1000, 1000), [](tesra::RenderSystem* rs) { rs->translate(-300, -700); },
         screen},
        {"halved", Rectangle(-500, -500, 1000, 1000), [](tesra::RenderSystem* rs) { rs->scale(0.5f, 0.5f); },
         132 * 132},
        {"turned", Rectangle(-500, -500, 1000, 1000),
         [](tesra::RenderSystem* rs)
         {
             rs->translate(64, 64);
             rs->rotate(45.0f);
         },
         // the bounds of the turned screen: its diagonal of 181 units, 91 tiles each way
         94 * 94},
    };
    for (const Case& c : cases)
    {
        CountedTiles tiled(this->texture, "tiled", Rectangle(0, 0, 8, 8), -2.0f, -2.0f);
        tesra::RenderSystem* rs = tesra::rendersys;
        const kavtypes::Matrix4 modelview = rs->getModelviewMatrix();
        rs->clear(true, false);
        c.move(rs);
        tiled.draw(c.rect, Color());
        rs->setModelviewMatrix(modelview);
        EXPECT_GT(tiled.visited, 0) << c.what;
        EXPECT_LE(tiled.visited, c.most) << c.what;
        std::unique_ptr<tesra::Image> shot = grab();
        for (const auto& [x, y] : {std::pair<int, int>{1, 1}, {64, 64}, {126, 126}, {1, 126}})
            EXPECT_EQ(pixel(*shot, x, y), RED) << c.what << " " << x << "," << y;
    }
    // Off the screen, under a matrix that flattens it, or placed at no number (the tile counts were cast
    // from NaN), nothing is visited.
    CountedTiles tiled(this->texture, "tiled", Rectangle(0, 0, 8, 8), -2.0f, -2.0f);
    tiled.draw(Rectangle(200, 0, 1000, 1000), Color());
    const kavtypes::Matrix4 modelview = tesra::rendersys->getModelviewMatrix();
    tesra::rendersys->scale(0.0f, 1.0f);
    tiled.draw(Rectangle(0, 0, 1000, 1000), Color());
    tesra::rendersys->setModelviewMatrix(modelview);
    tiled.draw(Rectangle(-std::numeric_limits<float>::infinity(), 0, 1000, 1000), Color());
    tiled.setProperty("scroll_y", "nan");
    tiled.draw(Rectangle(0, 0, 1000, 1000), Color());
    EXPECT_EQ(tiled.visited, 0);
}

// Drawing a composite that reaches itself again would recurse until the stack ran out.
TEST_F(Images, ACompositeRefusesAReferenceThatDrawsItInsideItself)
{
    tesraui::Image red(this->texture, "red", Rectangle(0, 0, 8, 8));
    tesraui::CompositeImage a("a", kavtypes::Vector2(8, 8)), b("b", kavtypes::Vector2(8, 8)),
        c("c", kavtypes::Vector2(8, 8));
    b.addImageRef(&red, Rectangle(0, 0, 8, 8));
    a.addImageRef(&b, Rectangle(0, 0, 8, 8));
    a.addImageRef(&b, Rectangle(0, 0, 4, 4)); // twice the same is no circle
    c.addImageRef(&a, Rectangle(0, 0, 8, 8));
    const std::pair<tesraui::CompositeImage*, tesraui::Image*> refused[] = {{&a, &a}, {&b, &a}, {&b, &c}};
    std::vector<std::string> messages;
    for (const auto& entry : refused)
    {
        const int before = entry.first->getImageRefs().size();
        messages.push_back(
            uitest::thrownText([&] { entry.first->addImageRef(entry.second, Rectangle(0, 0, 8, 8)); }));
        EXPECT_EQ(entry.first->getImageRefs().size(), before);
    }
    EXPECT_EQ(messages, std::vector<std::string>(
                            {"CompositeImage 'a': a reference to 'a' would draw the image inside itself",
                             "CompositeImage 'b': a reference to 'a' would draw the image inside itself",
                             "CompositeImage 'b': a reference to 'c' would draw the image inside itself"}));
    EXPECT_TRUE(c.isDrawnBy(&c) && b.isDrawnBy(&a) && !a.isDrawnBy(&b) && !a.isDrawnBy(&red));
    c.draw(Rectangle(0, 0, 8, 8), Color());
    EXPECT_EQ(pixel(*grab(), 4, 4), RED);
}

// Drawing goes down composites that draw each other by recursion: a chain of 200,000 overflowed the stack at
// its first draw. However a chain is put together (each new composite drawing the last one, each composite
// given one more below it, two chains joined), it nests no deeper than the bound, and a refused reference
// changes nothing; a chain at the bound draws.
TEST_F(Images, CompositesNestNoDeeperThanTheBound)
{
    const int bound = tesraui::CompositeImage::maxNesting;
    tesraui::Image* red = this->dataset->registerImage(
        std::make_unique<tesraui::Image>(this->texture, "red", Rectangle(0, 0, 8, 8)));
    // Composites named prefix1, prefix2..., drawing nothing yet.
    const auto make = [&](const std::string& prefix, int count)
    {
        std::vector<tesraui::CompositeImage*> made;
        for (int i = 1; i <= count; ++i)
        {
            made.push_back(static_cast<tesraui::CompositeImage*>(
                this->dataset->registerImage(std::make_unique<tesraui::CompositeImage>(
                    prefix + std::to_string(i), kavtypes::Vector2(8, 8)))));
        }
        return made;
    };
    // Each draws the next, given from the first down.
    const auto link = [](const std::vector<tesraui::CompositeImage*>& chain)
    {
        for (size_t i = 0; i + 1 < chain.size(); ++i)
        {
            chain[i]->addImageRef(chain[i + 1], Rectangle(0, 0, 8, 8));
        }
    };
    std::vector<tesraui::CompositeImage*> up = make("up", bound + 1);
    up[0]->addImageRef(red, Rectangle(0, 0, 8, 8));
    const std::vector<tesraui::CompositeImage*> down = make("down", bound + 1);
    const std::vector<tesraui::CompositeImage*> upper = make("upper", 40), lower = make("lower", bound - 40),
                                                longer = make("longer", bound - 39);
    link(upper);
    link(lower);
    link(longer);
    struct Case
    {
        const char* name;
        std::function<void()> build;
        tesraui::CompositeImage* last; // what the refused reference was given to, unchanged
    };
    const Case cases[] = {
        {"each new one drawing the last",
         [&]
         {
             for (int i = 1; i <= bound; ++i)
             {
                 up[i]->addImageRef(up[i - 1], Rectangle(0, 0, 8, 8));
             }
         },
         up[bound]},
        {"each given one below", [&] { link(down); }, down[bound - 1]},
        {"two chains joined", [&] { upper.back()->addImageRef(longer.front(), Rectangle(0, 0, 8, 8)); },
         upper.back()},
        {"two chains joined in place of a reference",
         [&]
         {
             upper.back()->setImageRefs(
                 {tesraui::CompositeImage::ImageRef(red, Rectangle(0, 0, 8, 8)),
                  tesraui::CompositeImage::ImageRef(longer.front(), Rectangle(0, 0, 8, 8))});
         },
         upper.back()},
        {"two chains joined at the bound",
         [&] { upper.back()->addImageRef(lower.front(), Rectangle(0, 0, 8, 8)); }, nullptr},
    };
    std::vector<std::string> journal;
    for (const Case& c : cases)
    {
        const int before = (c.last != nullptr ? c.last->getImageRefs().size() : 0);
        journal.push_back(std::string(c.name) + ": " + uitest::thrownText(c.build));
        EXPECT_TRUE(c.last == nullptr || c.last->getImageRefs().size() == before) << c.name;
    }
    const std::string tooDeep = "' would nest composite images deeper than " + std::to_string(bound);
    EXPECT_EQ(
        journal,
        (std::vector<std::string>{
            "each new one drawing the last: CompositeImage 'images.up65': a reference to 'images.up64" +
                tooDeep,
            "each given one below: CompositeImage 'images.down64': a reference to 'images.down65" + tooDeep,
            "two chains joined: CompositeImage 'images.upper40': a reference to 'images.longer1" + tooDeep,
            "two chains joined in place of a reference: CompositeImage 'images.upper40': a reference to "
            "'images.longer1" +
                tooDeep,
            "two chains joined at the bound: nothing thrown",
        }));
    EXPECT_EQ(tesraui::CompositeImage::nestingOf(up[bound - 1]), bound);
    EXPECT_EQ(tesraui::CompositeImage::nestingOf(upper.front()), bound);
    EXPECT_EQ(drawn(*up[bound - 1]), RED);
}

TEST_F(Images, DynamicTexturesUnloadAfterTheirIdleTimeCountedOnce)
{
    tesraui::setTextureIdleUnloadTime(2.0f);
    this->folder.write("gfx/dynamic.png", uitest::quadsPng());
    tesraui::Texture* dynamic = this->add("gfx/dynamic", false);
    ASSERT_TRUE(dynamic->isDynamic() && dynamic->isLoaded());
    EXPECT_FALSE(this->texture->isDynamic());
    for (int i = 0; i < 3; ++i)
        frame(0.5f);
    EXPECT_FLOAT_EQ(dynamic->getIdleTime(), 1.5f);
    EXPECT_TRUE(dynamic->isLoaded());
    frame(0.5f);
    EXPECT_FALSE(dynamic->isLoaded());
    // A dataset updated by itself leaves its textures' clocks alone.
    dynamic->load();
    this->dataset->update(5.0f);
    EXPECT_EQ(dynamic->getIdleTime(), 0.0f);
    // Unused for a second: gone on request, the static texture stays.
    frame(0.5f);
    tesraui::unloadUnusedTextures();
    EXPECT_TRUE(dynamic->isLoaded());
    frame(0.75f);
    tesraui::unloadUnusedTextures();
    EXPECT_FALSE(dynamic->isLoaded());
    EXPECT_TRUE(this->texture->isLoaded());
    EXPECT_EQ(this->dataset->getTexture("gfx/quads.png"), this->texture);
    EXPECT_THROW(this->dataset->registerTexture(std::make_unique<tesraui::Texture>(
                     "gfx/quads", tesra::rendersys->createTextureFromResource("gfx/quads.png"))),
                 tesraui::_ResourceExistsException);
}

TEST_F(Images, LocalizationLinksScaleAndReload)
{
    this->folder.write("gfx/fr/quads.png", uitest::solidPng(2, 2, Color(255, 0, 0)));
    tesraui::setLocalization("fr");
    EXPECT_EQ(tesraui::getLocalisedFilename("gfx/quads"), "gfx/fr/quads.png");
    EXPECT_EQ(tesraui::getLocalisedFilename("gfx/other"), "gfx/other");
    EXPECT_EQ(this->texture->getFilename(), "gfx/fr/quads.png");
    EXPECT_EQ(this->texture->getRequestedFilename(), "gfx/quads");
    EXPECT_EQ(this->texture->getWidth(), 2);
    tesraui::setLocalization("");
    EXPECT_EQ(this->texture->getFilename(), "gfx/quads.png");

    // The first extension in the list that ends the name decides its scale.
    tesraui::setTextureExtensionScales({"d.png", ".png"}, {2.0f, 0.5f});
    EXPECT_EQ(tesraui::findTextureExtensionScale("gfx/second.png"), 2.0f);
    EXPECT_EQ(tesraui::findTextureExtensionScale("gfx/first.png"), 0.5f);
    this->folder.write("gfx/first.png", uitest::quadsPng());
    this->folder.write("gfx/second.png", uitest::quadsPng());
    tesraui::Texture* first = this->add("gfx/first", false);
    tesraui::Texture* second = this->add("gfx/second", false);
    EXPECT_EQ(first->getWidth(), 8);
    first->addLink(second);
    second->addLink(first);
    // Loading one loads its group; drawing one keeps the whole group young.
    second->unload();
    first->load();
    EXPECT_TRUE(second->isLoaded());
    tesraui::setTextureIdleUnloadTime(1.0f);
    frame(0.75f);
    first->getRenderTexture();
    frame(0.75f);
    EXPECT_TRUE(second->isLoaded());
    // Reloading from the same file keeps the render texture; a failed reload keeps a drawable one.
    tesra::Texture* renderTexture = first->getRenderTexture();
    first->reload("gfx/first.png");
    EXPECT_EQ(first->getRenderTexture(), renderTexture);
    tesraui::Image image(this->texture, "img", Rectangle(0, 0, 8, 8));
    EXPECT_THROW(this->texture->reload("gfx/missing"), quortypes::_file_not_found);
    EXPECT_EQ(this->texture->getFilename(), "gfx/quads.png");
    EXPECT_EQ(drawn(image), RED);
    this->dataset->unregisterTexture(second).reset();
    EXPECT_TRUE(first->getLinks().empty());
}

TEST(ImageBoxes, ImagesByNameSizeAndClicks)
{
    tesraui::Dataset dataset("", "boxes");
    dataset.load();
    tesraui::Image* image =
        dataset.registerImage(std::make_unique<tesraui::CompositeImage>("pic", kavtypes::Vector2(64, 32)));
    tesraui::ImageBox* box = new tesraui::ImageBox("box", Rectangle(5, 5, -1, 50));
    dataset.registerObjects(box);
    box->_draw(); // takes the null image, keeps its name
    EXPECT_EQ(box->getImage(), dataset.getImage("null"));
    EXPECT_EQ(box->getImageName(), "");
    EXPECT_TRUE(box->setProperty("image", "pic"));
    EXPECT_EQ(box->getRect(), Rectangle(5, 5, 64, 50));
    EXPECT_EQ(box->getImageName(), "boxes.pic");
    EXPECT_FALSE(box->setImageByNameIfChanged("boxes.pic"));
    EXPECT_THROW(box->setProperty("image", "missing"), tesraui::_ResourceNotExistsException);
    // "UpdateImage" looks the image up again; a box that never named one has nothing to look up.
    tesraui::ImageBox* bare = new tesraui::ImageBox("bare", Rectangle(0, 0, 1, 1));
    dataset.registerObjects(bare);
    EXPECT_NO_THROW(dataset.notifyEvent("UpdateImage", nullptr));
    EXPECT_EQ(bare->getImage(), nullptr);
    EXPECT_EQ(box->getImage(), image);

    // A release over the box reports a click, wherever the press began.
    static int clicks;
    clicks = 0;
    box->registerEvent("Click", [](tesraui::EventArgs*) { ++clicks; });
    tesraui::setCursorPosition(kavtypes::Vector2(10, 10));
    EXPECT_TRUE(box->onMouseUp(1));
    tesraui::setCursorPosition(kavtypes::Vector2(100, 100));
    EXPECT_FALSE(box->onMouseUp(1) || box->onMouseDown(1));
    dataset.processEvents();
    EXPECT_EQ(clicks, 1);
}
