#include "LuaError.h"

namespace vumo
{
    _LuaError::_LuaError(const hstring& message, const hstring& context, const char* sourceFile,
                         int lineNumber)
        : tesraui::_GenericException(message, sourceFile, lineNumber), context(context)
    {
    }

    hstring _LuaError::getMessage() const
    {
        hstring base = this->message;
        hstring head;
        hstring text = base;
        const int split = base.find("] ");
        if (split >= 0)
        {
            head = base.subString(0, split);
            text = base.subString(split + 2);
        }
        text = text.replaced("[string \"", "[").replaced("\"]", "]");
        const hstring sourceText = (head.size() > 0 ? head.subString(1) : hstring("Unknown.cpp"));
        const hstring composed = text + "\nContext: " + this->context + "\nC++ file: " + sourceText;
        return composed.replaced("[", "<").replaced("]", ">");
    }
} // namespace vumo
