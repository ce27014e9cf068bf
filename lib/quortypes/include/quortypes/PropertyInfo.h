#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

// A named property of an object and the kind of value it holds. Objects list
// theirs as harray<PropertyInfo>: their base's list followed by their own.
class PropertyInfo
{
public:
    // The type codes in use.
    enum Type
    {
        INT = 0,
        FLOAT = 1,
        CHAR = 2,
        UCHAR = 3,
        BOOL = 4,
        STRING = 5,
        ENUM = 6,
        RECT = 7,
        GVEC2 = 8,
        COLOR = 9, // also three-dimensional vectors
        COLOR_RANGE = 10,
        FLOAT_RANGE = 11,
        GVEC2_RANGE = 12,
        GVEC3_RANGE = 13,
        TIMINGS_1 = 14,
        TIMINGS_2 = 15,
        TIMINGS_3 = 16,
    };

    PropertyInfo(const hstring& name, int type) : name(name), type(type) {}

    hstring name;
    int type;

    bool operator==(const PropertyInfo& other) const { return name == other.name && type == other.type; }
    bool operator!=(const PropertyInfo& other) const { return !(*this == other); }
};
