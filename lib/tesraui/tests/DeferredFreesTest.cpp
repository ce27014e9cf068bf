#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <tesraui/CompositeImage.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>
#include <tesraui/Freed.h>
#include <tesraui/Image.h>
#include <tesraui/Texture.h>
#include <tesraui/tesraui.h>

#include "UiTestSupport.h"

namespace
{
    harray<hstring> freed;
    harray<hstring> ran;

    // Notes its name when freed, and runs what the test gives it on update.
    class Noted : public uitest::Recorder
    {
    public:
        std::function<void()> onUpdate;
        Noted(const hstring& name, harray<hstring>* updates) : Recorder(name, {0, 0, 1, 1}, updates) {}
        ~Noted() override { freed.push_back("freed " + this->name); }
        void update(float timeDelta) override
        {
            Recorder::update(timeDelta);
            if (this->onUpdate)
            {
                this->onUpdate();
            }
        }
    };

    struct Noting : public tesraui::Event
    {
        void execute(tesraui::EventArgs* args) override { ran.push_back(args->extra); }
    };

    // A root with the children a, b and c, each a Noted, b holding b1.
    struct Tree
    {
        tesraui::Dataset dataset{"", "graves"};
        harray<hstring> updates;
        tesraui::Container* root = new tesraui::Container("root", {0, 0, 10, 10});
        Noted* a = new Noted("a", &updates);
        Noted* b = new Noted("b", &updates);
        Noted* b1 = new Noted("b1", &updates);
        Noted* c = new Noted("c", &updates);
        Tree()
        {
            root->addChild(a);
            root->addChild(b);
            b->addChild(b1);
            root->addChild(c);
            dataset.registerObjects(root);
        }
    };

    class DeferredFrees : public testing::Test
    {
    protected:
        void SetUp() override
        {
            freed.clear();
            tesraui::setDeferredFrees(true);
        }
        void TearDown() override
        {
            tesraui::freeDestroyed();
            tesraui::setDeferredFrees(false);
        }
    };
} // namespace

// Out of the tree and the dataset at once, freed only by freeDestroyed; the walk under way meets neither the
// destroyed sibling nor what hung below it, and watches end at the destroy, not at the free.
TEST_F(DeferredFrees, ADestroyedSubtreeLeavesAtOnceAndIsFreedAtTheSafePoint)
{
    {
        Tree tree;
        tesraui::LifeToken::Watch bWatch = tree.b->watchLife();
        tesraui::Watched<tesraui::Object> b1(tree.b1);
        tree.a->onUpdate = [&] { tree.dataset.destroyObject("b"); };
        tree.root->update(0.0f);
        harray<hstring> updated;
        for (const hstring& line : tree.updates)
        {
            if (line.endsWith(":update"))
            {
                updated.push_back(line);
            }
        }
        EXPECT_EQ(updated, (harray<hstring>{"a:update", "c:update"}));
        EXPECT_FALSE(tree.dataset.hasObject("b"));
        EXPECT_FALSE(tree.dataset.hasObject("b1"));
        EXPECT_EQ(uitest::names(tree.root->getChildren()), (harray<hstring>{"a", "c"}));
        EXPECT_FALSE(bWatch.isAlive());
        EXPECT_EQ(b1.get(), nullptr);
        // Still memory: a walk that held b reads a detached object.
        EXPECT_EQ(tree.b->getParent(), nullptr);
        EXPECT_EQ(freed, harray<hstring>());
        tesraui::freeDestroyed();
        EXPECT_EQ(freed, (harray<hstring>{"freed b1", "freed b"}));

        // Destroyed, then its dataset goes before the free: the object forgets the dataset.
        freed.clear();
        tree.dataset.destroyObject(tree.c);
    }
    EXPECT_EQ(freed, (harray<hstring>{"freed a"}));
    tesraui::freeDestroyed();
    EXPECT_EQ(freed, (harray<hstring>{"freed a", "freed c"}));
}

// Another object's queued event whose arguments name the destroyed object is withdrawn with it, deferred or
// not; those naming others run.
TEST_F(DeferredFrees, QueuedEventsNamingADestroyedObjectAreWithdrawn)
{
    for (bool deferred : {true, false})
    {
        SCOPED_TRACE(deferred ? "deferred" : "at once");
        tesraui::setDeferredFrees(deferred);
        freed.clear();
        ran.clear();
        Tree tree;
        auto handler = std::make_shared<Noting>();
        tree.dataset.queueEvent(handler, std::make_unique<tesraui::EventArgs>(tree.a, 0, 0, 0u, "on a"));
        tree.dataset.queueEvent(handler, std::make_unique<tesraui::EventArgs>(tree.b1, 0, 0, 0u, "on b1"));
        tree.dataset.queueEvent(handler, std::make_unique<tesraui::EventArgs>(tree.c, 0, 0, 0u, "on c"));
        tree.dataset.queueEvent(handler,
                                std::make_unique<tesraui::EventArgs>(tree.b1, 0, 0, 0u, "on b1 again"));
        tree.dataset.destroyObject("b");
        EXPECT_EQ(tree.dataset.getQueuedEventCount(), 2);
        tree.dataset.processEvents();
        tesraui::freeDestroyed();
        EXPECT_EQ(ran, (harray<hstring>{"on a", "on c"}));
        EXPECT_EQ(freed, (harray<hstring>{"freed b1", "freed b"}));
    }
}

// A destroyed texture's watches end at once, and composites holding a destroyed image read null; the memory
// stays until the free, which the library's end does too.
class DeferredResourceFrees : public uitest::UiWindowTest
{
};

TEST_F(DeferredResourceFrees, DestroyedImagesAndTexturesReadAsGoneBeforeTheyAreFreed)
{
    tesraui::setDeferredFrees(true);
    folder.write("gfx/quads.png", uitest::quadsPng());
    tesraui::Dataset* dataset = new tesraui::Dataset("", "pictures");
    tesraui::Texture* texture = dataset->registerTexture(std::make_unique<tesraui::Texture>(
        "gfx/quads", tesra::rendersys->createTextureFromResource("gfx/quads.png")));
    tesraui::Image* image = dataset->registerImage(
        std::make_unique<tesraui::Image>(texture, "i", kavtypes::Rectangle(0, 0, 8, 8)));
    tesraui::CompositeImage composite("cmp", {8, 8});
    composite.addImageRef(image, {0, 0, 8, 8});
    tesraui::Watched<tesraui::Texture> watched(texture);

    dataset->destroyImage(image);
    dataset->destroyTexture(texture);
    EXPECT_FALSE(dataset->getImages().hasKey("i"));
    EXPECT_FALSE(dataset->hasTexture("gfx/quads"));
    EXPECT_EQ(composite.getImageRefs()[0].first.get(), nullptr);
    EXPECT_EQ(watched.get(), nullptr);
    // Not yet freed: a holder that kept the bare pointer still reads it.
    EXPECT_EQ(texture->getRequestedFilename(), "gfx/quads");
    EXPECT_EQ(image->getName(), "i");
}

namespace
{
    // Notes into `freed` when it goes.
    struct Keepsake
    {
        hstring name;
        explicit Keepsake(const hstring& name) : name(name) {}
        Keepsake(Keepsake&& other) noexcept : name(other.name) { other.name = ""; }
        ~Keepsake()
        {
            if (name != "")
            {
                freed.push_back("freed " + name);
            }
        }
    };
} // namespace

// What the library frees on its own once a texture lies idle goes at freeDestroyed, with what was destroyed,
// and once: a draw in between keeps the texture loaded, and one destroyed in between is only freed.
TEST_F(DeferredResourceFrees, IdleTexturesUnloadAtTheFreeUnlessUsedOrDestroyedFirst)
{
    struct Row
    {
        const char* what;
        bool deferred;
        // What happens between the update that finds the texture idle and the free.
        std::function<void(tesraui::Dataset&, tesraui::Texture*)> between;
        const char* expected;
    };
    const std::vector<Row> rows = {
        {"left alone", true, [](tesraui::Dataset&, tesraui::Texture*) {}, "loaded until the free, unloaded"},
        {"drawn", true, [](tesraui::Dataset&, tesraui::Texture* texture) { texture->getRenderTexture(); },
         "loaded until the free, loaded"},
        {"destroyed", true,
         [](tesraui::Dataset& dataset, tesraui::Texture* texture) { dataset.destroyTexture(texture); },
         "loaded until the free, freed"},
        {"left alone without deferred frees", false, [](tesraui::Dataset&, tesraui::Texture*) {},
         "unloaded at once, unloaded"},
    };
    folder.write("gfx/quads.png", uitest::quadsPng());
    tesraui::setTextureIdleUnloadTime(1.0f);
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.what);
        tesraui::setDeferredFrees(row.deferred);
        tesraui::Dataset dataset("", "idle");
        tesraui::Texture* texture = dataset.registerTexture(std::make_unique<tesraui::Texture>(
            "gfx/quads", tesra::rendersys->createTextureFromResource(
                             "gfx/quads.png", tesra::Texture::Type::IMMUTABLE, false)));
        texture->load();
        const tesraui::Watched<tesraui::Texture> watched(texture);
        dataset.updateTextures(1.5f);
        std::string seen = texture->isLoaded() ? "loaded until the free" : "unloaded at once";
        row.between(dataset, texture);
        tesraui::freeDestroyed();
        seen += watched.get() == nullptr ? ", freed" : texture->isLoaded() ? ", loaded" : ", unloaded";
        EXPECT_EQ(seen, row.expected);
    }
    tesraui::setTextureIdleUnloadTime(0.0f);

    // Anything else the engine lets go of on its own is kept until the free in the same way.
    freed.clear();
    for (bool deferred : {true, false})
    {
        tesraui::setDeferredFrees(deferred);
        tesraui::freeWithDestroyed(Keepsake(deferred ? "deferred" : "at once"));
        freed.push_back("free");
        tesraui::freeDestroyed();
    }
    EXPECT_EQ(freed, (harray<hstring>{"free", "freed deferred", "freed at once", "free"}));
}
