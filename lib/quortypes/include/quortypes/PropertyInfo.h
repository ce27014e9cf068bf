#pragma once

#include <cmath>

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
    // A number property whose arithmetic holds only the numbers from lowest to highest. The bounds must
    // hold every whole number of up to three digits: a data file's loader takes those as held unasked.
    PropertyInfo(const hstring& name, int type, double lowest, double highest)
        : name(name), type(type), lowest(lowest), highest(highest)
    {
    }

    // The description of a property by its name; a parameterised one ("name:x") is described as "name:%".
    // Null when the descriptions hold none.
    static const PropertyInfo* find(const harray<PropertyInfo>& descriptions, const hstring& name);

    // Why a property of the type cannot hold the number text ("'1e308' is not a number a float can hold"),
    // or "" when it can. The setters read numbers from the text as their type holds them and keep what
    // comes out: a float of "1e308" is infinite, an int of "1e308" is 1. So a float (and each part of a
    // rectangle or vector) must come out finite, an int must be written as a whole number an int holds
    // ("10.0" is one), and a colour channel as a number an int holds (its low 8 bits are kept, its fraction
    // dropped). Text that reads as no number at all passes: it reads as 0.
    static hstring valueRefusal(int type, const hstring& value);
    // The same for the property, and for a bounded one also why its bounds do not hold the number the setter
    // reads ("'1e30' is not a number from -1000 to 1000").
    static hstring valueRefusal(const PropertyInfo& info, const hstring& value);
    // The same for the property of that name, or "" when the descriptions hold none.
    static hstring valueRefusal(const harray<PropertyInfo>& descriptions, const hstring& name,
                                const hstring& value);
    // The number a bounded property keeps of the value: the value, or the end it passes; 0 for NaN.
    static double heldWithin(double value, double lowest, double highest);

    bool isBounded() const { return this->lowest > -HUGE_VAL || this->highest < HUGE_VAL; }

    hstring name;
    int type;
    // The numbers a bounded property holds; unbounded, the whole of its type.
    double lowest = -HUGE_VAL;
    double highest = HUGE_VAL;

    bool operator==(const PropertyInfo& other) const { return name == other.name && type == other.type; }
    bool operator!=(const PropertyInfo& other) const { return !(*this == other); }
};
