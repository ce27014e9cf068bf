#include <gtest/gtest.h>

#include <vector>

#include <quorxml/Document.h>
#include <quorxml/Node.h>
#include <quorxml/Property.h>
#include <quorxml/exception.h>

#include "TempXml.h"

using quorxml::Document;
using quorxml::Node;
using quorxml::Property;

TEST(Node, TypedGettersNavigationAndWrappers)
{
    TempXml file("node.xml", "<?xml version=\"1.0\"?>\n<dataset>\n"
                             "  <object x=\"1.5\" visible=\"FALSE\" name=\"button\" y=\"abc\"/>\n"
                             "  text between <!-- a comment -->\n  <image/>\n</dataset>\n");
    Document document(file.path);
    Node* object = document.root()->firstChild();
    ASSERT_NE(object, nullptr);
    EXPECT_FLOAT_EQ(object->getFloat("x", 7.0f), 1.5f);
    EXPECT_FLOAT_EQ(object->getFloat("w", 7.0f), 7.0f);
    EXPECT_FLOAT_EQ(object->getFloat("y"), 0.0f); // unparsable text reads as 0
    EXPECT_FALSE(object->getBool("visible", true));
    EXPECT_TRUE(object->getBool("hidden", true));
    EXPECT_EQ(object->getString("name"), "button");
    EXPECT_EQ(object->getString("type", "other"), "other");
    EXPECT_FALSE(object->hasProperty("Name"));
    // A missing attribute without fallback names the attribute, the file and the element's line.
    EXPECT_EQ(errorOf<quorxml::_XMLException>("Node", [&] { object->getFloat("w"); }),
              "XML property doesn't exist: w, in file " + file.path + ", line 3");

    // The text and the comment between the two elements are stepped over; every object has one wrapper.
    EXPECT_EQ(document.root()->firstChild(), object);
    Node* image = object->nextSibling();
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(*image == "image");
    EXPECT_EQ(image->getLine(), 5);
    EXPECT_EQ(image->nextSibling(), nullptr);
    std::string names;
    for (Property* p = object->firstProperty(); p != nullptr; p = p->next())
    {
        names += p->getName() + "=" + p->getValue() + ";";
    }
    EXPECT_EQ(names, "x=1.5;visible=FALSE;name=button;y=abc;");
    EXPECT_EQ(object->firstProperty()->next(), object->firstProperty()->next());
}

// Wrappers made by a partial walk are the ones a later full walk meets, one per attribute in order.
TEST(Node, PropertyWrappersAfterAPartialWalk)
{
    TempXml file("walk.xml", "<dataset><object a=\"1\" b=\"2\" c=\"3\"/></dataset>\n");
    Document document(file.path);
    Node* object = document.root()->firstChild();
    ASSERT_NE(object, nullptr);
    Property* first = object->firstProperty();
    ASSERT_NE(first, nullptr);
    std::vector<Property*> walk;
    std::string text;
    for (Property* p = object->firstProperty(); p != nullptr; p = p->next())
    {
        walk.push_back(p);
        text += p->getName() + p->getValue();
    }
    EXPECT_EQ(text, "a1b2c3");
    ASSERT_EQ(walk.size(), 3u);
    EXPECT_EQ(walk[0], first);
    EXPECT_EQ(walk[0]->next(), walk[1]);
    EXPECT_EQ(walk[1]->next(), walk[2]);
    EXPECT_NE(walk[1], walk[2]);
    EXPECT_EQ(walk[2]->next(), nullptr);
}
