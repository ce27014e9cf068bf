#pragma once

#include <quortypes/exception.h>
#include <quorxml/Node.h>
#include <quorxml/exception.h>

namespace tesraui
{
    // A failure while reading a data file, told with the file and line that asked for what failed: a
    // missing picture or a malformed rectangle named alone leaves the game's author searching every file
    // that might hold it.
    class LocatedError : public quortypes::exception
    {
    public:
        LocatedError(const quortypes::exception& cause, quorxml::Node* node)
            : quortypes::exception("", "src/Dataset", __LINE__)
        {
            message = cause.getMessage() + ", in file " + node->getFilename() + ", line " +
                      hstring(node->getLine());
        }
    };

    // What read() returns; its failures are located at the node, except those the XML wrapper located.
    template <typename Read> auto located(quorxml::Node* node, Read read) -> decltype(read())
    {
        try
        {
            return read();
        }
        catch (const quorxml::_XMLException&)
        {
            throw;
        }
        catch (const quortypes::exception& e)
        {
            throw LocatedError(e, node);
        }
    }
} // namespace tesraui
