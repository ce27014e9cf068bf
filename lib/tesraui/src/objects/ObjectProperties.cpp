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
            return rectToString(this->rect);
        if (name == "position")
            return vector2ToString(this->rect.getPosition());
        if (name == "size")
            return vector2ToString(this->rect.getSize());
        if (name == "x")
            return floatText(this->rect.x);
        if (name == "y")
            return floatText(this->rect.y);
        if (name == "w")
            return floatText(this->rect.w);
        if (name == "h")
            return floatText(this->rect.h);
        if (name == "visible")
            return intText(this->visible);
        if (name == "zorder")
            return intText(this->zOrder);
        if (name == "enabled")
            return intText(this->enabled);
        if (name == "click_through")
            return intText(this->clickThrough);
        if (name == "inherit_alpha")
            return intText(this->inheritAlpha);
        if (name == "red")
            return intText(this->color.r);
        if (name == "green")
            return intText(this->color.g);
        if (name == "blue")
            return intText(this->color.b);
        if (name == "alpha")
            return intText(this->color.a);
        if (name == "color")
            return this->color.hex().uppered();
        if (name == "angle")
            return floatText(this->angle);
        if (name == "scale")
            return vector2ToString(this->scaleFactor);
        if (name == "scale_x")
            return floatText(this->scaleFactor.x);
        if (name == "scale_y")
            return floatText(this->scaleFactor.y);
        if (name == "center")
            return vector2ToString(this->center);
        if (name == "center_x")
            return floatText(this->center.x);
        if (name == "center_y")
            return floatText(this->center.y);
        if (name == "anchor_left")
            return intText(this->anchorLeft);
        if (name == "anchor_right")
            return intText(this->anchorRight);
        if (name == "anchor_top")
            return intText(this->anchorTop);
        if (name == "anchor_bottom")
            return intText(this->anchorBottom);
        if (name == "retain_anchor_aspect")
            return intText(this->retainAnchorAspect);
        if (name == "clip")
            return intText(this->clip);
        if (name == "use_disabled_alpha")
            return intText(this->useDisabledAlpha);
        if (name == "focus_index")
            return intText(this->getFocusIndex());
        if (name == "name")
            return this->name;
        if (name == "full_name")
            return this->getFullName();
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
            this->setRect(stringToRect(value));
        else if (name == "position")
            this->setPosition(stringToVector2(value));
        else if (name == "size")
            this->setSize(stringToVector2(value));
        else if (name == "x")
            this->rect.x = value.toFloat();
        else if (name == "y")
            this->rect.y = value.toFloat();
        else if (name == "w")
            this->setWidth(value.toFloat());
        else if (name == "h")
            this->setHeight(value.toFloat());
        else if (name == "visible")
            this->visible = value.toBool();
        else if (name == "zorder")
            this->setZOrder(value.toInt());
        else if (name == "enabled")
            this->setEnabled(value.toBool());
        else if (name == "click_through")
            this->clickThrough = value.toBool();
        else if (name == "inherit_alpha")
            this->inheritAlpha = value.toBool();
        else if (name == "red")
            this->color.r = byteValue(value);
        else if (name == "green")
            this->color.g = byteValue(value);
        else if (name == "blue")
            this->color.b = byteValue(value);
        else if (name == "alpha")
            this->color.a = byteValue(value);
        else if (name == "color")
            this->color.set(value);
        else if (name == "angle")
            this->angle = value.toFloat();
        else if (name == "scale")
            this->scaleFactor = stringToVector2(value);
        else if (name == "scale_x")
            this->scaleFactor.x = value.toFloat();
        else if (name == "scale_y")
            this->scaleFactor.y = value.toFloat();
        else if (name == "center")
            this->center = stringToVector2(value);
        else if (name == "center_x")
            this->center.x = value.toFloat();
        else if (name == "center_y")
            this->center.y = value.toFloat();
        else if (name == "anchor_left")
            this->anchorLeft = value.toBool();
        else if (name == "anchor_right")
            this->anchorRight = value.toBool();
        else if (name == "anchor_top")
            this->anchorTop = value.toBool();
        else if (name == "anchor_bottom")
            this->anchorBottom = value.toBool();
        else if (name == "retain_anchor_aspect")
            this->retainAnchorAspect = value.toBool();
        else if (name == "anchors")
            return setAnchorList(this, value);
        else if (name == "clip")
            this->clip = value.toBool();
        else if (name == "use_disabled_alpha")
            this->useDisabledAlpha = value.toBool();
        else if (name == "focus_index")
            this->focusIndex = value.toInt();
        else
            return false;
        return true;
    }
} // namespace tesraui
