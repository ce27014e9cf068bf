#include <tinyxml.h>

#include <quorxml/Node.h>
#include <quorxml/Property.h>

namespace quorxml
{
    Property::Property(Node* node, TiXmlAttribute* attribute) : node(node), attribute(attribute) {}

    Property::~Property() {}

    hstring Property::getName() const
    {
        return this->attribute->Name();
    }

    hstring Property::getValue() const
    {
        return this->attribute->Value();
    }

    Property* Property::next()
    {
        return this->node->_property(this->attribute->Next());
    }
} // namespace quorxml
