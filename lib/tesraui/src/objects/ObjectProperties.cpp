#include <algorithm>

#include <quortypes/Log.h>
#include <quortypes/PropertyTable.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

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
        using Row = PropertyTable<Object>::Row;
        // A field read as "%f" and set from a number; field(object) names it.
        const auto floatRow = [](const char* name, float& (*field)(Object&))
        {
            return Row(
                name, PropertyInfo::FLOAT, [field](Object& object) { return floatText(field(object)); },
                [field](Object& object, const hstring& value) { field(object) = value.toFloat(); });
        };
        const auto vectorRow = [](const char* name, kavtypes::Vector2 Object::*field)
        {
            return Row(
                name, PropertyInfo::GVEC2, [field](Object& object) { return vector2ToString(object.*field); },
                [field](Object& object, const hstring& value) { object.*field = stringToVector2(value); });
        };
        const auto flagRow = [](const char* name, bool Object::*field)
        {
            return Row(
                name, PropertyInfo::BOOL, [field](Object& object) { return intText(object.*field); },
                [field](Object& object, const hstring& value) { object.*field = value.toBool(); });
        };
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
            floatRow("x", [](Object& object) -> float& { return object.rect.x; }),
            floatRow("y", [](Object& object) -> float& { return object.rect.y; }),
            {"w", PropertyInfo::FLOAT, [](Object& object) { return floatText(object.rect.w); },
             [](Object& object, const hstring& value) { object.setWidth(value.toFloat()); }},
            {"h", PropertyInfo::FLOAT, [](Object& object) { return floatText(object.rect.h); },
             [](Object& object, const hstring& value) { object.setHeight(value.toFloat()); }},
            flagRow("visible", &Object::visible),
            {"zorder", PropertyInfo::INT, [](Object& object) { return intText(object.zOrder); },
             [](Object& object, const hstring& value) { object.setZOrder(value.toInt()); }},
            {"enabled", PropertyInfo::BOOL, [](Object& object) { return intText(object.enabled); },
             [](Object& object, const hstring& value) { object.setEnabled(value.toBool()); }},
            flagRow("click_through", &Object::clickThrough),
            flagRow("inherit_alpha", &Object::inheritAlpha),
            channelRow("red", &tesra::Color::r),
            channelRow("green", &tesra::Color::g),
            channelRow("blue", &tesra::Color::b),
            channelRow("alpha", &tesra::Color::a),
            {"color", PropertyInfo::COLOR, [](Object& object) { return object.color.hex().uppered(); },
             [](Object& object, const hstring& value) { object.color.set(value); }},
            floatRow("angle", [](Object& object) -> float& { return object.angle; }),
            vectorRow("scale", &Object::scaleFactor),
            floatRow("scale_x", [](Object& object) -> float& { return object.scaleFactor.x; }),
            floatRow("scale_y", [](Object& object) -> float& { return object.scaleFactor.y; }),
            vectorRow("center", &Object::center),
            floatRow("center_x", [](Object& object) -> float& { return object.center.x; }),
            floatRow("center_y", [](Object& object) -> float& { return object.center.y; }),
            flagRow("anchor_left", &Object::anchorLeft),
            flagRow("anchor_right", &Object::anchorRight),
            flagRow("anchor_top", &Object::anchorTop),
            flagRow("anchor_bottom", &Object::anchorBottom),
            flagRow("retain_anchor_aspect", &Object::retainAnchorAspect),
            // "left, top" and the like: the four at once, written only.
            {"anchors", PropertyTable<Object>::Undescribed, nullptr, &setAnchorList},
            flagRow("clip", &Object::clip),
            flagRow("use_disabled_alpha", &Object::useDisabledAlpha),
            {"focus_index", PropertyInfo::INT, [](Object& object) { return intText(object.getFocusIndex()); },
             [](Object& object, const hstring& value) { object.focusIndex = value.toInt(); }},
            {"name", PropertyInfo::STRING, [](Object& object) { return object.name; }},
            {"full_name", PropertyInfo::STRING, [](Object& object) { return object.getFullName(); }},
        };
        return table;
    }

    harray<PropertyInfo> Object::getPropertyDescriptions() const
    {
        return _properties().getDescriptions();
    }

    hstring Object::getProperty(const hstring& name)
    {
        return _properties().get(*this, name, [] { return hstring(); });
    }

    bool Object::setProperty(const hstring& name, const hstring& value)
    {
        return _properties().set(*this, name, value, [] { return false; });
    }
} // namespace tesraui
