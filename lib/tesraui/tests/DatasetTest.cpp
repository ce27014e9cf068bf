#include <gtest/gtest.h>

#include <tesraui/Dataset.h>
#include <tesraui/EventArgs.h>
#include <tesraui/Image.h>
#include <tesraui/Object.h>
#include <tesraui/exception.h>
#include <tesraui/tesraui.h>

#include "LibraryTestSupport.h"

using library_support::LogCapture;
using library_support::ResourceFolder;
using library_support::thrownText;
using library_support::WindowScope;

namespace
{
    std::vector<std::string>& happenings()
    {
        static std::vector<std::string> list;
        return list;
    }

    class Recorder : public tesraui::Object
    {
    public:
        using Object::Object;
        int updates = 0;

        void notifyEvent(const hstring& type, void* args) override
        {
            if (type != "RegisterInDataset" && type != "AttachToObject")
            {
                happenings().push_back(this->name + " " + type);
            }
            Object::notifyEvent(type, args);
        }

        void update(float timeDelta) override
        {
            ++this->updates;
            Object::update(timeDelta);
        }
    };

    void record(tesraui::EventArgs* args)
    {
        happenings().push_back(args->object->getName() + " event '" + args->extra + "'");
    }

    void recordGain(tesraui::EventArgs* args)
    {
        happenings().push_back(args->object->getName() + " GainFocus");
    }

    void recordLose(tesraui::EventArgs* args)
    {
        happenings().push_back(args->object->getName() + " LoseFocus");
    }

    // A handler that triggers another event of its object.
    void chain(tesraui::EventArgs* args)
    {
        happenings().push_back(args->object->getName() + " Click");
        args->object->triggerEvent("Second", 0u, "chained");
    }

    // Loading picks the root; these tests pick it themselves.
    class TreeDataset : public tesraui::Dataset
    {
    public:
        using Dataset::Dataset;
        void setRoot(tesraui::Object* object) { this->root = object; }
    };

    Recorder* makeTree(tesraui::Dataset& dataset, const hstring& prefix)
    {
        Recorder* root = new Recorder(prefix + "root", kavtypes::Rectangle(0, 0, 100, 100));
        Recorder* child = new Recorder(prefix + "child", kavtypes::Rectangle(0, 0, 10, 10));
        root->addChild(child);
        child->addChild(new Recorder(prefix + "grandchild", kavtypes::Rectangle(0, 0, 1, 1)));
        dataset.registerObjects(root);
        return root;
    }
} // namespace

TEST(Dataset, RegistryByName)
{
    tesraui::Dataset* first = new tesraui::Dataset("", "first");
    EXPECT_EQ(tesraui::getDatasetByName("first"), first);
    EXPECT_EQ(thrownText<tesraui::_GenericException>([&] { tesraui::Dataset again("", "first"); }),
              "Unable to register dataset 'first', another dataset with the same name exists!");
    EXPECT_EQ(tesraui::getDatasetByName("first"), first);
    // The name comes from the file when none is given.
    tesraui::Dataset fromFile("data/menus/start.dts", "");
    EXPECT_EQ(fromFile.getName(), "start");
    EXPECT_EQ(fromFile.getFilename(), "data/menus/start.dts");
    EXPECT_EQ(tesraui::getDatasets().keys(), (harray<hstring>{"first", "start"}));
    delete first;
    EXPECT_EQ(thrownText<tesraui::_GenericException>([&] { tesraui::getDatasetByName("first"); }),
              "Dataset 'first' doesn't exist!");
}

TEST(Dataset, PlainAndDottedLookups)
{
    tesraui::Dataset menu("", "menu");
    tesraui::Dataset scene("", "scene");
    Recorder* root = makeTree(menu, "");
    EXPECT_EQ(menu.getObject("root"), root);
    EXPECT_EQ(scene.getObject("menu.grandchild"), root->getChildren()[0]->getChildren()[0]);
    EXPECT_EQ(scene.tryGetObject("menu.child"), root->getChildren()[0]);
    EXPECT_TRUE(scene.hasObject("menu.root"));
    EXPECT_FALSE(scene.hasObject("menu.nothing"));
    EXPECT_EQ(scene.tryGetObject("root"), nullptr);
    // getObject turns every failure on the dotted road into its own not-exists error.
    for (hstring name : {"other.button", "menu.nothing", "nothing"})
    {
        EXPECT_EQ(thrownText<tesraui::_ResourceNotExistsException>([&] { scene.getObject(name); }),
                  "Object doesn't exist: '" + name + "' in dataset 'scene'");
    }
    // tryGetObject lets the registry's error through.
    EXPECT_EQ(thrownText<tesraui::_GenericException>([&] { scene.tryGetObject("other.button"); }),
              "Dataset 'other' doesn't exist!");
    // Images: the null image exists before loading; dotted names reach other datasets.
    ASSERT_NE(menu.getImage("null"), nullptr);
    EXPECT_EQ(menu.getImage("null")->getName(), "null");
    EXPECT_EQ(menu.getImage("null")->getDataset(), &menu);
    EXPECT_EQ(scene.getImage("menu.null"), menu.getImage("null"));
    tesraui::Image* dotted = new tesraui::Image(nullptr, "icons.big", kavtypes::Rectangle());
    menu.registerImage(dotted);
    EXPECT_EQ(menu.getImage("icons.big"), dotted);
    EXPECT_EQ(scene.getImage("menu.icons.big"), dotted);
    EXPECT_THROW(scene.getImage("other.null"), tesraui::_ResourceNotExistsException);
    EXPECT_THROW(menu.registerImage(dotted), tesraui::_ResourceExistsException);
    EXPECT_THROW(menu.getTexture("menu"), tesraui::_ResourceNotExistsException);
    EXPECT_FALSE(menu.hasTexture("menu"));
    menu.unregisterImage(dotted);
    delete dotted;
    EXPECT_THROW(menu.getImage("icons.big"), tesraui::_ResourceNotExistsException);
}

TEST(Dataset, FocusEventsInOrder)
{
    WindowScope window;
    happenings().clear();
    tesraui::Dataset dataset("", "focus");
    Recorder* root = makeTree(dataset, "");
    Recorder* a = root;
    tesraui::Object* b = root->getChildren()[0];
    for (tesraui::Object* object : {(tesraui::Object*)a, b})
    {
        object->registerEvent("GainFocus", &recordGain);
        object->registerEvent("LoseFocus", &recordLose);
    }
    dataset.focus(a);
    dataset.focus(b);
    EXPECT_EQ(dataset.getFocusedObject(), b);
    EXPECT_EQ(window.window.keyboardTerminations, 1);
    // The notification is immediate, the events wait for the queue.
    EXPECT_EQ(happenings(), (std::vector<std::string>{"root onGainFocus", "child onGainFocus"}));
    happenings().clear();
    dataset.processEvents();
    EXPECT_EQ(happenings(),
              (std::vector<std::string>{"root GainFocus", "root LoseFocus", "child GainFocus"}));
    b->setFocusIndex(3);
    EXPECT_EQ(dataset.getFocusedObjectIndex(), 3);
    b->setAlpha(0);
    EXPECT_EQ(dataset.getFocusedObjectIndex(), -1);
    b->setAlpha(255);
    b->setVisible(false);
    EXPECT_EQ(dataset.getFocusedObjectIndex(), -1);
    // Focusing nothing takes the focus away, as removeFocus does.
    happenings().clear();
    dataset.focus(nullptr);
    EXPECT_EQ(dataset.getFocusedObject(), nullptr);
    EXPECT_EQ(window.window.keyboardTerminations, 2);
    EXPECT_EQ(dataset.getFocusedObjectIndex(), -1);
    dataset.processEvents();
    EXPECT_EQ(happenings(), (std::vector<std::string>{"child LoseFocus"}));
    dataset.removeFocus();
    EXPECT_EQ(window.window.keyboardTerminations, 2);
}

TEST(Dataset, QueueRunsOnceAFrame)
{
    happenings().clear();
    tesraui::Dataset second("", "second");
    tesraui::Dataset first("", "first");
    Recorder* one = makeTree(first, "one_");
    Recorder* two = makeTree(second, "two_");
    one->registerEvent("Click", &chain);
    one->registerEvent("Second", &record);
    two->registerEvent("Click", &record);
    two->triggerEvent("Click", 0u, "two");
    one->triggerEvent("Click", 0u, "one");
    EXPECT_TRUE(happenings().empty());
    tesraui::processEvents();
    // Datasets in name order; an event queued by a handler runs in the same call.
    EXPECT_EQ(happenings(), (std::vector<std::string>{"one_root Click", "one_root event 'chained'",
                                                      "two_root event 'two'"}));
    happenings().clear();
    tesraui::processEvents();
    EXPECT_TRUE(happenings().empty());
}

TEST(Dataset, UpdateAndDestroyObject)
{
    TreeDataset dataset("", "tree");
    Recorder* root = makeTree(dataset, "");
    dataset.setRoot(root);
    tesraui::update(0.1f);
    EXPECT_EQ(root->updates, 1);
    EXPECT_EQ(((Recorder*)root->getChildren()[0])->updates, 1);
    dataset.destroyObject("child");
    EXPECT_EQ(dataset.getObjects().keys(), harray<hstring>{"root"});
    EXPECT_TRUE(root->getChildren().empty());

    // Unregistered objects still name their dataset, and may be deleted after it.
    tesraui::Dataset* scratch = new tesraui::Dataset("", "scratch");
    Recorder* kept = makeTree(*scratch, "kept_");
    tesraui::Object* keptChild = kept->getChildren()[0];
    tesraui::Object* keptGrandchild = keptChild->getChildren()[0];
    kept->registerEvent("Click", &record);
    kept->triggerEvent("Click", 0u, "pending");
    scratch->unregisterObjects(kept);
    EXPECT_TRUE(scratch->getObjects().empty());
    EXPECT_EQ(kept->getDataset(), scratch);
    EXPECT_THROW(scratch->unregisterObjects(kept), tesraui::_ResourceNotExistsException);
    delete scratch;
    EXPECT_EQ(kept->getDataset(), nullptr);
    EXPECT_EQ(keptGrandchild->getDataset(), nullptr);
    delete keptGrandchild;
    delete keptChild;
    delete kept;
}

TEST(Dataset, LoadAndUnloadTwice)
{
    WindowScope window;
    TreeDataset dataset("", "loaded");
    EXPECT_FALSE(dataset.isLoaded());
    dataset.load();
    EXPECT_TRUE(dataset.isLoaded());
    Recorder* root = makeTree(dataset, "");
    EXPECT_EQ(dataset.getRoot(), nullptr);
    dataset.setRoot(root);
    dataset.focus(root->getChildren()[0]);
    tesraui::Image* image = new tesraui::Image(nullptr, "picture", kavtypes::Rectangle());
    dataset.registerImage(image);
    dataset.unload();
    EXPECT_FALSE(dataset.isLoaded());
    EXPECT_TRUE(dataset.getObjects().empty());
    EXPECT_EQ(dataset.getFocusedObject(), nullptr);
    EXPECT_EQ(dataset.getRoot(), nullptr);
    EXPECT_THROW(dataset.getImage("picture"), tesraui::_ResourceNotExistsException);
    EXPECT_NE(dataset.getImage("null"), nullptr);
    EXPECT_EQ(thrownText<tesraui::_GenericException>([&] { dataset.unload(); }),
              "Unable to unload dataset 'loaded', data not loaded!");
    // A loaded dataset that is deleted unloads itself.
    dataset.load();
    makeTree(dataset, "again_");
}

TEST(Dataset, LocalizationChangeReloadsTextsAndNotifiesOnce)
{
    ResourceFolder folder;
    folder.write("texts/t.txt", "hello\n{\nHello\n}\n");
    folder.write("texts/de/t.txt", "hello\n{\nHallo\n}\n");
    tesraui::Dataset loaded("", "a_loaded");
    tesraui::Dataset idle("", "b_idle");
    tesraui::Dataset other("", "c_other");
    loaded.load();
    other.load();
    loaded.reloadTexts();
    EXPECT_EQ(loaded.getText("hello"), "Hello");
    makeTree(loaded, "l_");
    makeTree(idle, "i_");
    makeTree(other, "o_");
    happenings().clear();
    LogCapture log;
    tesraui::setLocalization("de");
    EXPECT_EQ(loaded.getText("hello"), "Hallo");
    EXPECT_EQ(other.getText("hello"), "Hallo");
    EXPECT_FALSE(idle.hasText("hello"));
    // Loaded datasets only, each object once, after every dataset has its new texts.
    EXPECT_EQ(happenings(), (std::vector<std::string>{
                                "l_child onLocalizationChanged", "l_grandchild onLocalizationChanged",
                                "l_root onLocalizationChanged", "o_child onLocalizationChanged",
                                "o_grandchild onLocalizationChanged", "o_root onLocalizationChanged"}));
    EXPECT_EQ(log.take(), (std::vector<std::string>{"Setting localization to: de", "Loading texts: texts/de",
                                                    "Loading texts: texts/de"}));
    happenings().clear();
    tesraui::setLocalization("de");
    EXPECT_TRUE(happenings().empty());
    EXPECT_EQ(log.take(), std::vector<std::string>{"Setting localization to: de"});
    tesraui::setLocalization("");
}
