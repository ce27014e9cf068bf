#pragma once

#include <cstddef>

#include <quortypes/hstring.h>

class TiXmlAttribute;

namespace quorxml
{
    class Node;

    // An attribute of a Node. Created and owned by its node; callers never delete it.
    class Property
    {
    public:
        virtual ~Property();

        Property(const Property&) = delete;
        Property& operator=(const Property&) = delete;

        hstring getName() const;
        hstring getValue() const;
        // The next attribute of the same element, null after the last.
        Property* next();

    protected:
        friend class Node;

        Node* node;
        TiXmlAttribute* attribute;
        size_t index;

        Property(Node* node, TiXmlAttribute* attribute, size_t index);
    };
} // namespace quorxml
