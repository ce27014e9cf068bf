#pragma once

#include <map>
#include <memory>

#include <quortypes/hstring.h>

class TiXmlDocument;
class TiXmlNode;

namespace quorxml
{
    class Node;

    // A parsed XML file. Owns every Node wrapper it hands out; they live as long as the document.
    class Document
    {
    public:
        // The deepest elements nest in a document: far deeper than any file of a game, and shallow enough for
        // the parser's recursion, and the walks over the tree a file builds, on the stack.
        static const int maxDepth = 1000;

        // Reads the resource and parses it; throws _file_not_found or _XMLException (a document nesting
        // deeper than maxDepth is one, naming the line of the element too deep).
        explicit Document(const hstring& filename);
        virtual ~Document();

        Document(const Document&) = delete;
        Document& operator=(const Document&) = delete;

        // The root element; with a type, also checks that the root element has that exact name.
        Node* root(const hstring& type = "");

    protected:
        friend class Node;

        hstring filename;
        std::unique_ptr<TiXmlDocument> document;
        Node* rootNode = nullptr;
        std::map<TiXmlNode*, std::unique_ptr<Node>> nodes;

        // The one wrapper of a TinyXML node, created on first use; null for null.
        Node* _node(TiXmlNode* node);
    };
} // namespace quorxml
