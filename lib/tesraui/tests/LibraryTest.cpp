#include <gtest/gtest.h>

#include <quorxml/Document.h>
#include <quorxml/Node.h>
#include <quorxml/exception.h>
#include <tesra/tesra.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/exception.h>
#include <tesraui/tesraui.h>

#include "LibraryTestSupport.h"

using library_support::LogCapture;
using library_support::thrownText;
using library_support::WindowScope;

namespace
{
    tesraui::Object* makeCustom(const hstring& name, kavtypes::Rectangle rect)
    {
        return new tesraui::Object(name, rect);
    }

    std::vector<std::string>& visits()
    {
        static std::vector<std::string> list;
        return list;
    }

    class Visited : public tesraui::Dataset
    {
    public:
        using Dataset::Dataset;
        tesraui::Dataset* victim = nullptr;

        void notifyEvent(const hstring& type, void* args) override
        {
            visits().push_back(this->name + " " + type);
            // A handler may destroy a dataset that the broadcast has not reached yet.
            delete this->victim;
            this->victim = nullptr;
            Dataset::notifyEvent(type, args);
        }
    };
} // namespace

TEST(Library, InitDestroyAndInitAgain)
{
    WindowScope window;
    LogCapture log;
    // Factories registered before start-up survive it.
    tesraui::registerObjectFactory("Custom", &makeCustom);
    tesraui::setDefaultDynamicLoading(true);
    tesraui::setHoverEffectEnabled(false);
    tesraui::init();
    EXPECT_EQ(log.take(), std::vector<std::string>{"Initializing TesraUI."});
    EXPECT_TRUE(tesraui::isHoverEffectEnabled());
    EXPECT_TRUE(tesraui::isDefaultDynamicLoading());
    EXPECT_EQ(tesraui::getDefaultTextsPath(), "texts");
    EXPECT_EQ(tesraui::getDefaultScale(), 1.0f);
    tesraui::Object* container = tesraui::createObject("Container", "box", kavtypes::Rectangle(1, 2, 3, 4));
    ASSERT_NE(container, nullptr);
    EXPECT_EQ(container->getClassName(), "Container");
    EXPECT_EQ(container->getName(), "box");
    EXPECT_EQ(container->getRect(), kavtypes::Rectangle(1, 2, 3, 4));
    delete container;
    tesraui::Object* custom = tesraui::createObject("Custom", "mine", kavtypes::Rectangle());
    ASSERT_NE(custom, nullptr);
    delete custom;
    EXPECT_EQ(tesraui::createObject("NoSuchKind", "x", kavtypes::Rectangle()), nullptr);
    EXPECT_EQ(tesraui::createAnimator("NoSuchKind", "x"), nullptr);
    std::string error = thrownText<tesraui::_ObjectFactoryExistsException>([] { tesraui::init(); });
    EXPECT_EQ(error, "Object factory named 'CallbackObject' already exists");
    log.take();
    // destroy deletes what is still registered, even a dataset that unregisters itself on the way.
    new tesraui::Dataset("", "left_over");
    tesraui::Dataset* loaded = new tesraui::Dataset("", "loaded_left_over");
    loaded->load();
    tesraui::destroy();
    EXPECT_EQ(log.take(), std::vector<std::string>{"Destroying TesraUI."});
    EXPECT_TRUE(tesraui::getDatasets().empty());
    EXPECT_EQ(tesraui::createObject("Container", "box", kavtypes::Rectangle()), nullptr);
    tesraui::init();
    tesraui::Dataset* fresh = new tesraui::Dataset("", "left_over");
    EXPECT_EQ(tesraui::getDatasetByName("left_over"), fresh);
    container = tesraui::createObject("Container", "box", kavtypes::Rectangle());
    EXPECT_NE(container, nullptr);
    delete container;
    tesraui::destroy();
}

TEST(Library, FactoryRegistryErrors)
{
    tesraui::registerObjectFactory("Custom", &makeCustom);
    EXPECT_THROW(tesraui::registerObjectFactory("Custom", &makeCustom),
                 tesraui::_ObjectFactoryExistsException);
    tesraui::unregisterObjectFactory("Custom");
    EXPECT_EQ(tesraui::createObject("Custom", "x", kavtypes::Rectangle()), nullptr);
    EXPECT_THROW(tesraui::unregisterObjectFactory("Custom"), tesraui::_ObjectFactoryNotExistsException);
    auto animator = [](const hstring&) -> tesraui::Animator* { return nullptr; };
    tesraui::registerAnimatorFactory("Spin", animator);
    EXPECT_THROW(tesraui::registerAnimatorFactory("Spin", animator),
                 tesraui::_AnimatorFactoryExistsException);
}

TEST(Library, WindowToViewport)
{
    WindowScope window;
    window.window.width = 1600;
    window.window.height = 1200;
    tesraui::init();
    // init takes the window's size for the viewport.
    EXPECT_EQ(tesraui::transformWindowToViewport(kavtypes::Vector2(800, 600)), kavtypes::Vector2(800, 600));
    tesraui::setViewport(kavtypes::Rectangle(0, 0, 800, 600));
    EXPECT_EQ(tesraui::transformWindowToViewport(kavtypes::Vector2(1599.9f, -3)), kavtypes::Vector2(799, 0));
    EXPECT_EQ(tesraui::transformWindowToViewport(kavtypes::Vector2(5000, 600)), kavtypes::Vector2(799, 300));
    window.window.setCursor(800, 601);
    tesraui::updateCursorPosition();
    EXPECT_EQ(tesraui::getCursorPosition(), kavtypes::Vector2(400, 300));
    // The viewport's origin is subtracted after scaling, in UI units.
    tesraui::setViewport(kavtypes::Rectangle(100, 50, 800, 600));
    EXPECT_EQ(tesraui::transformWindowToViewport(kavtypes::Vector2(400, 400)), kavtypes::Vector2(100, 150));
    tesraui::setLimitCursorToViewport(false);
    tesraui::setViewport(kavtypes::Rectangle(0, 0, 800, 600));
    EXPECT_EQ(tesraui::transformWindowToViewport(kavtypes::Vector2(1599.9f, -3)), kavtypes::Vector2(799, -1));
    EXPECT_EQ(tesraui::transformWindowToViewport(kavtypes::Vector2(5000, 600)), kavtypes::Vector2(2500, 300));
    // A minimised window has no size: the point goes to the viewport's origin, clamped when limited.
    window.window.width = 0;
    window.window.height = 0;
    tesraui::setViewport(kavtypes::Rectangle(10, 20, 800, 600));
    EXPECT_EQ(tesraui::transformWindowToViewport(kavtypes::Vector2(30, 40)), kavtypes::Vector2(-10, -20));
    tesraui::setLimitCursorToViewport(true);
    EXPECT_EQ(tesraui::transformWindowToViewport(kavtypes::Vector2(30, 40)), kavtypes::Vector2(0, 0));
    window.window.height = 1200;
    EXPECT_EQ(tesraui::transformWindowToViewport(kavtypes::Vector2(30, 400)), kavtypes::Vector2(0, 180));
    tesraui::destroy();
}

TEST(Library, TextureExtensionScales)
{
    tesraui::setTextureExtensionScales({".png", "g.png", ".jpt"}, {0.5f, 2.0f});
    EXPECT_EQ(tesra::getTextureExtensions(), (harray<hstring>{".png", "g.png", ".jpt"}));
    EXPECT_EQ(tesraui::getTextureExtensionScale(".png"), 0.5f);
    EXPECT_EQ(tesraui::getTextureExtensionScale("g.png"), 2.0f);
    EXPECT_EQ(tesraui::getTextureExtensionScale(".jpt"), 1.0f);
    EXPECT_EQ(tesraui::getTextureExtensionScale(".jpg"), 1.0f);
    // The rendering library's order decides which extension matches, not the order of the names.
    EXPECT_EQ(tesraui::findTextureExtensionScale("gfx/big.png"), 0.5f);
    EXPECT_EQ(tesraui::findTextureExtensionScale("gfx/big.jpt"), 1.0f);
    EXPECT_EQ(tesraui::findTextureExtensionScale("gfx/big"), 1.0f);
    tesraui::setTextureExtensionScales({"g.png", ".png"}, {2.0f, 0.5f, 7.0f});
    EXPECT_EQ(tesraui::findTextureExtensionScale("gfx/big.png"), 2.0f);
    EXPECT_EQ(tesraui::findTextureExtensionScale("gfx/small.png"), 0.5f);
    EXPECT_EQ(tesraui::getTextureExtensionScale(".jpt"), 1.0f);
}

TEST(Library, BroadcastsInNameOrder)
{
    visits().clear();
    Visited* b = new Visited("", "b");
    Visited* a = new Visited("", "a");
    Visited* c = new Visited("", "c");
    tesraui::notifyEvent("Hello", nullptr);
    EXPECT_EQ(visits(), (std::vector<std::string>{"a Hello", "b Hello", "c Hello"}));
    visits().clear();
    a->victim = c;
    tesraui::notifyEvent("Again", nullptr);
    EXPECT_EQ(visits(), (std::vector<std::string>{"a Again", "b Again"}));
    delete a;
    delete b;
}

TEST(Library, RectanglesOfDatasetElements)
{
    library_support::ResourceFolder folder;
    folder.write("rects.xml", "<r>"
                              "<a rect='1, 2,3 ,4' x='9'/>"
                              "<b position='5,6' size='7,8'/>"
                              "<c x='1' y='2'/>"
                              "<d x='1' y='2' w='3'/>"
                              "<e y='2'/>"
                              "<f rect='1,2,3'/>"
                              "</r>");
    quorxml::Document document("rects.xml");
    harray<quorxml::Node*> nodes;
    for (quorxml::Node* node = document.root()->firstChild(); node != nullptr; node = node->nextSibling())
    {
        nodes.push_back(node);
    }
    ASSERT_EQ(nodes.size(), 6);
    EXPECT_EQ(tesraui::readRectNode(nodes[0], false), kavtypes::Rectangle(1, 2, 3, 4));
    EXPECT_EQ(tesraui::readRectNode(nodes[1], false), kavtypes::Rectangle(5, 6, 7, 8));
    EXPECT_EQ(tesraui::readRectNode(nodes[2], true), kavtypes::Rectangle(1, 2, -1, -1));
    EXPECT_EQ(tesraui::readRectNode(nodes[3], true), kavtypes::Rectangle(1, 2, 3, -1));
    EXPECT_THROW(tesraui::readRectNode(nodes[2], false), quorxml::_XMLException);
    EXPECT_THROW(tesraui::readRectNode(nodes[4], true), quorxml::_XMLException);
    EXPECT_EQ(thrownText<quortypes::exception>([&] { tesraui::readRectNode(nodes[5], true); }),
              "Cannot convert string '1,2,3' to kavtypes::Rectangle.");
}
