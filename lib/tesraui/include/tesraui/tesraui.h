#pragma once

#include <kavtypes/Rectangle.h>
#include <kavtypes/Vector2.h>
#include <quortypes/hstring.h>

namespace tesraui
{
    // The tag of the library's log lines.
    extern hstring logTag;

    bool isDebugEnabled();
    void setDebugEnabled(bool value);

    // In UI coordinates; objects test the pointer against it.
    kavtypes::Vector2 getCursorPosition();
    void setCursorPosition(const kavtypes::Vector2& position);

    // "x,y,w,h" and "x,y", each number with six decimals.
    hstring rectToString(const kavtypes::Rectangle& rect);
    hstring vector2ToString(const kavtypes::Vector2& vector);
    // Throw quortypes::exception unless the text has exactly four (two) comma-separated parts.
    kavtypes::Rectangle stringToRect(const hstring& text);
    kavtypes::Vector2 stringToVector2(const hstring& text);
} // namespace tesraui
