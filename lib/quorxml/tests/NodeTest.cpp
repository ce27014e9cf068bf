#include <gtest/gtest.h>

#include <quorxml/Document.h>
#include <quorxml/Node.h>
#include <quorxml/Property.h>
#include <quorxml/exception.h>

#include "TempXml.h"

using quorxml::Document;
using quorxml::Node;
using quorxml::Property;

namespace
{
    const char* const XML = "<?xml version=\"1.0\"?>\n"
                            "<dataset>\n"
                            "  <object x=\"1.5\" visible=\"FALSE\" name=\"button\" y=\"abc\" enabled=\"\"/>\n"
                            "  text between <!-- a comment -->\n"
                            "  <image/>\n"
                            "</dataset>\n";
}

TEST(Node, TypedGettersWithAndWithoutFallback)
{
    TempXml file("getters.xml", XML);
    Document document(file.path);
    Node* object = document.root()->firstChild();
    ASSERT_NE(object, nullptr);

    EXPECT_FLOAT_EQ(object->getFloat("x", 7.0f), 1.5f);
    EXPECT_FLOAT_EQ(object->getFloat("w", 7.0f), 7.0f);
    EXPECT_FLOAT_EQ(object->getFloat("y"), 0.0f); // unparsable text reads as 0
    EXPECT_FALSE(object->getBool("visible", true));
    EXPECT_TRUE(object->getBool("hidden", true));
    EXPECT_FALSE(object->getBool("enabled", true)); // present but empty
    EXPECT_EQ(object->getString("name"), "button");
    EXPECT_EQ(object->getString("type", "other"), "other");
    EXPECT_TRUE(object->hasProperty("enabled"));
    EXPECT_FALSE(object->hasProperty("Name"));
    EXPECT_EQ(object->findProperty("type", true), nullptr);
    EXPECT_STREQ(object->findProperty("x", false), "1.5");

    // A missing attribute without fallback names the attribute, the file and the element's line.
    const std::string where = ", in file " + file.path + ", line 3";
    EXPECT_EQ(errorOf<quorxml::_XMLException>("Node", [&] { object->getFloat("w"); }),
              "XML property doesn't exist: w" + where);
    EXPECT_THROW(object->getString("type"), quorxml::_XMLException);
    EXPECT_THROW(object->findProperty("type"), quorxml::_XMLException);
}

TEST(Node, NavigationReachesElementsOnlyAndReusesWrappers)
{
    TempXml file("navigation.xml", XML);
    Document document(file.path);
    Node* root = document.root("dataset");
    EXPECT_EQ(root->getFilename(), file.path);

    Node* object = root->firstChild();
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(root->firstChild(), object);
    EXPECT_TRUE(*object != "Object");

    // The text and the comment between the two elements are stepped over.
    Node* image = object->nextSibling();
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(*image == "image");
    EXPECT_EQ(image->getLine(), 5);
    EXPECT_EQ(object->nextSibling(), image);
    EXPECT_EQ(image->nextSibling(), nullptr);
    EXPECT_EQ(image->firstProperty(), nullptr);

    // Attributes in document order, each with one wrapper.
    std::vector<std::string> names;
    for (Property* p = object->firstProperty(); p != nullptr; p = p->next())
    {
        names.push_back(p->getName() + "=" + p->getValue());
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"x=1.5", "visible=FALSE", "name=button", "y=abc", "enabled="}));
    Property* first = object->firstProperty();
    EXPECT_EQ(object->firstProperty(), first);
    EXPECT_EQ(first->next(), first->next());
}

TEST(Node, ExceptionWithoutNodeKeepsTheMessage)
{
    quorxml::_XMLException plain("broken", nullptr, "XMLException", "src/Node", 12);
    EXPECT_EQ(plain.getMessage(), "[Node:12] broken");
}
