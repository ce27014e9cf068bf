#pragma once

#include <string>

class hstring;

namespace quortypes
{
    // Root of every error the system throws. The message is decorated as
    // "[<source base name>:<line>] <text>". Throw by value, catch by reference.
    class exception
    {
    public:
        exception(const hstring& message, const char* sourceFile, int lineNumber);
        virtual ~exception();

        virtual hstring getMessage() const;

    protected:
        std::string message;

        // Subclasses call this with their own text once the base exists.
        void _setInternalMessage(const hstring& text, const char* sourceFile, int lineNumber);
    };

    class _container_index_error : public exception
    {
    public:
        _container_index_error(int index, const char* sourceFile, int lineNumber);
    };

    class _container_empty_error : public exception
    {
    public:
        _container_empty_error(const hstring& functionName, const char* sourceFile, int lineNumber);
    };

    class _container_element_not_found : public exception
    {
    public:
        _container_element_not_found(const char* sourceFile, int lineNumber);
    };

    class _container_range_error : public exception
    {
    public:
        _container_range_error(int start, int count, const char* sourceFile, int lineNumber);
    };

    class _file_not_found : public exception
    {
    public:
        _file_not_found(const hstring& filename, bool isResource, const char* sourceFile, int lineNumber);
    };

    // A file that is there but cannot be read (no permission, a failing drive): never to be taken for a
    // missing or a damaged one, so never replaced or moved aside. "Unable to read file '<name>': <reason>".
    class _file_not_readable : public exception
    {
    public:
        _file_not_readable(const hstring& filename, const hstring& reason, const char* sourceFile,
                           int lineNumber);
    };

    class _file_not_open : public exception
    {
    public:
        _file_not_open(const hstring& filename, const char* sourceFile, int lineNumber);
    };

    class _file_not_writeable : public exception
    {
    public:
        _file_not_writeable(const hstring& filename, const char* sourceFile, int lineNumber);
    };

    class _resource_not_exists : public exception
    {
    public:
        _resource_not_exists(const hstring& type, const hstring& name, const hstring& container,
                             const char* sourceFile, int lineNumber);
    };
} // namespace quortypes

#include <quortypes/hstring.h>
