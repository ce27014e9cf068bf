#include "UiTestSupport.h"

using kavtypes::Rectangle;
using kavtypes::Vector2;
using uitest::Lines;
using uitest::thrownText;

namespace
{
    tesraui::Object* makeCustom(const hstring& name, Rectangle rect)
    {
        return new tesraui::Object(name, rect);
    }

    // Notes each broadcast; may destroy a dataset that the broadcast has not reached yet.
    class Visited : public tesraui::Dataset
    {
    public:
        Visited(const hstring& name, Lines* visits) : Dataset("", name), visits(visits) {}
        Lines* visits;
        tesraui::Dataset* victim = nullptr;
        void notifyEvent(const hstring& type, void* args) override
        {
            this->visits->push_back(this->name + " " + type);
            delete std::exchange(this->victim, nullptr);
            Dataset::notifyEvent(type, args);
        }
    };
} // namespace

TEST(Library, InitDestroyAndInitAgain)
{
    uitest::FakeWindow window;
    uitest::LogCapture log;
    // Factories registered before start-up survive it.
    tesraui::registerObjectFactory("Custom", &makeCustom);
    tesraui::setHoverEffectEnabled(false);
    tesraui::init();
    EXPECT_EQ(log.take(), Lines{"Initializing TesraUI."});
    EXPECT_TRUE(tesraui::isHoverEffectEnabled());
    std::unique_ptr<tesraui::Object> container(
        tesraui::createObject("Container", "box", Rectangle(1, 2, 3, 4)));
    EXPECT_EQ(container->getClassName() + container->getName(), "Containerbox");
    delete tesraui::createObject("Custom", "mine", Rectangle());
    EXPECT_EQ(tesraui::createObject("NoSuchKind", "x", Rectangle()), nullptr);
    EXPECT_EQ(tesraui::createAnimator("NoSuchKind", "x"), nullptr);
    EXPECT_EQ(thrownText<tesraui::_ObjectFactoryExistsException>([] { tesraui::init(); }),
              "Object factory named 'CallbackObject' already exists");
    tesraui::unregisterObjectFactory("Custom");
    EXPECT_EQ(thrownText<tesraui::_ObjectFactoryNotExistsException>(
                  [] { tesraui::unregisterObjectFactory("Custom"); }),
              "Object factory named 'Custom' doesn't exists");
    auto spin = [](const hstring&) -> tesraui::Animator* { return nullptr; };
    tesraui::registerAnimatorFactory("Spin", spin);
    EXPECT_EQ(thrownText<tesraui::_AnimatorFactoryExistsException>(
                  [&] { tesraui::registerAnimatorFactory("Spin", spin); }),
              "Animator factory named 'Spin' already exists");
    log.take();
    // destroy deletes what is still registered, loaded or not.
    new tesraui::Dataset("", "left_over");
    (new tesraui::Dataset("", "loaded_left_over"))->load();
    tesraui::destroy();
    EXPECT_EQ(log.take(), Lines{"Destroying TesraUI."});
    EXPECT_TRUE(tesraui::getDatasets().empty());
    EXPECT_EQ(tesraui::createObject("Container", "box", Rectangle()), nullptr);
    // A dataset whose destructor deletes one that comes later in name order: each goes once.
    tesraui::init();
    struct Owner : tesraui::Dataset
    {
        tesraui::Dataset* owned = new tesraui::Dataset("", "b_owned");
        Owner() : Dataset("", "a_owner") {}
        ~Owner() override { delete this->owned; }
    };
    new Owner();
    new tesraui::Dataset("", "c_after");
    tesraui::destroy();
    EXPECT_TRUE(tesraui::getDatasets().empty());
    // Shut-down is over: a dataset made before the next start-up registers as before the first.
    {
        tesraui::Dataset between("", "between");
        EXPECT_EQ(tesraui::getDatasetByName("between"), &between);
    }
    tesraui::init();
    tesraui::Dataset* fresh = new tesraui::Dataset("", "left_over");
    EXPECT_EQ(tesraui::getDatasetByName("left_over"), fresh);
    delete tesraui::createObject("Container", "box", Rectangle());
    tesraui::destroy();
}

TEST(Library, WindowToViewport)
{
    uitest::FakeWindow window;
    window.width = 1600;
    window.height = 1200;
    tesraui::init();
    auto transform = [](float x, float y) { return tesraui::transformWindowToViewport(Vector2(x, y)); };
    EXPECT_EQ(transform(800, 600), Vector2(800, 600)); // init takes the window's size
    tesraui::setViewport(Rectangle(0, 0, 800, 600));
    EXPECT_EQ(transform(1599.9f, -3), Vector2(799, 0));
    EXPECT_EQ(transform(5000, 600), Vector2(799, 300));
    window.setCursor(800, 601);
    tesraui::updateCursorPosition();
    EXPECT_EQ(tesraui::getCursorPosition(), Vector2(400, 300));
    // The viewport's origin is subtracted after scaling, in UI units.
    tesraui::setViewport(Rectangle(100, 50, 800, 600));
    EXPECT_EQ(transform(400, 400), Vector2(100, 150));
    tesraui::setLimitCursorToViewport(false);
    tesraui::setViewport(Rectangle(0, 0, 800, 600));
    EXPECT_EQ(transform(1599.9f, -3), Vector2(799, -1));
    EXPECT_EQ(transform(5000, 600), Vector2(2500, 300));
    // A minimised window has no size: the point goes to the viewport's origin, clamped when limited.
    window.width = window.height = 0;
    tesraui::setViewport(Rectangle(10, 20, 800, 600));
    EXPECT_EQ(transform(30, 40), Vector2(-10, -20));
    tesraui::setLimitCursorToViewport(true);
    EXPECT_EQ(transform(30, 40), Vector2(0, 0));
    window.height = 1200;
    EXPECT_EQ(transform(30, 400), Vector2(0, 180));
    tesraui::destroy();
}

TEST(Library, BroadcastsInNameOrder)
{
    Lines visits;
    Visited* b = new Visited("b", &visits);
    Visited* a = new Visited("a", &visits);
    a->victim = new Visited("c", &visits);
    tesraui::notifyEvent("Hello", nullptr);
    EXPECT_EQ(visits, (Lines{"a Hello", "b Hello"}));
    delete a;
    delete b;
}
