#include <typeinfo>

#include <tesraui/CompositeImage.h>
#include <tesraui/Texture.h>
#include <tesraui/TiledImage.h>

#include "UiTestSupport.h"

using kavtypes::Rectangle;
using tesra::Color;
using tesraui::Dataset;
using uitest::Lines;
using uitest::LogCapture;

namespace
{
    const unsigned int RED = 0xFF0000FF, GREEN = 0x00FF00FF, BLUE = 0x0000FFFF, YELLOW = 0xFFFF00FF,
                       GREY = 0x404040FF;

    class DatasetLoad : public uitest::UiWindowTest
    {
    protected:
        void SetUp() override
        {
            uitest::UiWindowTest::SetUp();
            this->folder.write("gfx/quads.png", uitest::quadsPng());
            this->folder.write("gfx/plain.png", uitest::solidPng(16, 16, Color(255, 255, 0)));
            this->folder.write("gfx/stripes.png",
                               uitest::makePng(16, 16,
                                               [](int x, int)
                                               { return x < 8 ? Color(255, 0, 0) : Color(0, 0, 255); }));
            this->folder.write("gfx/a/button.png", uitest::solidPng(2, 2, Color()));
            this->folder.write("gfx/b/button.png", uitest::solidPng(2, 2, Color()));
        }

        // Loads a dataset of the given root children; the text of what it throws, after checking that the
        // failure was logged, thrown as a plain quortypes::exception and left the dataset not loaded.
        std::string failure(const std::string& body)
        {
            this->folder.write("ui/case.xml", "<Dataset>" + body + "</Dataset>");
            LogCapture log;
            Dataset dataset("ui/case.xml", "d");
            try
            {
                dataset.load();
            }
            catch (quortypes::exception& e)
            {
                EXPECT_EQ(typeid(e), typeid(quortypes::exception));
                EXPECT_FALSE(dataset.isLoaded());
                EXPECT_EQ(std::count(log.lines.begin(), log.lines.end(), "ERROR: " + e.getMessage()), 1);
                return uitest::messageText(e);
            }
            return "no exception";
        }
    };
} // namespace

TEST_F(DatasetLoad, LoadsAndDrawsEveryKindOfElement)
{
    for (const char* file :
         {"main.xml", "parts/row.xml", "parts/cell.xml", "sub/a.xml", "sub/b.xml", "sub/c.txt"})
        this->folder.write(hstring("ui/") + file, uitest::testData(hstring("uidata/") + file));
    LogCapture log;
    Dataset dataset("ui/main.xml");
    dataset.load();
    Lines parsed;
    std::copy_if(log.lines.begin(), log.lines.end(), std::back_inserter(parsed),
                 [](const std::string& line) { return line.find("Parsing") == 0; });
    // sub/c.txt is skipped; the cell file is read each time it is included.
    EXPECT_EQ(parsed,
              Lines({"Parsing dataset file: ui/main.xml", "Parsing dataset file: ui/sub/a.xml",
                     "Parsing dataset file: ui/sub/b.xml", "Parsing object include file: ui/parts/row.xml",
                     "Parsing object include file: ui/parts/cell.xml",
                     "Parsing object include file: ui/parts/cell.xml"}));

    // Names: prefixed images, the never-prefixed image of a childless texture, prefixes through includes.
    tesraui::Texture* quads = dataset.getTexture("quads");
    tesraui::Texture* plain = dataset.getTexture("plain");
    EXPECT_EQ(dataset.getImage("quads/tl")->getTexture(), quads);
    EXPECT_EQ(dataset.getImage("plain")->getSourceRect(), Rectangle(0, 0, 16, 16));
    EXPECT_NE(dynamic_cast<tesraui::TiledImage*>(dataset.getImage("stripes")), nullptr);
    EXPECT_NE(dynamic_cast<tesraui::CompositeImage*>(dataset.getImage("from_a")), nullptr);
    EXPECT_EQ(quads->getLinks(), harray<tesraui::Texture*>({plain}));
    tesraui::Object* row = dataset.getObject("a_row");
    EXPECT_EQ(row->getRect(), Rectangle(10, 80, 50, 40));
    EXPECT_EQ(dataset.getObject("b_a_cell_s")->getParent(), row);
    EXPECT_EQ(dataset.getObject("b_a_cell_s")->getRect(), Rectangle(6, 7, 8, 8));
    // An include at the top of an object-include file is ignored.
    EXPECT_FALSE(dataset.hasObject("a_cell"));
    EXPECT_EQ(dataset.getObject("c_cell")->getRect(), Rectangle(101, 101, 8, 8));
    // The unnamed box gets a generated name, without the include's prefix.
    harray<hstring> names = dataset.getObjects().keys();
    EXPECT_EQ(
        std::count_if(names.begin(), names.end(), [](const hstring& n) { return n.startsWith("ImageBox"); }),
        1);
    // Image boxes without a size take their image's: 8 by 8.
    EXPECT_EQ(dataset.getObject("tl")->getRect(), Rectangle(0, 0, 8, 8));

    tesra::rendersys->clear(false, Rectangle(0, 0, 128, 128), Color(64, 64, 64));
    dataset.getRoot()->draw();
    std::unique_ptr<tesra::Image> shot = grab();
    const std::tuple<int, int, unsigned int> pixels[] = {
        {4, 4, RED},
        {9, 4, GREY},
        {14, 4, GREEN},
        // Rotated: the left column of the texture, turned onto its side, red then blue.
        {23, 4, RED},
        {33, 4, BLUE},
        {44, 4, GREEN},       // lerp towards the image's colour
        {60, 10, YELLOW},     // the childless texture's image
        {74, 54, 0xFF4040FF}, // added onto grey
        // Composite 100 by 100 drawn into 40 by 20.
        {75, 25, RED},
        {89, 29, RED},
        {95, 25, GREY},
        {100, 35, YELLOW},
        {85, 35, GREY},
        {66, 40, GREY},    // right of the tiles
        {20, 90, GREEN},   // the nested cell
        {60, 90, YELLOW}}; // the unnamed box
    for (const auto& [x, y, colour] : pixels)
        EXPECT_EQ(pixel(*shot, x, y), colour) << x << "," << y;
    // Tiles of 16 by 16, red then blue; the inner ones drawn as one quad over the wrapping texture.
    for (int x = 0; x < 64; x += 8)
    {
        for (int y = 24; y < 68; y += 16)
            EXPECT_EQ(pixel(*shot, x + 4, y), (x / 8) % 2 == 0 ? RED : BLUE) << x << "," << y;
    }
}

TEST_F(DatasetLoad, DynamicWholeTextureImageHasItsSizeBeforeTheFirstLoad)
{
    this->folder.write("ui/case.xml", "<Dataset><Texture filename='../gfx/plain' dynamic_load='1'/>"
                                      "<Object type='ImageBox' name='box' x='10' y='10' image='plain'/>"
                                      "</Dataset>");
    Dataset dataset("ui/case.xml", "d");
    dataset.load();
    EXPECT_FALSE(dataset.getTexture("plain")->isLoaded());
    EXPECT_EQ(dataset.getImage("plain")->getSourceRect(), Rectangle(0, 0, 16, 16));
    EXPECT_EQ(dataset.getObject("box")->getRect(), Rectangle(10, 10, 16, 16));
    dataset.getRoot()->draw();
    EXPECT_TRUE(dataset.getTexture("plain")->isLoaded());
    std::unique_ptr<tesra::Image> shot = grab();
    for (const auto& [x, y, colour] : {std::tuple<int, int, unsigned int>{10, 10, YELLOW},
                                       {25, 25, YELLOW},
                                       {26, 20, 0x000000FF},
                                       {20, 26, 0x000000FF}})
        EXPECT_EQ(pixel(*shot, x, y), colour) << x << "," << y;
}

TEST_F(DatasetLoad, EveryFailureHasItsText)
{
    const std::pair<std::string, std::string> rows[] = {
        {"<Texture/>", "XML property doesn't exist: filename, in file ui/case.xml, line 1"},
        {"<Object type='Container' position='1'/>",
         "Cannot convert string '1' to kavtypes::Vector2., in file ui/case.xml, line 1"},
        {"<Object type='Container' rect='1,2,3'/>",
         "Cannot convert string '1,2,3' to kavtypes::Rectangle., in file ui/case.xml, line 1"},
        {"<Texture filename='../gfx/a/button'/><Texture filename='../gfx/b/button'/>",
         "Object already exists: button in ../gfx/b/button"},
        {"<Texture filename='missing'/>", "'ui/missing' not found!, in file ui/case.xml, line 1"},
        {"<Texture filename='../gfx/plain' filter='bilinear'/>", "texture filter 'bilinear' not supported"},
        {"<CompositeImage name='plain' w='1' h='1'/><Texture filename='../gfx/plain'/>",
         "Texture already exists: plain in dataset d"},
        {"<Texture filename='../gfx/a/button' prefix_images='0'><Image name='x' rect='0,0,1,1'/></Texture>"
         "<Texture filename='../gfx/plain' prefix_images='0'><Image name='x' x='0' y='0' w='1' "
         "h='1'/></Texture>",
         "Image already exists: x in dataset d"},
        {"<CompositeImage name='c' w='1' h='1'/><CompositeImage name='c' size='1,1'/>",
         "CompositeImage already exists: c in dataset d"},
        {"<Object type='Container' name='o' x='0' y='0'><Animator type='Container' name='o'/></Object>",
         "Object already exists: o in dataset d"},
        {"<Object type='Nope' x='0' y='0'/>",
         "Unknown class detected in XML file: Nope, in file ui/case.xml, line 1"},
        {"<CompositeImage name='c' w='1' h='1'><ImageRef name='nope' rect='0,0,1,1'/></CompositeImage>",
         "Image doesn't exist: 'nope' in dataset 'd', in file ui/case.xml, line 1"},
        {"<TextureGroup names='nope'/>", "Texture doesn't exist: 'nope' in dataset 'd'"},
        // Include cycles, straight and through object includes, name the file.
        {"<Include path='case.xml'/>", "Include cycle: 'ui/case.xml' includes itself again"},
        {"<Object type='Container' x='0' y='0'><Include path='loop.xml'/></Object>",
         "Include cycle: 'ui/loop.xml' includes itself again"}};
    this->folder.write("ui/loop.xml",
                       "<L><Object type='Container' name='l' x='0' y='0'><Include path='loop.xml' "
                       "name_prefix='p'/></Object></L>");
    for (const auto& [body, text] : rows)
        EXPECT_EQ(failure(body), text) << body;
}

TEST_F(DatasetLoad, AnIncludeThatLeadsOutOfTheGameFolderIsRefused)
{
    const std::string refused = "' leads out of the game's folder, in file ui/case.xml, line 1";
    const std::pair<std::string, std::string> rows[] = {
        {"<Include path='../../outside.xml'/>", "Include path '../../outside.xml" + refused},
        {"<Include path='../../*.xml'/>", "Include path '../../*.xml" + refused},
        {"<Include path='../../../../../../../../dev/zero'/>",
         "Include path '../../../../../../../../dev/zero" + refused},
        {"<Include path='../gfx/../../outside.xml'/>", "Include path '../gfx/../../outside.xml" + refused},
        {"<Object type='Container' x='0' y='0'><Include path='../../outside.xml'/></Object>",
         "Include path '../../outside.xml" + refused},
        {"<Object type='Container' x='0' y='0'><Include path='../../*'/></Object>",
         "Include path '../../*" + refused},
        // Inside the folder, climbing from one folder into another is as before.
        {"<Include path='../parts/inside.xml'/><Object type='Container' x='0' y='0'>"
         "<Include path='../parts/object.xml'/></Object>",
         "no exception"}};
    this->folder.write("parts/inside.xml",
                       "<Dataset><Object type='Container' name='in' x='0' y='0'/></Dataset>");
    this->folder.write("parts/object.xml", "<O><Object type='Container' name='part' x='0' y='0'/></O>");
    for (const auto& [body, text] : rows)
        EXPECT_EQ(failure(body), text) << body;
}

TEST_F(DatasetLoad, FailedLoadReleasesWhatItRegistered)
{
    size_t textures = tesra::rendersys->getTextures().size();
    std::string good = "<Texture filename='../gfx/plain'><Image name='i' rect='0,0,1,1'/></Texture>"
                       "<CompositeImage name='c' w='1' h='1'><ImageRef name='plain/i' rect='0,0,1,1'/>"
                       "</CompositeImage><Object type='Container' name='o' x='0' y='0'><Object "
                       "type='ImageBox' name='b' x='0' y='0' image='c'/></Object>";
    std::string bad = good + "<Object type='Nope' x='0' y='0'/>";
    EXPECT_NE(failure(bad), "no exception");
    EXPECT_EQ(tesra::rendersys->getTextures().size(), textures);

    // Unloading after a failed load releases it too, and the same dataset then loads again.
    this->folder.write("ui/case.xml", "<Dataset>" + bad + "</Dataset>");
    Dataset dataset("ui/case.xml", "d");
    EXPECT_THROW(dataset.load(), quortypes::exception);
    EXPECT_TRUE(dataset.hasObject("b"));
    dataset.unload();
    EXPECT_EQ(dataset.getObjects().size() + dataset.getImages().size(), 0u);
    EXPECT_EQ(tesra::rendersys->getTextures().size(), textures);
    EXPECT_THROW(dataset.unload(), tesraui::_GenericException); // nothing left, so "data not loaded"
    this->folder.write("ui/case.xml", "<Dataset>" + good + "</Dataset>");
    dataset.load();
    EXPECT_EQ(dataset.getObject("o")->getChildren().size(), 1u);
}
