#include <tesraui/Dataset.h>
#include <tesraui/exception.h>

namespace tesraui
{
    static hstring datasetName(Dataset* dataset)
    {
        return dataset != nullptr ? dataset->getName() : hstring();
    }

    _GenericException::_GenericException(const hstring& message, const char* sourceFile, int lineNumber)
        : quortypes::exception(message, sourceFile, lineNumber)
    {
    }

    _ObjectExistsException::_ObjectExistsException(const hstring& name, const hstring& file,
                                                   const char* sourceFile, int lineNumber)
        : _GenericException("Object already exists: " + name + " in " + file, sourceFile, lineNumber)
    {
    }

    _ObjectHasParentException::_ObjectHasParentException(const hstring& child, const hstring& parent,
                                                         const char* sourceFile, int lineNumber)
        : _GenericException("Cannot attach object '" + child + "' to object '" + parent +
                                "', object already attached to another parent",
                            sourceFile, lineNumber)
    {
    }

    _ObjectNotChildException::_ObjectNotChildException(const hstring& child, const hstring& parent,
                                                       const char* sourceFile, int lineNumber)
        : _GenericException("Cannot detach object '" + child + "' from object '" + parent +
                                "', object is not a child",
                            sourceFile, lineNumber)
    {
    }

    _ObjectWithoutParentException::_ObjectWithoutParentException(const hstring& name, const char* sourceFile,
                                                                 int lineNumber)
        : _GenericException("Cannot detach object '" + name + "', object has no parent", sourceFile,
                            lineNumber)
    {
    }

    _ObjectFactoryExistsException::_ObjectFactoryExistsException(const hstring& type, const char* sourceFile,
                                                                 int lineNumber)
        : _GenericException("Object factory named '" + type + "' already exists", sourceFile, lineNumber)
    {
    }

    _ObjectFactoryNotExistsException::_ObjectFactoryNotExistsException(const hstring& type,
                                                                       const char* sourceFile, int lineNumber)
        : _GenericException("Object factory named '" + type + "' doesn't exists", sourceFile, lineNumber)
    {
    }

    _AnimatorFactoryExistsException::_AnimatorFactoryExistsException(const hstring& type,
                                                                     const char* sourceFile, int lineNumber)
        : _GenericException("Animator factory named '" + type + "' already exists", sourceFile, lineNumber)
    {
    }

    _ResourceExistsException::_ResourceExistsException(const hstring& name, const hstring& kind,
                                                       Dataset* dataset, const char* sourceFile,
                                                       int lineNumber)
        : _GenericException(kind + " already exists: " + name + " in dataset " + datasetName(dataset),
                            sourceFile, lineNumber)
    {
    }

    _ResourceNotExistsException::_ResourceNotExistsException(const hstring& name, const hstring& kind,
                                                             Dataset* dataset, const char* sourceFile,
                                                             int lineNumber)
        : _GenericException(kind + " doesn't exist: '" + name + "' in dataset '" + datasetName(dataset) + "'",
                            sourceFile, lineNumber)
    {
    }

    _InvalidObjectTypeCast::_InvalidObjectTypeCast(const hstring& message, const char* sourceFile,
                                                   int lineNumber)
        : _GenericException(message, sourceFile, lineNumber)
    {
    }
} // namespace tesraui
