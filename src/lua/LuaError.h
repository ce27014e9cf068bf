#pragma once

#include <quortypes/hstring.h>
#include <tesraui/exception.h>

namespace vumo
{
    // A failure of Lua code run by the host; context names the chunk that failed.
    class _LuaError : public tesraui::_GenericException
    {
    public:
        _LuaError(const hstring& message, const hstring& context, const char* sourceFile, int lineNumber);

        // The message with Lua's chunk decoration simplified, the context and the C++ position, with square
        // brackets turned into angle brackets (the overlay and message boxes read brackets as tags).
        hstring getMessage() const override;

        hstring context;
    };
} // namespace vumo
