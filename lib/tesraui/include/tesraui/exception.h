#pragma once

#include <quortypes/exception.h>
#include <quortypes/hstring.h>

namespace tesraui
{
    class Dataset;

    // Root of the UI framework's errors; the engine derives its own from it as well.
    class _GenericException : public quortypes::exception
    {
    public:
        _GenericException(const hstring& message, const char* sourceFile, int lineNumber);
    };

    class _ObjectExistsException : public _GenericException
    {
    public:
        _ObjectExistsException(const hstring& name, const hstring& file, const char* sourceFile,
                               int lineNumber);
    };

    class _ObjectHasParentException : public _GenericException
    {
    public:
        _ObjectHasParentException(const hstring& child, const hstring& parent, const char* sourceFile,
                                  int lineNumber);
    };

    class _ObjectNotChildException : public _GenericException
    {
    public:
        _ObjectNotChildException(const hstring& child, const hstring& parent, const char* sourceFile,
                                 int lineNumber);
    };

    class _ObjectWithoutParentException : public _GenericException
    {
    public:
        _ObjectWithoutParentException(const hstring& name, const char* sourceFile, int lineNumber);
    };

    class _ObjectFactoryExistsException : public _GenericException
    {
    public:
        _ObjectFactoryExistsException(const hstring& type, const char* sourceFile, int lineNumber);
    };

    class _ObjectFactoryNotExistsException : public _GenericException
    {
    public:
        _ObjectFactoryNotExistsException(const hstring& type, const char* sourceFile, int lineNumber);
    };

    class _AnimatorFactoryExistsException : public _GenericException
    {
    public:
        _AnimatorFactoryExistsException(const hstring& type, const char* sourceFile, int lineNumber);
    };

    // kind is "Object", "Image" or "Texture".
    class _ResourceExistsException : public _GenericException
    {
    public:
        _ResourceExistsException(const hstring& name, const hstring& kind, Dataset* dataset,
                                 const char* sourceFile, int lineNumber);
    };

    class _ResourceNotExistsException : public _GenericException
    {
    public:
        _ResourceNotExistsException(const hstring& name, const hstring& kind, Dataset* dataset,
                                    const char* sourceFile, int lineNumber);
    };

    class _InvalidObjectTypeCast : public _GenericException
    {
    public:
        _InvalidObjectTypeCast(const hstring& message, const char* sourceFile, int lineNumber);
    };
} // namespace tesraui
