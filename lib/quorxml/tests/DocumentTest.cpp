#include <gtest/gtest.h>

#include <quortypes/exception.h>
#include <quorxml/Document.h>
#include <quorxml/Node.h>
#include <quorxml/exception.h>

#include "TempXml.h"

using quorxml::Document;
using quorxml::Node;

namespace
{
    const std::string RULE(58, '-');

    template <typename E> std::string openError(const std::string& path)
    {
        return errorOf<E>("Document", [&] { Document document(path); });
    }

    std::string rootError(Document& document, const char* type)
    {
        return errorOf<quorxml::_XMLException>("Document", [&] { document.root(type); });
    }
} // namespace

TEST(Document, ParseErrorNamesRowColumnAndTrimmedLine)
{
    // The unclosed tag on the third line; TinyXML's rows and columns count from 1 already.
    TempXml unclosed("unclosed.xml", "<a>\n  <b/>\n  <c x=\"1\" <d/>   \n</a>\n");
    EXPECT_EQ(openError<quorxml::_XMLException>(unclosed.path),
              "An error occcured parsing XML file 'quorxml_files/unclosed.xml': Error reading Attributes."
              " [row 3, column 12]\n" +
                  RULE + "\n<c x=\"1\" <d/>\n" + RULE);

    // Windows line ends: the same row, and the quoted line carries no carriage return.
    TempXml crlf("crlf.xml", "<a>\r\n  <b/>\r\n  <c></d>\r\n</a>\r\n");
    EXPECT_EQ(openError<quorxml::_XMLException>(crlf.path),
              "An error occcured parsing XML file 'quorxml_files/crlf.xml': Error reading end tag."
              " [row 3, column 6]\n" +
                  RULE + "\n<c></d>\n" + RULE);

    // A long single-line file is quoted whole.
    const std::string longLine = "<a x=\"" + std::string(40000, 'y') + "\" <b/></a>";
    TempXml minified("minified.xml", longLine);
    std::string message = openError<quorxml::_XMLException>(minified.path);
    EXPECT_NE(message.find(" [row 1, column "), std::string::npos);
    EXPECT_EQ(message.substr(message.size() - longLine.size() - RULE.size() - 1), longLine + "\n" + RULE);

    // An error without a location gets neither a position nor a quoted line; the name is normalised.
    TempXml empty("empty.xml", "  \n\n");
    EXPECT_EQ(openError<quorxml::_XMLException>("./quorxml_files/../quorxml_files/empty.xml"),
              "An error occcured parsing XML file 'quorxml_files/empty.xml': Error document empty.");
}

TEST(Document, MissingFileIsFileNotFound)
{
    EXPECT_EQ(openError<quortypes::_file_not_found>("quorxml_files/missing.xml"),
              "'quorxml_files/missing.xml' not found!");

    // Names are exact; the message points at the file spelt with other letter case.
    TempXml file("Cased.xml", "<a/>");
    EXPECT_EQ(openError<quortypes::_file_not_found>("quorxml_files/cased.xml"),
              "'quorxml_files/cased.xml' not found! But there is file with a different case: "
              "quorxml_files/Cased.xml");
}

TEST(Document, RootChecks)
{
    TempXml noRoot("noroot.xml", "<?xml version=\"1.0\"?>\n<!-- nothing else -->\n");
    Document empty(noRoot.path);
    EXPECT_EQ(rootError(empty, ""), "No root node found in XML file '" + noRoot.path + "'!");

    TempXml dataset("dataset.xml", "<?xml version=\"1.0\"?>\n<!-- c -->\n<Dataset name=\"x\"/>\n");
    Document document(dataset.path);
    // Names compare exactly, letter case included, on the first call and on later ones.
    EXPECT_EQ(rootError(document, "dataset"),
              "Root node type is not 'dataset' in XML file '" + dataset.path + "'!");
    Node* root = document.root("Dataset");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getLine(), 3);
    EXPECT_EQ(document.root(), root);
    EXPECT_EQ(rootError(document, "Data"),
              "Root node type is not 'Data' in XML file '" + dataset.path + "'!");
}
