#pragma once

#include <quortypes/exception.h>
#include <quortypes/hstring.h>

namespace quorxml
{
    class Node;

    // Errors of XML files: parse failures, a missing or wrong root, a missing attribute.
    class _XMLException : public quortypes::exception
    {
    public:
        // With a node, the text names the node's file and line so that data errors can be found.
        // The type name only tells the kind apart at the throw site; it is not part of the message.
        _XMLException(const hstring& message, Node* node, const hstring& type, const char* sourceFile,
                      int line);
    };
} // namespace quorxml
