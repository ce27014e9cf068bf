#include <algorithm>

#include <gtest/gtest.h>

#include <quortypes/exception.h>
#include <tesra/RenderSystem.h>
#include <tesraui/CompositeImage.h>
#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>
#include <tesraui/Texture.h>
#include <tesraui/TiledImage.h>
#include <tesraui/exception.h>

#include "UiDataSupport.h"

using kavtypes::Rectangle;
using library_support::LogCapture;
using tesra::Color;
using tesraui::Dataset;
using tesraui::ImageBox;

namespace
{
    const Color red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255), yellow(255, 255, 0), grey(64, 64, 64);
    const unsigned int RED = 0xFF0000FF, GREEN = 0x00FF00FF, BLUE = 0x0000FFFF, YELLOW = 0xFFFF00FF,
                       GREY = 0x404040FF;

    class DatasetLoad : public uidata::UiWindowTest
    {
    protected:
        void writeFiles()
        {
            this->folder.write("gfx/quads.png",
                               uidata::makePng(16, 16,
                                               [](int x, int y) {
                                                   return y < 8 ? (x < 8 ? red : green)
                                                                : (x < 8 ? blue : Color(255, 255, 255));
                                               }));
            this->folder.write("gfx/plain.png", uidata::solidPng(16, 16, yellow));
            this->folder.write("gfx/stripes.png",
                               uidata::makePng(16, 16, [](int x, int) { return x < 8 ? red : blue; }));
            for (const char* file :
                 {"main.xml", "parts/row.xml", "parts/cell.xml", "sub/a.xml", "sub/b.xml", "sub/c.txt"})
            {
                this->folder.write(hstring("ui/") + file, uidata::testData(hstring("uidata/") + file));
            }
        }
    };
} // namespace

TEST_F(DatasetLoad, LoadsAndDrawsEveryKindOfElement)
{
    writeFiles();
    LogCapture log;
    Dataset dataset("ui/main.xml");
    dataset.load();
    std::vector<std::string> lines = log.take();
    std::vector<std::string> parsed;
    for (const std::string& line : lines)
    {
        if (line.find("Parsing") == 0)
        {
            parsed.push_back(line);
        }
    }
    // sub/c.txt is skipped; the cell file is read once however often it is included.
    EXPECT_EQ(parsed,
              std::vector<std::string>(
                  {"Parsing dataset file: ui/main.xml", "Parsing dataset file: ui/sub/a.xml",
                   "Parsing dataset file: ui/sub/b.xml", "Parsing object include file: ui/parts/row.xml",
                   "Parsing object include file: ui/parts/cell.xml",
                   "Parsing object include file: ui/parts/cell.xml"}));
    EXPECT_TRUE(dataset.isLoaded());
    EXPECT_EQ(dataset.getRoot(), dataset.getObject("root"));

    // Names: prefixed images, the never-prefixed image of a childless texture, prefixes through includes.
    tesraui::Texture* quads = dataset.getTexture("quads");
    tesraui::Texture* plain = dataset.getTexture("plain");
    EXPECT_EQ(dataset.getImage("quads/tl")->getTexture(), quads);
    EXPECT_EQ(dataset.getImage("plain")->getSourceRect(), Rectangle(0, 0, 16, 16));
    EXPECT_NE(dynamic_cast<tesraui::TiledImage*>(dataset.getImage("stripes")), nullptr);
    EXPECT_NE(dynamic_cast<tesraui::CompositeImage*>(dataset.getImage("from_a")), nullptr);
    EXPECT_EQ(quads->getLinks(), harray<tesraui::Texture*>({plain}));
    EXPECT_EQ(plain->getLinks(), harray<tesraui::Texture*>({quads}));
    tesraui::Object* row = dataset.getObject("a_row");
    tesraui::Object* cell = dataset.getObject("b_a_cell_s");
    EXPECT_EQ(row->getRect(), Rectangle(10, 80, 50, 40));
    EXPECT_EQ(cell->getParent(), row);
    EXPECT_EQ(cell->getRect(), Rectangle(6, 7, 8, 8));
    // An include at the top of an object-include file is ignored.
    EXPECT_FALSE(dataset.hasObject("a_cell"));
    EXPECT_EQ(dataset.getObject("c_cell")->getRect(), Rectangle(101, 101, 8, 8));
    // The unnamed box gets a generated name, without the include's prefix.
    harray<hstring> names = dataset.getObjects().keys();
    EXPECT_EQ(
        std::count_if(names.begin(), names.end(), [](const hstring& n) { return n.startsWith("ImageBox"); }),
        1);
    // Drawn and read back.
    tesra::rendersys->clear(false, Rectangle(0, 0, 128, 128), grey);
    dataset.getRoot()->draw();
    std::unique_ptr<tesra::Image> shot = grab();
    ASSERT_NE(shot, nullptr);
    // Image boxes without a size take their image's: 8 by 8.
    EXPECT_EQ(dataset.getObject("tl")->getRect(), Rectangle(0, 0, 8, 8));
    EXPECT_EQ(pixel(*shot, 4, 4), RED);
    EXPECT_EQ(pixel(*shot, 9, 4), GREY);
    EXPECT_EQ(pixel(*shot, 14, 4), GREEN);
    // Rotated: the left column of the texture, turned onto its side, red then blue.
    EXPECT_EQ(pixel(*shot, 23, 4), RED);
    EXPECT_EQ(pixel(*shot, 33, 4), BLUE);
    EXPECT_EQ(pixel(*shot, 44, 4), GREEN); // lerp towards the image's colour
    EXPECT_EQ(pixel(*shot, 60, 10), YELLOW);
    EXPECT_EQ(pixel(*shot, 74, 54), 0xFF4040FF); // added onto grey
    // Composite 100 by 100 drawn into 40 by 20.
    EXPECT_EQ(pixel(*shot, 75, 25), RED);
    EXPECT_EQ(pixel(*shot, 89, 29), RED);
    EXPECT_EQ(pixel(*shot, 95, 25), GREY);
    EXPECT_EQ(pixel(*shot, 100, 35), YELLOW);
    EXPECT_EQ(pixel(*shot, 85, 35), GREY);
    // Tiles of 16 by 16, red then blue; the inner ones drawn as one quad over the wrapping texture.
    for (int x = 0; x < 64; x += 8)
    {
        for (int y = 24; y < 68; y += 16)
        {
            EXPECT_EQ(pixel(*shot, x + 4, y), (x / 8) % 2 == 0 ? RED : BLUE) << x << "," << y;
        }
    }
    EXPECT_EQ(pixel(*shot, 66, 40), GREY);
    EXPECT_EQ(pixel(*shot, 20, 90), GREEN);  // the nested cell
    EXPECT_EQ(pixel(*shot, 60, 90), YELLOW); // the unnamed box
}
