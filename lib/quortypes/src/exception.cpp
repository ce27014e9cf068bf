#include <cstring>

#include <quortypes/exception.h>
#include <quortypes/hstring.h>

namespace quortypes
{
    // The last path segment; "\\" and "/" both separate.
    static const char* baseName(const char* path)
    {
        if (path == nullptr)
        {
            return "";
        }
        const char* result = path;
        for (const char* p = path; *p != '\0'; ++p)
        {
            if (*p == '/' || *p == '\\')
            {
                result = p + 1;
            }
        }
        return result;
    }

    exception::exception(const hstring& message, const char* sourceFile, int lineNumber)
    {
        this->_setInternalMessage(message, sourceFile, lineNumber);
    }

    exception::~exception() {}

    hstring exception::getMessage() const
    {
        return this->message;
    }

    void exception::_setInternalMessage(const hstring& text, const char* sourceFile, int lineNumber)
    {
        this->message = formatString("[%s:%d] %s", baseName(sourceFile), lineNumber, text.c_str());
    }

    _container_index_error::_container_index_error(int index, const char* sourceFile, int lineNumber)
        : exception("", sourceFile, lineNumber)
    {
        this->_setInternalMessage(formatString("index '%d' out of range", index), sourceFile, lineNumber);
    }

    _container_empty_error::_container_empty_error(const hstring& functionName, const char* sourceFile,
                                                   int lineNumber)
        : exception("", sourceFile, lineNumber)
    {
        this->_setInternalMessage(
            formatString("'%s' cannot be used on a container with size = 0", functionName.c_str()),
            sourceFile, lineNumber);
    }

    _container_element_not_found::_container_element_not_found(const char* sourceFile, int lineNumber)
        : exception("", sourceFile, lineNumber)
    {
        this->_setInternalMessage("element not found in container\t", sourceFile, lineNumber);
    }

    _container_range_error::_container_range_error(int start, int count, const char* sourceFile,
                                                   int lineNumber)
        : exception("", sourceFile, lineNumber)
    {
        this->_setInternalMessage(formatString("range 'at %d for %d' out of range", start, count), sourceFile,
                                  lineNumber);
    }

    _file_not_open::_file_not_open(const hstring& filename, const char* sourceFile, int lineNumber)
        : exception("", sourceFile, lineNumber)
    {
        this->_setInternalMessage(formatString("'%s' is not open!", filename.c_str()), sourceFile,
                                  lineNumber);
    }

    _file_not_writeable::_file_not_writeable(const hstring& filename, const char* sourceFile, int lineNumber)
        : exception("", sourceFile, lineNumber)
    {
        this->_setInternalMessage(formatString("'%s' is not writeable!", filename.c_str()), sourceFile,
                                  lineNumber);
    }

    _resource_not_exists::_resource_not_exists(const hstring& type, const hstring& name,
                                               const hstring& container, const char* sourceFile,
                                               int lineNumber)
        : exception("", sourceFile, lineNumber)
    {
        this->_setInternalMessage(
            formatString("'%s' '%s' does not exist in '%s'", name.c_str(), type.c_str(), container.c_str()),
            sourceFile, lineNumber);
    }
} // namespace quortypes
