#include <memory>

#include <tesraui/Image.h>

#include "UiTestSupport.h"

using kavtypes::Rectangle;
using tesraui::Object;
using uitest::Lines;
using uitest::thrownText;

namespace
{
    harray<hstring> journal;

    void record(tesraui::EventArgs* args)
    {
        journal.push_back(args->object->getName() + " event '" + args->extra + "'");
    }

    // Loading picks the root; these tests pick it themselves.
    struct TreeDataset : public tesraui::Dataset
    {
        using Dataset::Dataset;
        void setRoot(Object* object) { this->root = object; }
    };

    // root > child > grandchild, registered, with an empty journal.
    Object* makeTree(tesraui::Dataset& dataset, const hstring& prefix)
    {
        Object* root = new uitest::Recorder(prefix + "root", Rectangle(0, 0, 100, 100), &journal);
        Object* child = new uitest::Recorder(prefix + "child", Rectangle(0, 0, 10, 10), &journal);
        root->addChild(child);
        child->addChild(new uitest::Recorder(prefix + "grandchild", Rectangle(0, 0, 1, 1), &journal));
        dataset.registerObjects(root);
        journal.clear();
        return root;
    }
} // namespace

TEST(Dataset, RegistryAndLookups)
{
    tesraui::Dataset* first = new tesraui::Dataset("", "first");
    EXPECT_EQ(thrownText<tesraui::_GenericException>([&] { tesraui::Dataset again("", "first"); }),
              "Unable to register dataset 'first', another dataset with the same name exists!");
    EXPECT_EQ(tesraui::getDatasetByName("first"), first);
    // The name comes from the file when none is given.
    tesraui::Dataset menu("data/menus/menu.dts", ""), scene("", "scene");
    EXPECT_EQ(tesraui::getDatasets().keys(), (harray<hstring>{"first", "menu", "scene"}));
    EXPECT_EQ(menu.getTextsFolder(), "data/menus/texts");
    delete first;
    EXPECT_EQ(thrownText<tesraui::_GenericException>([&] { tesraui::getDatasetByName("first"); }),
              "Dataset 'first' doesn't exist!");

    Object* root = makeTree(menu, "");
    EXPECT_EQ(scene.getObject("menu.grandchild"), root->getChildren()[0]->getChildren()[0]);
    EXPECT_EQ(scene.tryGetObject("menu.child"), root->getChildren()[0]);
    EXPECT_EQ(scene.tryGetObject("root"), nullptr);
    // getObject turns every failure on the dotted road into its own not-exists error; tryGetObject lets the
    // registry's error through.
    for (hstring name : {"other.button", "menu.nothing", "nothing"})
        EXPECT_EQ(thrownText<tesraui::_ResourceNotExistsException>([&] { scene.getObject(name); }),
                  "Object doesn't exist: '" + name + "' in dataset 'scene'");
    EXPECT_EQ(thrownText<tesraui::_GenericException>([&] { scene.tryGetObject("other.button"); }),
              "Dataset 'other' doesn't exist!");
    // Images: the null image exists before loading; dotted names reach other datasets.
    EXPECT_EQ(menu.getImage("null")->getDataset(), &menu);
    tesraui::Image* dotted =
        menu.registerImage(std::make_unique<tesraui::Image>(nullptr, "icons.big", Rectangle()));
    EXPECT_EQ(scene.getImage("menu.icons.big"), dotted);
    EXPECT_THROW(scene.getImage("other.null"), tesraui::_ResourceNotExistsException);
    // A misspelt image is reported in the dataset its name names; a name of no dataset in the one asked.
    EXPECT_EQ(thrownText<tesraui::_ResourceNotExistsException>([&] { scene.getImage("menu.icons/wik"); }),
              "Image doesn't exist: 'icons/wik' in dataset 'menu'");
    EXPECT_EQ(thrownText<tesraui::_ResourceNotExistsException>([&] { scene.getImage("other.icons/big"); }),
              "Image doesn't exist: 'other.icons/big' in dataset 'scene'");
    menu.unregisterImage(dotted).reset();
}

// Two datasets holding an image of one name: each lets only its own go.
TEST(Dataset, UnregisteringAnotherDatasetsImageOfTheSameName)
{
    tesraui::Dataset menu("", "menu"), scene("", "scene");
    tesraui::Image* menus = menu.registerImage(std::make_unique<tesraui::Image>(nullptr, "pic", Rectangle()));
    tesraui::Image* scenes =
        scene.registerImage(std::make_unique<tesraui::Image>(nullptr, "pic", Rectangle()));
    EXPECT_EQ(thrownText<tesraui::_ResourceNotExistsException>([&] { scene.unregisterImage(menus).reset(); }),
              "Image doesn't exist: 'pic' in dataset 'scene'");
    EXPECT_EQ(scene.getImage("pic"), scenes);
    EXPECT_EQ(menu.getImage("pic"), menus);
    EXPECT_EQ(menu.unregisterImage(menus).get(), menus);
    EXPECT_EQ(scene.getImage("pic"), scenes);
}

TEST(Dataset, FocusEventsInOrder)
{
    uitest::FakeWindow window;
    tesraui::Dataset dataset("", "focus");
    Object* a = makeTree(dataset, "");
    Object* b = a->getChildren()[0];
    for (Object* object : {a, b})
    {
        object->registerEvent("GainFocus", [](tesraui::EventArgs* e)
                              { journal.push_back(e->object->getName() + " gain"); });
        object->registerEvent("LoseFocus", [](tesraui::EventArgs* e)
                              { journal.push_back(e->object->getName() + " lose"); });
    }
    dataset.focus(a);
    dataset.focus(b);
    EXPECT_EQ(dataset.getFocusedObject(), b);
    EXPECT_EQ(window.keyboardTerminations, 1);
    // The notification is immediate, the events wait for the queue.
    EXPECT_EQ(journal, harray<hstring>({"root:onGainFocus", "child:onGainFocus"}));
    journal.clear();
    dataset.processEvents();
    EXPECT_EQ(journal, harray<hstring>({"root gain", "root lose", "child gain"}));
    b->setAlpha(0); // an invisible focus has no index
    EXPECT_EQ(dataset.getFocusedObjectIndex(), -1);
    // Focusing nothing takes the focus away, as removeFocus does.
    journal.clear();
    dataset.focus(nullptr);
    EXPECT_EQ(dataset.getFocusedObject(), nullptr);
    EXPECT_EQ(window.keyboardTerminations, 2);
    dataset.processEvents();
    EXPECT_EQ(journal, harray<hstring>({"child lose"}));
    dataset.removeFocus();
    EXPECT_EQ(window.keyboardTerminations, 2);
}

TEST(Dataset, QueueRunsOnceAFrameAndUpdatesTheTree)
{
    TreeDataset second("", "second"), first("", "first");
    Object* one = makeTree(first, "one_");
    Object* two = makeTree(second, "two_");
    one->registerEvent("Click",
                       [](tesraui::EventArgs* args) { args->object->triggerEvent("Second", 0u, "chained"); });
    one->registerEvent("Second", &record);
    two->registerEvent("Click", &record);
    two->triggerEvent("Click", 0u, "two");
    one->triggerEvent("Click", 0u, "one");
    EXPECT_TRUE(journal.empty());
    tesraui::processEvents();
    tesraui::processEvents();
    // Datasets in name order; an event queued by a handler runs in the same call.
    EXPECT_EQ(journal, harray<hstring>({"one_root event 'chained'", "two_root event 'two'"}));

    journal.clear();
    first.setRoot(one);
    tesraui::update(0.1f);
    EXPECT_EQ(journal, harray<hstring>({"one_root:update", "one_child:update", "one_grandchild:update"}));
}

TEST(Dataset, UnregisteredObjectsMayOutliveTheirDataset)
{
    tesraui::Dataset* scratch = new tesraui::Dataset("", "scratch");
    Object* kept = makeTree(*scratch, "kept_");
    kept->registerEvent("Click", &record);
    kept->triggerEvent("Click", 0u, "pending");
    scratch->unregisterObjects(kept);
    EXPECT_TRUE(scratch->getObjects().empty());
    EXPECT_EQ(kept->getDataset(), scratch);
    EXPECT_THROW(scratch->unregisterObjects(kept), tesraui::_ResourceNotExistsException);
    delete scratch;
    EXPECT_EQ(kept->getChildren()[0]->getChildren()[0]->getDataset(), nullptr);
    for (Object* object : kept->getDescendants())
        delete object;
    delete kept;
}

TEST(Dataset, LoadAndUnloadTwice)
{
    uitest::FakeWindow window;
    TreeDataset dataset("", "loaded");
    dataset.load();
    EXPECT_TRUE(dataset.isLoaded());
    Object* root = makeTree(dataset, "");
    dataset.setRoot(root);
    dataset.focus(root->getChildren()[0]);
    dataset.registerImage(std::make_unique<tesraui::Image>(nullptr, "picture", Rectangle()));
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
    uitest::ResourceFolder folder;
    folder.write("texts/t.txt", "hello\n{\nHello\n}\n");
    folder.write("texts/de/t.txt", "hello\n{\nHallo\n}\n");
    folder.write("words/fr/t.txt", "hello\n{\nBonjour\n}\n");
    tesraui::Dataset loaded("", "a_loaded"), idle("", "b_idle"), other("", "c_other");
    loaded.load();
    other.load();
    loaded.reloadTexts();
    EXPECT_EQ(loaded.getText("hello"), "Hello");
    makeTree(loaded, "l_");
    makeTree(idle, "i_");
    makeTree(other, "o_");
    uitest::LogCapture log;
    tesraui::setLocalization("de");
    EXPECT_EQ(loaded.getText("hello") + other.getText("hello"), "HalloHallo");
    EXPECT_FALSE(idle.hasText("hello"));
    // Loaded datasets only, each object once, after every dataset has its new texts.
    EXPECT_EQ(journal,
              harray<hstring>({"l_child:onLocalizationChanged", "l_grandchild:onLocalizationChanged",
                               "l_root:onLocalizationChanged", "o_child:onLocalizationChanged",
                               "o_grandchild:onLocalizationChanged", "o_root:onLocalizationChanged"}));
    EXPECT_EQ(log.take(),
              (Lines{"Setting localization to: de", "Loading texts: texts/de", "Loading texts: texts/de"}));
    journal.clear();
    tesraui::setLocalization("de");
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(log.take(), Lines{"Setting localization to: de"});
    // Without a folder of its own a localisation reads the default one.
    tesraui::setLocalization("fr");
    EXPECT_EQ(loaded.getText("hello"), "Hello");
    loaded.setTextsPath("words");
    loaded.reloadTexts();
    EXPECT_EQ(loaded.getText("hello"), "Bonjour");
    tesraui::setLocalization("");
}

namespace
{
    // A recorder that runs `onDetach` when it is told it leaves its parent.
    struct DetachHook : public uitest::Recorder
    {
        std::function<void()> onDetach;
        DetachHook(const hstring& name) : uitest::Recorder(name, Rectangle(0, 0, 1, 1), &::journal) {}
        void notifyEvent(const hstring& type, void* args) override
        {
            uitest::Recorder::notifyEvent(type, args);
            if (type == "DetachFromObject" && this->onDetach)
                std::exchange(this->onDetach, nullptr)();
        }
    };
} // namespace

TEST(Dataset, DestroyingASubtreeDetachesDepthFirstInOrder)
{
    tesraui::Dataset dataset("", "subtree");
    Object* holder = new Object("holder", Rectangle(0, 0, 10, 10));
    Object* parent = new uitest::Recorder("parent", Rectangle(0, 0, 10, 10), &journal);
    holder->addChild(parent);
    harray<DetachHook*> kids;
    for (const char* name : {"a", "b", "c", "d"})
    {
        kids.push_back(new DetachHook(name));
        parent->addChild(kids.back());
    }
    kids[0]->addChild(new uitest::Recorder("a1", Rectangle(0, 0, 1, 1), &journal));
    dataset.registerObjects(holder);
    journal.clear();
    // A child's notification may destroy a sibling that has not gone yet and attach a newcomer to the
    // parent on its way out: the sibling is not met again, the newcomer only loses its parent.
    Object* newcomer = new Object("newcomer", Rectangle(0, 0, 1, 1));
    kids[1]->onDetach = [&]
    {
        dataset.destroyObject("c");
        parent->addChild(newcomer);
    };
    dataset.destroyObject(parent);
    EXPECT_EQ(journal,
              harray<hstring>({"a1:DetachFromObject", "a:DetachFromObject", "b:DetachFromObject",
                               "c:DetachFromObject", "d:DetachFromObject", "parent:DetachFromObject"}));
    EXPECT_TRUE(holder->getChildren().empty());
    EXPECT_EQ(dataset.getObjects().keys(), harray<hstring>({"holder"}));
    EXPECT_EQ(newcomer->getParent(), nullptr);
    delete newcomer;

    // A child that names this dataset without being registered in it stops the destruction with the
    // error; the children not destroyed stay in their order, with one attached meanwhile by z-order.
    parent = new Object("parent", Rectangle(0, 0, 10, 10));
    holder->addChildAndRegister(parent);
    DetachHook* first = new DetachHook("first");
    Object* loose = new Object("loose", Rectangle(0, 0, 1, 1));
    Object* last = new Object("last", Rectangle(0, 0, 1, 1));
    Object* late = new Object("late", Rectangle(0, 0, 1, 1));
    late->setZOrder(-1);
    for (Object* child : {(Object*)first, loose, last})
        parent->addChildAndRegister(child);
    dataset.unregisterObjects(loose);
    first->onDetach = [&] { parent->addChild(late); };
    EXPECT_THROW(dataset.destroyObject(parent), tesraui::_ResourceNotExistsException);
    EXPECT_FALSE(dataset.hasObject("first"));
    EXPECT_EQ(uitest::names(parent->getChildren()), harray<hstring>({"late", "loose", "last"}));
    EXPECT_EQ(loose->getParent(), parent);
    parent->removeChild(loose);
    delete loose;
    dataset.registerObjects(late);
    dataset.destroyObject(holder);
    EXPECT_TRUE(dataset.getObjects().empty());
}

TEST(Dataset, CursorCachesFilledSinceTheLastClearingAreCleared)
{
    using kavtypes::Vector2;
    tesraui::Dataset* first = new tesraui::Dataset("", "first");
    tesraui::Dataset second("", "second");
    // Each holder covers the cursor's place with its child, until the child moves away.
    auto holder = [](const hstring& name)
    {
        Object* object = new Object(name, Rectangle(0, 0, 100, 100));
        object->addChild(new Object(name + "_child", Rectangle(0, 0, 10, 10)));
        return object;
    };
    Object* early = holder("early"); // filled before it is registered
    Object* moved = holder("moved"); // filled in one dataset, registered in the other
    Object* gone = holder("gone");   // filled, then deleted before the clearing
    Object* left = holder("left");   // filled, then unregistered, outliving its dataset
    tesraui::setCursorPosition(Vector2(5, 5));
    early->getChildUnderCursor();
    first->registerObjects(early);
    for (Object* object : {moved, gone, left})
    {
        first->registerObjects(object);
        object->getChildUnderCursor();
    }
    first->unregisterObjects(moved);
    second.registerObjects(moved);
    first->unregisterObjects(left);
    first->destroyObject(gone);
    // The children leave the cursor's place (a cache follows the cursor itself, not a child's move).
    for (Object* object : {early, moved, left})
        object->getChildren()[0]->setX(50);
    // Still cached until their dataset clears them.
    EXPECT_EQ(early->getChildUnderCursor()->getName(), "early_child");
    first->clearChildUnderCursorCaches();
    EXPECT_EQ(early->getChildUnderCursor(), early);
    EXPECT_EQ(left->getChildUnderCursor(), left);
    EXPECT_EQ(moved->getChildUnderCursor()->getName(), "moved_child");
    second.clearChildUnderCursorCaches();
    EXPECT_EQ(moved->getChildUnderCursor(), moved);
    // The dataset goes before the object it still lists.
    tesraui::setCursorPosition(Vector2(5, 5));
    first->registerObjects(left);
    left->getChildUnderCursor();
    first->unregisterObjects(left);
    delete first;
    Object* leftChild = left->getChildren()[0];
    left->removeChildren();
    delete leftChild;
    delete left;
}

TEST(Dataset, UnloadCutsTheLinksOfWhatGoesAndKeepsWhatStays)
{
    TreeDataset dataset("", "going");
    tesraui::Dataset staying("", "staying");
    dataset.load();
    Object* outside = new Object("outside", Rectangle(0, 0, 100, 100));
    staying.registerObjects(outside);
    // outside > parent > (100 children, the last holding a child of the other dataset)
    Object* parent = new Object("parent", Rectangle(0, 0, 100, 100));
    for (int i = 0; i < 100; ++i)
        parent->addChild(new Object(formatString("child%03d", i), Rectangle(0, 0, 10, 10)));
    dataset.registerObjects(parent);
    outside->addChild(parent);
    Object* guest = new Object("guest", Rectangle(0, 0, 1, 1));
    staying.registerObjects(guest);
    parent->getChildren().back()->addChild(guest);
    tesraui::setCursorPosition(kavtypes::Vector2(5, 5));
    EXPECT_EQ(outside->getChildUnderCursor()->getName(), "child099");
    dataset.unload();
    EXPECT_TRUE(dataset.getObjects().empty());
    EXPECT_TRUE(outside->getChildren().empty());
    EXPECT_EQ(guest->getParent(), nullptr);
    EXPECT_EQ(outside->getChildUnderCursor(), outside);
    EXPECT_EQ(staying.getObjects().keys(), harray<hstring>({"guest", "outside"}));
}

TEST(Dataset, DestroyChildrenTakesEveryChildInOrder)
{
    uitest::LogCapture log;
    tesraui::Dataset dataset("", "children");
    Object* parent = new Object("parent", Rectangle(0, 0, 10, 10));
    dataset.registerObjects(parent);
    DetachHook* a = new DetachHook("a");
    uitest::Recorder* loose = new uitest::Recorder("loose", Rectangle(0, 0, 1, 1), &journal);
    uitest::Recorder* c = new uitest::Recorder("c", Rectangle(0, 0, 1, 1), &journal);
    parent->addChildAndRegister(a);
    parent->addChild(loose); // in no dataset
    parent->addChildAndRegister(c);
    // One attached while the others go is destroyed after them.
    uitest::Recorder* late = new uitest::Recorder("late", Rectangle(0, 0, 1, 1), &journal);
    a->onDetach = [&] { parent->addChildAndRegister(late); };
    journal.clear();
    parent->destroyChildren();
    EXPECT_EQ(journal,
              harray<hstring>({"a:DetachFromObject", "late:AttachToObject", "late:RegisterInDataset",
                               "loose:DetachFromObject", "c:DetachFromObject", "late:DetachFromObject"}));
    EXPECT_TRUE(parent->getChildren().empty());
    EXPECT_EQ(loose->getParent(), nullptr);
    EXPECT_EQ(dataset.getObjects().keys(), harray<hstring>({"parent"}));
    EXPECT_EQ(log.take(), Lines{"WARNING: Dataset 'children' cannot destroy object 'loose', it belongs to no "
                                "dataset."});
    delete loose;
}
