#include <quortypes/exception.h>
#include <quortypes/harray.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    const hstring logTag = "tesraui";

    static bool debugMode = false;
    static kavtypes::Vector2 cursorPosition;

    bool isDebugEnabled()
    {
        return debugMode;
    }

    void setDebugEnabled(bool value)
    {
        debugMode = value;
    }

    kavtypes::Vector2 getCursorPosition()
    {
        return cursorPosition;
    }

    void setCursorPosition(const kavtypes::Vector2& position)
    {
        cursorPosition = position;
    }

    hstring rectToString(const kavtypes::Rectangle& rect)
    {
        return formatString("%f%c%f%c%f%c%f", rect.x, ',', rect.y, ',', rect.w, ',', rect.h);
    }

    hstring vector2ToString(const kavtypes::Vector2& vector)
    {
        return formatString("%f%c%f", vector.x, ',', vector.y);
    }

    kavtypes::Rectangle stringToRect(const hstring& text)
    {
        harray<hstring> parts = text.split(',');
        if (parts.size() != 4)
        {
            throw quortypes::exception("Cannot convert string '" + text + "' to kavtypes::Rectangle.",
                                       "src/tesrauiUtil", __LINE__);
        }
        return kavtypes::Rectangle(parts[0].trimmed().toFloat(), parts[1].trimmed().toFloat(),
                                   parts[2].trimmed().toFloat(), parts[3].trimmed().toFloat());
    }

    kavtypes::Vector2 stringToVector2(const hstring& text)
    {
        harray<hstring> parts = text.split(',');
        if (parts.size() != 2)
        {
            throw quortypes::exception("Cannot convert string '" + text + "' to kavtypes::Vector2.",
                                       "src/tesrauiUtil", __LINE__);
        }
        return kavtypes::Vector2(parts[0].trimmed().toFloat(), parts[1].trimmed().toFloat());
    }
} // namespace tesraui
