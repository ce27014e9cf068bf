#include <algorithm>

#include <quortypes/Log.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    harray<PropertyInfo> Object::getPropertyDescriptions() const
    {
        static const harray<PropertyInfo> table = {
            PropertyInfo("rect", PropertyInfo::RECT),
            PropertyInfo("position", PropertyInfo::GVEC2),
            PropertyInfo("size", PropertyInfo::GVEC2),
            PropertyInfo("x", PropertyInfo::FLOAT),
            PropertyInfo("y", PropertyInfo::FLOAT),
            PropertyInfo("w", PropertyInfo::FLOAT),
            PropertyInfo("h", PropertyInfo::FLOAT),
            PropertyInfo("visible", PropertyInfo::BOOL),
            PropertyInfo("zorder", PropertyInfo::INT),
            PropertyInfo("enabled", PropertyInfo::BOOL),
            PropertyInfo("click_through", PropertyInfo::BOOL),
            PropertyInfo("inherit_alpha", PropertyInfo::BOOL),
            PropertyInfo("red", PropertyInfo::UCHAR),
            PropertyInfo("green", PropertyInfo::UCHAR),
            PropertyInfo("blue", PropertyInfo::UCHAR),
            PropertyInfo("alpha", PropertyInfo::UCHAR),
            PropertyInfo("color", PropertyInfo::COLOR),
            PropertyInfo("angle", PropertyInfo::FLOAT),
            PropertyInfo("scale", PropertyInfo::GVEC2),
            PropertyInfo("scale_x", PropertyInfo::FLOAT),
            PropertyInfo("scale_y", PropertyInfo::FLOAT),
            PropertyInfo("center", PropertyInfo::GVEC2),
            PropertyInfo("center_x", PropertyInfo::FLOAT),
            PropertyInfo("center_y", PropertyInfo::FLOAT),
            PropertyInfo("anchor_left", PropertyInfo::BOOL),
            PropertyInfo("anchor_right", PropertyInfo::BOOL),
            PropertyInfo("anchor_top", PropertyInfo::BOOL),
            PropertyInfo("anchor_bottom", PropertyInfo::BOOL),
            PropertyInfo("retain_anchor_aspect", PropertyInfo::BOOL),
            PropertyInfo("clip", PropertyInfo::BOOL),
            PropertyInfo("use_disabled_alpha", PropertyInfo::BOOL),
            PropertyInfo("focus_index", PropertyInfo::INT),
            PropertyInfo("name", PropertyInfo::STRING),
            PropertyInfo("full_name", PropertyInfo::STRING),
        };
        return table;
    }

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

    hstring Object::getProperty(const hstring& name)
    {
        if (name == "rect")
            return rectToString(rect);
        if (name == "position")
            return vector2ToString(rect.getPosition());
        if (name == "size")
            return vector2ToString(rect.getSize());
        if (name == "x")
            return floatText(rect.x);
        if (name == "y")
            return floatText(rect.y);
        if (name == "w")
            return floatText(rect.w);
        if (name == "h")
            return floatText(rect.h);
        if (name == "visible")
            return intText(visible);
        if (name == "zorder")
            return intText(zOrder);
        if (name == "enabled")
            return intText(enabled);
        if (name == "click_through")
            return intText(clickThrough);
        if (name == "inherit_alpha")
            return intText(inheritAlpha);
        if (name == "red")
            return intText(color.r);
        if (name == "green")
            return intText(color.g);
        if (name == "blue")
            return intText(color.b);
        if (name == "alpha")
            return intText(color.a);
        if (name == "color")
            return color.hex().uppered();
        if (name == "angle")
            return floatText(angle);
        if (name == "scale")
            return vector2ToString(scaleFactor);
        if (name == "scale_x")
            return floatText(scaleFactor.x);
        if (name == "scale_y")
            return floatText(scaleFactor.y);
        if (name == "center")
            return vector2ToString(center);
        if (name == "center_x")
            return floatText(center.x);
        if (name == "center_y")
            return floatText(center.y);
        if (name == "anchor_left")
            return intText(anchorLeft);
        if (name == "anchor_right")
            return intText(anchorRight);
        if (name == "anchor_top")
            return intText(anchorTop);
        if (name == "anchor_bottom")
            return intText(anchorBottom);
        if (name == "retain_anchor_aspect")
            return intText(retainAnchorAspect);
        if (name == "clip")
            return intText(clip);
        if (name == "use_disabled_alpha")
            return intText(useDisabledAlpha);
        if (name == "focus_index")
            return intText(getFocusIndex());
        if (name == "name")
            return this->name;
        if (name == "full_name")
            return getFullName();
        return "";
    }

    static bool setAnchorList(Object* object, const hstring& value)
    {
        harray<hstring> parts = value.replaced(" ", "").lowered().split(',', -1, true);
        auto has = [&parts](const char* side)
        { return std::find(parts.begin(), parts.end(), side) != parts.end(); };
        object->setAnchors(has("left"), has("right"), has("top"), has("bottom"));
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

    bool Object::setProperty(const hstring& name, const hstring& value)
    {
        if (name == "rect")
            setRect(stringToRect(value));
        else if (name == "position")
            setPosition(stringToVector2(value));
        else if (name == "size")
            setSize(stringToVector2(value));
        else if (name == "x")
            rect.x = value.toFloat();
        else if (name == "y")
            rect.y = value.toFloat();
        else if (name == "w")
            setWidth(value.toFloat());
        else if (name == "h")
            setHeight(value.toFloat());
        else if (name == "visible")
            visible = value.toBool();
        else if (name == "zorder")
            setZOrder(value.toInt());
        else if (name == "enabled")
            setEnabled(value.toBool());
        else if (name == "click_through")
            clickThrough = value.toBool();
        else if (name == "inherit_alpha")
            inheritAlpha = value.toBool();
        else if (name == "red")
            color.r = byteValue(value);
        else if (name == "green")
            color.g = byteValue(value);
        else if (name == "blue")
            color.b = byteValue(value);
        else if (name == "alpha")
            color.a = byteValue(value);
        else if (name == "color")
            color.set(value);
        else if (name == "angle")
            angle = value.toFloat();
        else if (name == "scale")
            scaleFactor = stringToVector2(value);
        else if (name == "scale_x")
            scaleFactor.x = value.toFloat();
        else if (name == "scale_y")
            scaleFactor.y = value.toFloat();
        else if (name == "center")
            center = stringToVector2(value);
        else if (name == "center_x")
            center.x = value.toFloat();
        else if (name == "center_y")
            center.y = value.toFloat();
        else if (name == "anchor_left")
            anchorLeft = value.toBool();
        else if (name == "anchor_right")
            anchorRight = value.toBool();
        else if (name == "anchor_top")
            anchorTop = value.toBool();
        else if (name == "anchor_bottom")
            anchorBottom = value.toBool();
        else if (name == "retain_anchor_aspect")
            retainAnchorAspect = value.toBool();
        else if (name == "anchors")
            return setAnchorList(this, value);
        else if (name == "clip")
            clip = value.toBool();
        else if (name == "use_disabled_alpha")
            useDisabledAlpha = value.toBool();
        else if (name == "focus_index")
            focusIndex = value.toInt();
        else
            return false;
        return true;
    }
} // namespace tesraui
