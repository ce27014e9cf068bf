#include <tinyxml.h>

#include <quortypes/hstring.h>

#include <quorxml/Document.h>
#include <quorxml/Node.h>
#include <quorxml/Property.h>
#include <quorxml/exception.h>

namespace quorxml
{
    static const char* const SOURCE = "Node";

    Node::Node(Document* document, TiXmlNode* node) : document(document), node(node) {}

    Node::~Node() {}

    bool Node::operator==(const hstring& name) const
    {
        return name == this->node->ValueTStr();
    }

    bool Node::operator!=(const hstring& name) const
    {
        return !(*this == name);
    }

    Node::Type Node::getType() const
    {
        switch (this->node->Type())
        {
        case TiXmlNode::TINYXML_TEXT:
            return TYPE_TEXT;
        case TiXmlNode::TINYXML_COMMENT:
            return TYPE_COMMENT;
        default:
            return TYPE_ELEMENT;
        }
    }

    int Node::getLine() const
    {
        // Already counted from 1 by TinyXML.
        return this->node->Row();
    }

    hstring Node::getFilename() const
    {
        return this->document->filename;
    }

    Node* Node::firstChild()
    {
        return this->document->_node(this->node->FirstChildElement());
    }

    Node* Node::nextSibling()
    {
        return this->document->_node(this->node->NextSiblingElement());
    }

    Property* Node::firstProperty()
    {
        TiXmlElement* element = this->node->ToElement();
        return (element != nullptr ? this->_property(element->FirstAttribute(), 0) : nullptr);
    }

    bool Node::hasProperty(const hstring& name) const
    {
        return (this->findProperty(name, true) != nullptr);
    }

    hstring Node::getString(const hstring& name) const
    {
        return this->findProperty(name);
    }

    hstring Node::getString(const hstring& name, const hstring& fallback) const
    {
        const char* value = this->findProperty(name, true);
        return (value != nullptr ? hstring(value) : fallback);
    }

    float Node::getFloat(const hstring& name) const
    {
        return hstring(this->findProperty(name)).toFloat();
    }

    float Node::getFloat(const hstring& name, float fallback) const
    {
        const char* value = this->findProperty(name, true);
        return (value != nullptr ? hstring(value).toFloat() : fallback);
    }

    bool Node::getBool(const hstring& name, bool fallback) const
    {
        const char* value = this->findProperty(name, true);
        return (value != nullptr ? hstring(value).toBool() : fallback);
    }

    const char* Node::findProperty(const hstring& name, bool noThrow) const
    {
        const TiXmlElement* element = this->node->ToElement();
        if (element != nullptr)
        {
            for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute != nullptr;
                 attribute = attribute->Next())
            {
                // TinyXML's own string: its length is known, so most names differ without a byte read
                if (name == attribute->NameTStr())
                {
                    return attribute->Value();
                }
            }
        }
        if (noThrow)
        {
            return nullptr;
        }
        throw _XMLException("XML property doesn't exist: " + name, const_cast<Node*>(this),
                            "XMLPropertyNotExistsException", SOURCE, __LINE__);
    }

    Property* Node::_property(TiXmlAttribute* attribute, size_t index)
    {
        if (attribute == nullptr)
        {
            return nullptr;
        }
        // A map from attribute to wrapper cost an allocation and a tree insertion per attribute read.
        if (index < this->properties.size())
        {
            return this->properties[index].get();
        }
        if (this->properties.empty())
        {
            size_t count = 1;
            for (const TiXmlAttribute* next = attribute->Next(); next != nullptr; next = next->Next())
            {
                ++count;
            }
            this->properties.reserve(count);
        }
        this->properties.emplace_back(new Property(this, attribute, index));
        return this->properties.back().get();
    }
} // namespace quorxml
