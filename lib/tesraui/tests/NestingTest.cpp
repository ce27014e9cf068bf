#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <quorxml/Document.h>
#include <tesraui/ColoredQuad.h>
#include <tesraui/CompositeImage.h>
#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/Image.h>
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

// Each file of a chain of includes is parsed inside the one that includes it, each object an object include
// file holds inside the object that includes it, and each composite image a file gives drawn inside the one
// that references it: a chain of 20,000 include files overflowed the stack while it loaded (the sanitizer
// build's at 4,500 already). A chain at its bound loads and draws; one link more is refused at its line.
TEST_F(Nesting, ChainsOfFilesAndImagesStopAtTheirBounds)
{
    this->folder.write("ui/red.png", uitest::solidPng(8, 8, tesra::Color(255, 0, 0)));
    const std::string box = "<Object type='ImageBox' name='box' x='0' y='0' w='8' h='8' image='";
    // Files ui/<prefix>1.xml... up to count, each including the next; the main file includes the first.
    const auto includes = [&](const std::string& prefix, int count)
    {
        for (int i = 1; i <= count; ++i)
        {
            const std::string next = prefix + std::to_string(i + 1) + ".xml";
            this->folder.write("ui/" + prefix + std::to_string(i) + ".xml",
                               "<Dataset><Include path='" + next + "'/></Dataset>\n");
        }
        this->folder.write("ui/" + prefix + std::to_string(count + 1) + ".xml",
                           "<Dataset>" + box + "null'/></Dataset>\n");
        return "<Dataset><Include path='" + prefix + "1.xml'/></Dataset>\n";
    };
    // Containers o0... up to count, o0 in the main file and each other one in an object include file
    // ui/<prefix>1.xml..., each including the file of the next.
    const auto objectIncludes = [&](const std::string& prefix, int count)
    {
        const auto holding = [&](int i)
        {
            const std::string next = prefix + std::to_string(i + 1) + ".xml";
            return "<Object type='Container' name='o" + std::to_string(i) + "' x='0' y='0'>" +
                   (i + 1 < count ? "<Include path='" + next + "'/>" : std::string()) + "</Object>";
        };
        for (int i = 1; i < count; ++i)
        {
            this->folder.write("ui/" + prefix + std::to_string(i) + ".xml",
                               "<Objects>" + holding(i) + "</Objects>\n");
        }
        return "<Dataset>\n" + holding(0) + "\n</Dataset>\n";
    };
    // Composites c1... on lines 3..., each drawing the one before, the first the picture; a box shows the
    // last.
    const auto composites = [&](int count)
    {
        std::string text = "<Dataset>\n<Texture filename='red'/>\n";
        for (int i = 1; i <= count; ++i)
        {
            text += "<CompositeImage name='c" + std::to_string(i) + "' w='8' h='8'><ImageRef name='" +
                    (i == 1 ? std::string("red") : "c" + std::to_string(i - 1)) +
                    "' x='0' y='0' w='8' h='8'/></CompositeImage>\n";
        }
        return text + box + "c" + std::to_string(count) + "'/>\n</Dataset>\n";
    };
    const int files = Dataset::maxIncludeDepth;
    const int objects = Object::maxNesting;
    const int images = tesraui::CompositeImage::maxNesting;
    struct Case
    {
        const char* name;
        std::string text;
    };
    // The main file is the first of the chain.
    const Case cases[] = {
        {"includes at the bound", includes("at", files - 2)},
        {"includes past the bound", includes("past", files - 1)},
        {"object includes at the bound", objectIncludes("oat", objects)},
        {"object includes past the bound", objectIncludes("opast", objects + 1)},
        {"composites at the bound", composites(images)},
        {"composites past the bound", composites(images + 1)},
    };
    std::vector<std::string> journal;
    for (const Case& c : cases)
    {
        journal.push_back(std::string(c.name) + ": " + this->load(c.text));
    }
    EXPECT_EQ(
        journal,
        (std::vector<std::string>{
            "includes at the bound: loaded",
            "includes past the bound: Include of 'past64.xml' would nest dataset files deeper than 64, in "
            "file ui/past63.xml, line 1",
            "object includes at the bound: loaded",
            "object includes past the bound: Cannot attach object 'o256' to object 'o255', the tree would "
            "nest deeper than 256 objects, in file ui/opast256.xml, line 1",
            "composites at the bound: loaded",
            "composites past the bound: CompositeImage 'c65': a reference to 'deep.c64' would nest "
            "composite images deeper than 64, in file ui/deep.xml, line 67",
        }));
}

// "a.b" asks the dataset named a for b, which may be dotted again, each lookup inside the one before: a name
// of 100,000 parts overflowed the stack. A name going through the bound of datasets is found; a longer one is
// refused, naming it, whatever is looked up.
TEST_F(Nesting, ADottedNameGoesThroughNoMoreDatasetsThanTheBound)
{
    struct Texts : public Dataset
    {
        using Dataset::Dataset;
        void setText(const hstring& key, const hstring& text) { this->texts[key] = text; }
    };
    Texts dataset("", "d");
    dataset.registerImage(std::make_unique<tesraui::Image>(nullptr, "pic", kavtypes::Rectangle()));
    dataset.registerObjects(new tesraui::ColoredQuad("quad", kavtypes::Rectangle()));
    dataset.setText("key", "text");
    const int bound = Dataset::maxNameHops;
    const std::string past = "' goes on through more than " + std::to_string(bound) + " datasets";
    // "d." count times, then the last part.
    const auto hops = [](int count, const std::string& last)
    {
        std::string name;
        for (int i = 0; i < count; ++i)
        {
            name += "d.";
        }
        return hstring(name + last);
    };
    // What the lookup found, or whether it was refused or found nothing.
    const auto outcome = [&](const std::function<std::string()>& lookUp)
    {
        try
        {
            return lookUp();
        }
        catch (const quortypes::exception& e)
        {
            const std::string message = uitest::messageText(e);
            return std::string(message.find(past) != std::string::npos              ? "refused"
                               : message.find("doesn't exist") != std::string::npos ? "not found"
                                                                                    : message);
        }
    };
    const std::pair<const char*, std::function<std::string(int)>> lookUps[] = {
        {"image", [&](int count) { return std::string(dataset.getImage(hops(count, "pic"))->getName()); }},
        {"object", [&](int count) { return std::string(dataset.getObject(hops(count, "quad"))->getName()); }},
        {"object or none",
         [&](int count) { return std::string(dataset.tryGetObject(hops(count, "quad"))->getName()); }},
        {"text", [&](int count) { return std::string(dataset.getText(hops(count, "key"))); }},
        {"whether a text",
         [&](int count) { return std::string(dataset.hasText(hops(count, "key")) ? "yes" : "no"); }},
    };
    std::vector<std::string> journal;
    for (const auto& lookUp : lookUps)
    {
        std::string line = lookUp.first;
        for (const int count : {bound, bound + 1, 100000})
        {
            line += ", " + std::to_string(count) + ": " + outcome([&] { return lookUp.second(count); });
        }
        journal.push_back(line);
    }
    // Past the bound a name names nothing; the object's lookup says so in its own words.
    EXPECT_EQ(journal, (std::vector<std::string>{
                           "image, 64: pic, 65: refused, 100000: refused",
                           "object, 64: quad, 65: not found, 100000: not found",
                           "object or none, 64: quad, 65: refused, 100000: refused",
                           "text, 64: text, 65: refused, 100000: refused",
                           "whether a text, 64: yes, 65: refused, 100000: refused",
                       }));
    EXPECT_EQ(uitest::thrownText([&] { dataset.getImage(hops(bound + 1, "pic")); }),
              "Image name '" + std::string(hops(bound + 1, "pic")) + past);
}
