#include <tinyxml.h>

#include <quorxml/Node.h>
#include <quorxml/Property.h>

namespace quorxml
{
    Property::Property(Node* node, TiXmlAttribute* attribute, size_t index)
        : node(node), attribute(attribute), index(index)
    {
    }

    Property::~Property() {}

    hstring Property::getName() const
    {
        return this->attribute->NameTStr();
    }

    hstring Property::getValue() const
    {
        return this->attribute->Value();
    }

    Property* Property::next()
    {
        return this->node->_property(this->attribute->Next(), this->index + 1);
    }
} // namespace quorxml
