#include <cmath>
#include <cstdlib>

#include <quortypes/PropertyInfo.h>

namespace
{
    // The number at the start of the text as strtod reads it ("nan" and "inf" included); false when the
    // text starts with none.
    bool leadingNumber(const hstring& text, double& number)
    {
        char* end = nullptr;
        number = std::strtod(text.c_str(), &end);
        return end != text.c_str();
    }

    bool withinInt(double number)
    {
        return number >= -2147483648.0 && number <= 2147483647.0;
    }

    hstring floatRefusal(const hstring& text)
    {
        return (std::isfinite(text.toFloat()) ? "" : "'" + text + "' is not a number a float can hold");
    }
} // namespace

const PropertyInfo* PropertyInfo::find(const harray<PropertyInfo>& descriptions, const hstring& name)
{
    hstring key = name;
    hstring head;
    hstring tail;
    if (name.split(':', head, tail))
    {
        key = head + ":%";
    }
    for (const PropertyInfo& info : descriptions)
    {
        if (info.name == key)
        {
            return &info;
        }
    }
    return nullptr;
}

hstring PropertyInfo::valueRefusal(int type, const hstring& value)
{
    double number = 0.0;
    switch (type)
    {
    case FLOAT:
        return floatRefusal(value);
    case RECT:
    case GVEC2:
        for (const hstring& part : value.split(','))
        {
            const hstring refusal = floatRefusal(part.trimmed());
            if (refusal != "")
            {
                return refusal;
            }
        }
        return "";
    case INT:
        // The int is read from the leading digits, so it must be the whole number written.
        if (leadingNumber(value, number) && !(withinInt(number) && number == (double)value.toInt()))
        {
            return "'" + value + "' is not a whole number an int can hold";
        }
        return "";
    case UCHAR:
        if (leadingNumber(value, number) &&
            !(withinInt(number) && std::trunc(number) == (double)value.toInt()))
        {
            return "'" + value + "' is not a number an int can hold";
        }
        return "";
    default:
        return "";
    }
}

hstring PropertyInfo::valueRefusal(const PropertyInfo& info, const hstring& value)
{
    const hstring refusal = valueRefusal(info.type, value);
    if (refusal != "" || !info.isBounded() || (info.type != FLOAT && info.type != INT))
    {
        return refusal;
    }
    const double read = (info.type == INT ? (double)value.toInt() : (double)value.toFloat());
    if (read >= info.lowest && read <= info.highest)
    {
        return "";
    }
    return "'" + value + "' is not a number from " + formatString("%g", info.lowest) + " to " +
           formatString("%g", info.highest);
}

hstring PropertyInfo::valueRefusal(const harray<PropertyInfo>& descriptions, const hstring& name,
                                   const hstring& value)
{
    const PropertyInfo* info = find(descriptions, name);
    return (info != nullptr ? valueRefusal(*info, value) : hstring());
}

double PropertyInfo::heldWithin(double value, double lowest, double highest)
{
    if (std::isnan(value))
    {
        return 0.0;
    }
    return (value < lowest ? lowest : (value > highest ? highest : value));
}
