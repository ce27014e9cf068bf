#include <algorithm>

#include <quortypes/Log.h>
#include <quortypes/PropertyTable.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

#include "PropertyRows.h"
#include "libraryState.h"

namespace tesraui
{
    static hstring floatText(float value)
    {
        return formatString("%f", value);
    }

    static hstring intText(int value)
    {
        return formatString("%d", value);
    }

    // The low 8 bits, so "300" gives 44.
    static unsigned char byteValue(const hstring& text)
    {
        return (unsigned char)(text.toInt() & 0xFF);
    }

    namespace
    {
        bool fractionAlphaTold = false;
    } // namespace

    void _forgetFractionAlphaWarning()
    {
        fractionAlphaTold = false;
    }

    // Opacity is 0..255 here, while many engines take it as a fraction: 0.6 would silently hide the object.
    static void warnOfFractionAlpha(const Object& object, const hstring& value)
    {
        const float number = value.toFloat();
        if (fractionAlphaTold || !(number > 0.0f && number < 1.0f))
        {
            return;
        }
        fractionAlphaTold = true;
        quortypes::Log::warnf(
            logTag,
            "Property 'alpha' of object '%s' is %s, which is 0: alpha runs from 0 (invisible) "
            "to 255 (opaque), so %d would be that opacity. This is said once.",
            object.getName().c_str(), value.c_str(), (int)(number * 255.0f + 0.5f));
    }

    static bool setAnchorList(Object& object, const hstring& value)
    {
        harray<hstring> parts = value.replaced(" ", "").lowered().split(',', -1, true);
        auto has = [&parts](const char* side)
        { return std::find(parts.begin(), parts.end(), side) != parts.end(); };
        object.setAnchors(has("left"), has("right"), has("top"), has("bottom"));
        parts.removeAll("left");
        parts.removeAll("right");
        parts.removeAll("top");
        parts.removeAll("bottom");
        if (!parts.empty())
        {
            quortypes::Log::warn(logTag, "'anchors=' does not support values '" + parts.joined(",") + "'.");
            return false;
        }
        return true;
    }

    const PropertyTable<Object>& Object::_properties()
    {
        using Table = PropertyTable<Object>;
        using Row = Table::Row;
        using Rows = PropertyRows<Object>;
        // A channel of the colour, set from the low 8 bits of a number.
        const auto channelRow = [](const char* name, unsigned char tesra::Color::*channel)
        {
            return Row(
                name, PropertyInfo::UCHAR,
                [channel](Object& object) { return intText(object.color.*channel); },
                [channel](Object& object, const hstring& value)
                { object.color.*channel = byteValue(value); });
        };
        static const PropertyTable<Object> table = {
            {"rect", PropertyInfo::RECT, [](Object& object) { return rectToString(object.rect); },
             [](Object& object, const hstring& value) { object.setRect(stringToRect(value)); }},
            {"position", PropertyInfo::GVEC2,
             [](Object& object) { return vector2ToString(object.rect.getPosition()); },
             [](Object& object, const hstring& value) { object.setPosition(stringToVector2(value)); }},
            {"size", PropertyInfo::GVEC2,
             [](Object& object) { return vector2ToString(object.rect.getSize()); },
             [](Object& object, const hstring& value) { object.setSize(stringToVector2(value)); }},
            Rows::partRow("x", &Object::rect, &kavtypes::Rectangle::x),
            Rows::partRow("y", &Object::rect, &kavtypes::Rectangle::y),
            {"w", PropertyInfo::FLOAT, [](Object& object) { return floatText(object.rect.w); },
             [](Object& object, const hstring& value) { object.setWidth(value.toFloat()); }},
            {"h", PropertyInfo::FLOAT, [](Object& object) { return floatText(object.rect.h); },
             [](Object& object, const hstring& value) { object.setHeight(value.toFloat()); }},
            Table::flagRow("visible", &Object::visible),
            {"zorder", PropertyInfo::INT, [](Object& object) { return intText(object.zOrder); },
             [](Object& object, const hstring& value) { object.setZOrder(value.toInt()); }},
            {"enabled", PropertyInfo::BOOL, [](Object& object) { return intText(object.enabled); },
             [](Object& object, const hstring& value) { object.setEnabled(value.toBool()); }},
            Table::flagRow("click_through", &Object::clickThrough),
            Table::flagRow("inherit_alpha", &Object::inheritAlpha),
            channelRow("red", &tesra::Color::r),
            channelRow("green", &tesra::Color::g),
            channelRow("blue", &tesra::Color::b),
            {"alpha", PropertyInfo::UCHAR, [](Object& object) { return intText(object.color.a); },
             [](Object& object, const hstring& value)
             {
                 warnOfFractionAlpha(object, value);
                 object.color.a = byteValue(value);
             }},
            {"color", PropertyInfo::COLOR, [](Object& object) { return object.color.hex().uppered(); },
             [](Object& object, const hstring& value) { object.color.set(value); }},
            Table::floatRow("angle", &Object::angle),
            Rows::vectorRow("scale", &Object::scaleFactor),
            Rows::partRow("scale_x", &Object::scaleFactor, &kavtypes::Vector2::x),
            Rows::partRow("scale_y", &Object::scaleFactor, &kavtypes::Vector2::y),
            Rows::vectorRow("center", &Object::center),
            Rows::partRow("center_x", &Object::center, &kavtypes::Vector2::x),
            Rows::partRow("center_y", &Object::center, &kavtypes::Vector2::y),
            Table::flagRow("anchor_left", &Object::anchorLeft),
            Table::flagRow("anchor_right", &Object::anchorRight),
            Table::flagRow("anchor_top", &Object::anchorTop),
            Table::flagRow("anchor_bottom", &Object::anchorBottom),
            Table::flagRow("retain_anchor_aspect", &Object::retainAnchorAspect),
            // "left, top" and the like: the four at once, written only.
            {"anchors", PropertyTable<Object>::Undescribed, nullptr, &setAnchorList},
            Table::flagRow("clip", &Object::clip),
            Table::flagRow("use_disabled_alpha", &Object::useDisabledAlpha),
            {"focus_index", PropertyInfo::INT, [](Object& object) { return intText(object.getFocusIndex()); },
             [](Object& object, const hstring& value) { object.focusIndex = value.toInt(); }},
            {"name", PropertyInfo::STRING, &Object::getName},
            {"full_name", PropertyInfo::STRING, &Object::getFullName},
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_ROOT(Object, _properties)
} // namespace tesraui
