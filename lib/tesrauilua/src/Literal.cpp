#include <tesrauilua/Literal.h>

namespace tesrauilua
{
    hstring literal(const hstring& text, char quote)
    {
        hstring result(quote);
        for (char c : text)
        {
            switch (c)
            {
            case '\\':
                result += "\\\\";
                break;
            case '"':
                result += "\\\"";
                break;
            case '\'':
                result += "\\'";
                break;
            case '\n':
                result += "\\n";
                break;
            case '\r':
                result += "\\r";
                break;
            case '\0':
                // Three digits, so that a digit after it is not read as part of the escape.
                result += "\\000";
                break;
            default:
                result += c;
                break;
            }
        }
        return result + quote;
    }
} // namespace tesrauilua
