#include <kavtypes/textForms.h>

#include <quortypes/exception.h>

namespace kavtypes
{
    namespace
    {
        // Messages carry the name of the UI utility code these conversions serve.
        const char* const sourceName = "tesrauiUtil";

        harray<hstring> numberPieces(const hstring& text, int count, const char* typeName, int line)
        {
            harray<hstring> pieces = text.split(',');
            if (pieces.size() != count)
            {
                throw quortypes::exception(hstring("Cannot convert string '") + text +
                                               "' to kavtypes::" + typeName + ".",
                                           sourceName, line);
            }
            return pieces;
        }
    } // namespace

    hstring rectToString(const Rectangle& rect)
    {
        return formatString("%f%c%f%c%f%c%f", rect.x, ',', rect.y, ',', rect.w, ',', rect.h);
    }

    hstring vector2ToString(const Vector2& vector)
    {
        return formatString("%f%c%f", vector.x, ',', vector.y);
    }

    Rectangle stringToRect(const hstring& text)
    {
        harray<hstring> pieces = numberPieces(text, 4, "Rectangle", __LINE__);
        return Rectangle(pieces[0].trimmed(' ').toFloat(), pieces[1].trimmed(' ').toFloat(),
                         pieces[2].trimmed(' ').toFloat(), pieces[3].trimmed(' ').toFloat());
    }

    Vector2 stringToVector2(const hstring& text)
    {
        harray<hstring> pieces = numberPieces(text, 2, "Vector2", __LINE__);
        return Vector2(pieces[0].trimmed(' ').toFloat(), pieces[1].trimmed(' ').toFloat());
    }
} // namespace kavtypes
