#pragma once

#include <kavtypes/Rectangle.h>
#include <kavtypes/Vector2.h>
#include <quortypes/hstring.h>

namespace kavtypes
{
    // The comma-separated text forms that properties and data files use: "%f" numbers joined by commas
    // without blanks, e.g. "0.500000,0.000000,10.000000,20.000000".
    hstring rectToString(const Rectangle& rect);
    hstring vector2ToString(const Vector2& vector);
    // Each piece may carry blanks around its number; a piece that is no number reads as 0. A text
    // with another number of pieces throws quortypes::exception.
    Rectangle stringToRect(const hstring& text);
    Vector2 stringToVector2(const hstring& text);
} // namespace kavtypes
