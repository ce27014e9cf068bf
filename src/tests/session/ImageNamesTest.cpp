#include <tesraui/Dataset.h>
#include <tesraui/Image.h>
#include <tesraui/ImageBox.h>
#include <tesraui/tesraui.h>
#include <tesra_testing/Png.h>

#include "EngineHarness.h"

using harness::Engine;

// The UI's dataset declaring the picture "items" (data/ui/items.png), and a chapter "c" whose scene "s" is
// the start scene.
class ImageNames : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.config("scene: c.s\n");
        const std::string png =
            tesra_testing::makePng(8, 8, [](int, int) { return tesra::Color(255, 0, 0); });
        folder.put("data/ui/items.png", png);
        folder.put("data/ui/other.png", png);
        folder.put("data/ui/ui.dts", "<Dataset><Texture filename='items'/></Dataset>");
        folder.put("data/chapters/c/c.datadef", "<Dataset/>");
        folder.put("data/chapters/c/scenes/s.scene", "");
        engine.reset(new Engine(folder));
        engine->start();
    }
    std::string failure(const std::string& code) { return engine->failure(code); }
    tesraui::Image* image(const char* dataset, const char* name)
    {
        const auto& images = tesraui::getDatasetByName(dataset)->getImages();
        const auto entry = images.find(name);
        return entry == images.end() ? nullptr : entry->second.get();
    }
};

// A chapter and the UI both hold "pic/x"; the chapter's is shown. The dotted name is the UI's image.
TEST_F(ImageNames, ADottedNameDestroysTheImageOfTheDatasetItNames)
{
    ASSERT_EQ(
        failure("for _, d in ipairs({'c', 'ui'}) do image.create({type = 'CompositeImage', dataset = d, "
                "name = 'pic/x', w = 4, h = 4}) end "
                "object.create('ImageBox', 'box', nil, {image = 'c.pic/x'})"),
        "ok");
    tesraui::Image* shown = image("c", "pic/x");
    ASSERT_NE(shown, nullptr);

    EXPECT_EQ(failure("image.destroy('c', 'ui.pic/x')"), "ok");
    EXPECT_EQ(image("ui", "pic/x"), nullptr);
    EXPECT_EQ(image("c", "pic/x"), shown);
    auto* box = dynamic_cast<tesraui::ImageBox*>(tesraui::getDatasetByName("c")->getObject("box"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->getImage(), shown);

    // Through the chapter's own name it is refused while shown.
    EXPECT_EQ(failure("image.destroy('c', 'pic/x')"),
              "Error destroying image 'c.pic/x', another object is using it: c.box");
    engine->frame();
    EXPECT_EQ(Engine::errorLines(), 0) << engine->logText();
}

// Every form a texture call accepts for a file names its texture when an image is made of it.
TEST_F(ImageNames, AnImageIsMadeOfATextureByEveryNameOfItsFile)
{
    tesraui::Texture* items = tesraui::getDatasetByName("ui")->getTexture("items");
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"a", "image.create('ui', 'items', 'a', 0, 0, 4, 4)"},
        {"b", "image.create('ui', 'items.png', 'b', 0, 0, 4, 4)"},
        {"c", "image.create('ui', './items.png', 'c', 0, 0, 4, 4)"},
        {"d", "image.create({dataset = 'ui', texture = 'items.png', name = 'd', w = 4, h = 4})"},
        {"e", "image.create({dataset = 'ui', type = 'TiledImage', texture = './items', name = 'e', w = 4})"},
    };
    for (const auto& row : rows)
    {
        EXPECT_EQ(failure(row.second), "ok") << row.second;
        tesraui::Image* made = image("ui", row.first.c_str());
        ASSERT_NE(made, nullptr) << row.second;
        EXPECT_EQ(made->getTexture(), items) << row.second;
    }

    // A texture a script made, by its file and by the name it was given.
    const std::string other = engine->lua("image.createTexture('ui', 'other')");
    EXPECT_EQ(failure("image.create('ui', 'other.png', 'f', 0, 0, 4, 4) "
                      "image.create('ui', '" +
                      other + "', 'g', 0, 0, 4, 4)"),
              "ok");
    EXPECT_EQ(image("ui", "f")->getTexture(), image("ui", "g")->getTexture());
    EXPECT_NE(image("ui", "f")->getTexture(), items);

    EXPECT_NE(failure("image.create('ui', 'nothing.png', 'h', 0, 0, 4, 4)").find("Texture doesn't exist"),
              std::string::npos);
    EXPECT_EQ(image("ui", "h"), nullptr);
}
