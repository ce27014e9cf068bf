#include <functional>
#include <memory>
#include <string>

#include <quorxml/Document.h>
#include <tesraui/ColoredQuad.h>
#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/Object.h>

#include "UiTestSupport.h"

using kavtypes::Rectangle;
using tesraui::Dataset;
using tesraui::Object;

namespace
{
    struct Counting : public tesraui::Event
    {
        int runs = 0;
        void execute(tesraui::EventArgs*) override { ++this->runs; }
    };

    // A chain of quads named prefix0, prefix1..., each filling its parent, clipping what it holds and
    // anchored on every side, registered one by one; the first is returned, the last left in deepest.
    Object* makeChain(Dataset& dataset, const std::string& prefix, int count, Object*& deepest)
    {
        Object* first = nullptr;
        deepest = nullptr;
        for (int i = 0; i < count; ++i)
        {
            auto* quad = new tesraui::ColoredQuad(prefix + std::to_string(i), Rectangle(0, 0, 100, 100));
            quad->setClip(true);
            quad->setAnchors(true, true, true, true);
            dataset.registerObjects(quad);
            if (deepest != nullptr)
            {
                deepest->addChild(quad);
            }
            first = (first != nullptr ? first : quad);
            deepest = quad;
        }
        return first;
    }

    class Nesting : public uitest::UiWindowTest
    {
    protected:
        // What the load threw, or "loaded".
        std::string load(const std::string& text)
        {
            this->folder.write("ui/deep.xml", text);
            Dataset dataset("ui/deep.xml", "deep");
            try
            {
                dataset.load();
            }
            catch (const quortypes::exception& e)
            {
                return uitest::messageText(e);
            }
            // What loaded runs as any tree does.
            dataset.update(0.1f);
            dataset.getRoot()->draw();
            return "loaded";
        }
    };
} // namespace

// A chain of 20,000 objects overflowed the stack in the next update and in its destruction. A tree at the
// bound runs every walk (update, draw with clipping, layout, input and its event, search, derived values,
// destruction) on the stack of the sanitizer build; attaching past it is refused, naming both objects.
TEST_F(Nesting, ATreeAtTheBoundRunsEveryWalkAndNoAttachGoesPastIt)
{
    const int bound = Object::maxNesting;
    Dataset dataset("", "d");
    Object* deepest = nullptr;
    Object* root = makeChain(dataset, "o", bound, deepest);
    auto clicks = std::make_shared<Counting>();
    deepest->registerEvent("Click", clicks);

    root->update(0.1f);
    root->draw();
    root->setSize(90, 90);
    EXPECT_EQ(deepest->getSize(), kavtypes::Vector2(90, 90));
    tesraui::setCursorPosition(kavtypes::Vector2(50, 50));
    root->onMouseDown(1);
    root->onMouseUp(1);
    dataset.processEvents();
    EXPECT_EQ(clicks->runs, 1);
    EXPECT_EQ(root->getChildUnderPoint(50, 50), deepest);
    EXPECT_EQ(root->getDescendants().size(), (size_t)bound - 1);
    EXPECT_EQ(deepest->getDerivedAlpha(), 255);
    EXPECT_EQ(deepest->getBoundingRect().w, 90.0f);

    struct Case
    {
        const char* name;
        // Attaches and names what it attached under what.
        std::function<void(Dataset&)> attach;
    };
    const Case cases[] = {
        {"a leaf below the deepest",
         [&](Dataset& into)
         {
             auto* leaf = new tesraui::ColoredQuad("leaf", Rectangle(0, 0, 1, 1));
             into.registerObjects(leaf);
             deepest->addChild(leaf);
         }},
        {"two chains of 200 joined",
         [&](Dataset& into)
         {
             Object* upperEnd = nullptr;
             Object* lowerEnd = nullptr;
             makeChain(into, "upper", 200, upperEnd);
             Object* lower = makeChain(into, "lower", 200, lowerEnd);
             upperEnd->addChild(lower);
         }},
        {"a chain of the bound below one more",
         [&](Dataset& into)
         {
             Object* end = nullptr;
             auto* top = new tesraui::ColoredQuad("top", Rectangle(0, 0, 1, 1));
             into.registerObjects(top);
             top->addChild(makeChain(into, "long", bound, end));
         }},
        {"a chain of one less below one more",
         [&](Dataset& into)
         {
             Object* end = nullptr;
             auto* top = new tesraui::ColoredQuad("top", Rectangle(0, 0, 1, 1));
             into.registerObjects(top);
             top->addChild(makeChain(into, "short", bound - 1, end));
         }},
    };
    harray<hstring> journal;
    for (const Case& c : cases)
    {
        Dataset scratch("", "scratch");
        journal.push_back(hstring(c.name) + ": " +
                          uitest::thrownText<tesraui::_GenericException>([&] { c.attach(scratch); }));
    }
    const std::string tooDeep = ", the tree would nest deeper than " + std::to_string(bound) + " objects";
    EXPECT_EQ(
        journal,
        (harray<hstring>{
            "a leaf below the deepest: Cannot attach object 'leaf' to object 'o255'" + tooDeep,
            "two chains of 200 joined: Cannot attach object 'lower0' to object 'upper199'" + tooDeep,
            "a chain of the bound below one more: Cannot attach object 'long0' to object 'top'" + tooDeep,
            "a chain of one less below one more: nothing thrown",
        }));
    EXPECT_TRUE(deepest->getChildren().empty());

    dataset.destroyObject(root);
    EXPECT_TRUE(dataset.getObjects().empty());
}

// A data file nesting 20,000 objects overflowed the stack while it loaded (the sanitizer build's at 5,000
// already). Elements deeper than any walk may go are refused before the file is parsed, objects deeper than
// a tree may nest at the first one too deep; either names the file and the line.
TEST_F(Nesting, ADataFileNestingPastTheBoundIsRefusedAtItsLine)
{
    const auto nested = [](int count)
    {
        std::string text = "<Dataset>\n";
        for (int i = 0; i < count; ++i)
        {
            text += "<Object type='Container' name='o" + std::to_string(i) + "' x='0' y='0' w='10' h='10'>\n";
        }
        for (int i = 0; i < count; ++i)
        {
            text += "</Object>";
        }
        return text + "\n</Dataset>\n";
    };
    const int bound = Object::maxNesting;
    const std::string rule(58, '-');
    const std::string line = "<Object type='Container' name='o";
    const std::pair<std::string, std::string> cases[] = {
        {nested(bound), "loaded"},
        {nested(bound + 1),
         "Cannot attach object 'o256' to object 'o255', the tree would nest deeper than 256 "
         "objects, in file ui/deep.xml, line 258"},
        {nested(20000), "An error occcured parsing XML file 'ui/deep.xml': elements nest deeper than " +
                            std::to_string(quorxml::Document::maxDepth) + " [row 1001]\n" + rule + "\n" +
                            line + "999' x='0' y='0' w='10' h='10'>\n" + rule},
    };
    for (const auto& [text, expected] : cases)
    {
        EXPECT_EQ(this->load(text), expected) << text.size() << " bytes";
    }
}
