#include <quorxml/Node.h>
#include <quorxml/exception.h>

namespace quorxml
{
    static hstring locate(const hstring& message, Node* node)
    {
        if (node == nullptr)
        {
            return message;
        }
        return message + ", in file " + node->getFilename() + ", line " + hstring(node->getLine());
    }

    _XMLException::_XMLException(const hstring& message, Node* node, const hstring& /*type*/,
                                 const char* sourceFile, int line)
        : quortypes::exception(locate(message, node), sourceFile, line)
    {
    }
} // namespace quorxml
