#include <memory>

#include <tesra/RenderSystem.h>
#include <tesraui/Image.h>
#include <tesraui/Texture.h>

#include "UiTestSupport.h"

using uitest::thrownText;

namespace
{
    // A dataset file's texture of gfx/quads.png, kept under its base name "quads", and a texture of the
    // same file registered by hand, kept under its file name.
    class DatasetTextures : public uitest::UiWindowTest
    {
    protected:
        std::unique_ptr<tesraui::Dataset> dataset;
        tesraui::Texture* fromFile = nullptr;
        tesraui::Texture* byHand = nullptr;

        void SetUp() override
        {
            uitest::UiWindowTest::SetUp();
            this->folder.write("gfx/quads.png", uitest::quadsPng());
            this->folder.write("ui/textures.xml", "<Dataset><Texture filename='../gfx/quads'>"
                                                  "<Image name='tl' rect='0,0,8,8'/></Texture></Dataset>");
            this->dataset.reset(new tesraui::Dataset("ui/textures.xml", "textures"));
            this->dataset->load();
            this->fromFile = this->dataset->getTexture("quads");
            this->byHand = this->dataset->registerTexture(std::make_unique<tesraui::Texture>(
                "gfx/quads", tesra::rendersys->createTextureFromResource("gfx/quads.png")));
        }

        void TearDown() override
        {
            this->dataset.reset();
            uitest::UiWindowTest::TearDown();
        }
    };
} // namespace

TEST_F(DatasetTextures, UnregisteringRemovesTheEntryOfThatTextureWhateverItsKey)
{
    ASSERT_EQ(this->fromFile->getFilename(), this->byHand->getFilename());
    EXPECT_EQ(this->dataset->getTextures().keys(), (harray<hstring>{"gfx/quads.png", "quads"}));

    std::unique_ptr<tesraui::Texture> fromFile = this->dataset->unregisterTexture(this->fromFile);
    EXPECT_EQ(this->dataset->getTextures().keys(), harray<hstring>{"gfx/quads.png"});
    EXPECT_EQ(this->dataset->getTexture("gfx/quads.png"), this->byHand);

    // Once gone it is not found again, and the other texture of its file stays.
    EXPECT_EQ(thrownText<tesraui::_ResourceNotExistsException>(
                  [&] { (void)this->dataset->unregisterTexture(this->fromFile); }),
              "Texture doesn't exist: 'gfx/quads.png' in dataset 'textures'");
    EXPECT_EQ(this->dataset->getTexture("gfx/quads.png"), this->byHand);
    std::unique_ptr<tesraui::Image> image =
        this->dataset->unregisterImage(this->dataset->getImage("quads/tl"));
}

TEST_F(DatasetTextures, TheTextureKeptUnderItsFileNameGoesAloneToo)
{
    this->dataset->unregisterTexture(this->byHand).reset();
    EXPECT_EQ(this->dataset->getTextures().keys(), harray<hstring>{"quads"});
    EXPECT_EQ(this->dataset->getImage("quads/tl")->getTexture(), this->fromFile);
}

TEST_F(DatasetTextures, ARefusedTextureGoesAndWhatIsUnregisteredComesBackWhole)
{
    // A second texture under a taken file name is refused; the registered one stays and still loads.
    EXPECT_THROW(this->dataset->registerTexture(std::make_unique<tesraui::Texture>(
                     "gfx/quads", tesra::rendersys->createTextureFromResource("gfx/quads.png"))),
                 tesraui::_ResourceExistsException);
    EXPECT_EQ(this->dataset->getTexture("gfx/quads.png"), this->byHand);
    this->byHand->load();
    EXPECT_TRUE(this->byHand->isLoaded());

    // What goes out comes back as it was, and registers again under the same key.
    std::unique_ptr<tesraui::Texture> texture = this->dataset->unregisterTexture(this->byHand);
    EXPECT_EQ(texture.get(), this->byHand);
    EXPECT_TRUE(texture->isLoaded());
    EXPECT_EQ(this->dataset->registerTexture(std::move(texture)), this->byHand);
    EXPECT_EQ(this->dataset->getTexture("gfx/quads.png"), this->byHand);
    tesraui::Image* tile = this->dataset->getImage("quads/tl");
    std::unique_ptr<tesraui::Image> image = this->dataset->unregisterImage(tile);
    EXPECT_EQ(image.get(), tile);
    EXPECT_FALSE(this->dataset->getImages().hasKey("quads/tl"));
    EXPECT_EQ(this->dataset->registerImage(std::move(image)), tile);
    EXPECT_EQ(this->dataset->getImage("quads/tl")->getDataset(), this->dataset.get());
}
