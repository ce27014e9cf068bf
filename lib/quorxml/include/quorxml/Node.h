#pragma once

#include <map>
#include <memory>
#include <vector>

#include <quortypes/hstring.h>

class TiXmlAttribute;
class TiXmlNode;

namespace quorxml
{
    class Document;
    class Property;

    // An element of a Document. Created and owned by the document; callers never delete it.
    class Node
    {
    public:
        enum Type
        {
            TYPE_ELEMENT = 0, // also every other kind that is neither text nor comment
            TYPE_COMMENT = 1,
            TYPE_TEXT = 2,
        };

        virtual ~Node();

        Node(const Node&) = delete;
        Node& operator=(const Node&) = delete;

        bool operator==(const hstring& name) const;
        bool operator!=(const hstring& name) const;

        Type getType() const;
        // Counted from 1.
        int getLine() const;
        hstring getFilename() const;

        // Only elements are reached: text and comments in between are stepped over.
        Node* firstChild();
        Node* nextSibling();
        Property* firstProperty();

        bool hasProperty(const hstring& name) const;
        hstring getString(const hstring& name) const;
        hstring getString(const hstring& name, const hstring& fallback) const;
        float getFloat(const hstring& name) const;
        float getFloat(const hstring& name, float fallback) const;
        bool getBool(const hstring& name, bool fallback) const;
        // The attribute's text, valid as long as the document; when missing, null with noThrow,
        // otherwise throws _XMLException naming the attribute, file and line.
        const char* findProperty(const hstring& name, bool noThrow = false) const;

    protected:
        friend class Document;
        friend class Property;

        Document* document;
        TiXmlNode* node;
        // The wrappers of the first attributes in document order: they are only ever made one after another.
        std::vector<std::unique_ptr<Property>> properties;

        Node(Document* document, TiXmlNode* node);

        // The one wrapper of a TinyXML attribute of this node, created on first use; null for null.
        // The wrapper of the attribute at `index` in document order.
        Property* _property(TiXmlAttribute* attribute, size_t index);
    };
} // namespace quorxml
