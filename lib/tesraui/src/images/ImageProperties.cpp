#include <quortypes/Dir.h>
#include <quortypes/Log.h>
#include <tesraui/Dataset.h>
#include <tesraui/Image.h>
#include <tesraui/Texture.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    static const char* blendModeNames[] = {"default", "alpha", "add", "subtract", "overwrite"};
    static const char* colorModeNames[] = {"default", "multiply", "lerp", "alpha_map"};

    // The index of value among names, -1 when it is none of them.
    static int findName(const char* const* names, int count, const hstring& value)
    {
        for (int i = 0; i < count; ++i)
        {
            if (value == names[i])
            {
                return i;
            }
        }
        return -1;
    }

    static void warnDeprecated(const char* oldName, const char* newName, bool writing)
    {
        const char* assign = writing ? "=" : "";
        quortypes::Log::warn(logTag, hstring("'") + oldName + assign + "' is deprecated. Use '" + newName +
                                         assign + "' instead.");
    }

    harray<PropertyInfo> Image::getPropertyDescriptions() const
    {
        static harray<PropertyInfo> descriptions;
        if (descriptions.size() == 0)
        {
            descriptions.push_back(PropertyInfo("rect", PropertyInfo::RECT));
            descriptions.push_back(PropertyInfo("position", PropertyInfo::GVEC2));
            descriptions.push_back(PropertyInfo("size", PropertyInfo::GVEC2));
            descriptions.push_back(PropertyInfo("x", PropertyInfo::FLOAT));
            descriptions.push_back(PropertyInfo("y", PropertyInfo::FLOAT));
            descriptions.push_back(PropertyInfo("w", PropertyInfo::FLOAT));
            descriptions.push_back(PropertyInfo("h", PropertyInfo::FLOAT));
            descriptions.push_back(PropertyInfo("color", PropertyInfo::COLOR));
            descriptions.push_back(PropertyInfo("rotated", PropertyInfo::BOOL));
            descriptions.push_back(PropertyInfo("invert_x", PropertyInfo::BOOL));
            descriptions.push_back(PropertyInfo("invert_y", PropertyInfo::BOOL));
            descriptions.push_back(PropertyInfo("blend_mode", PropertyInfo::ENUM));
            descriptions.push_back(PropertyInfo("color_mode", PropertyInfo::ENUM));
            descriptions.push_back(PropertyInfo("color_mode_factor", PropertyInfo::FLOAT));
            descriptions.push_back(PropertyInfo("texture", PropertyInfo::STRING));
            descriptions.push_back(PropertyInfo("dataset", PropertyInfo::STRING));
        }
        return descriptions;
    }

    hstring Image::getProperty(const hstring& name)
    {
        const kavtypes::Rectangle& s = sourceRect;
        if (name == "rect")
            return rectToString(s);
        if (name == "position")
            return vector2ToString(s.getPosition());
        if (name == "size")
            return vector2ToString(s.getSize());
        if (name == "x")
            return formatString("%f", s.x);
        if (name == "y")
            return formatString("%f", s.y);
        if (name == "w")
            return formatString("%f", s.w);
        if (name == "h")
            return formatString("%f", s.h);
        if (name == "color")
            return color.hex();
        if (name == "vertical")
        {
            warnDeprecated("vertical", "rotated", false);
            return getProperty("rotated");
        }
        if (name == "invertx")
        {
            warnDeprecated("invertx", "invert_x", false);
            return getProperty("invert_x");
        }
        if (name == "inverty")
        {
            warnDeprecated("inverty", "invert_y", false);
            return getProperty("invert_y");
        }
        if (name == "rotated")
            return hstring(rotated ? 1 : 0);
        if (name == "invert_x")
            return hstring(invertX ? 1 : 0);
        if (name == "invert_y")
            return hstring(invertY ? 1 : 0);
        if (name == "blend_mode")
            return blendModeNames[(int)blendMode];
        if (name == "color_mode")
            return colorModeNames[(int)colorMode];
        if (name == "color_mode_factor")
            return formatString("%f", colorModeFactor);
        if (name == "texture")
        {
            // The name as the dataset asked for it: no localisation folder, no extension.
            return texture != nullptr ? quortypes::Dir::baseName(texture->getRequestedFilename()) : hstring();
        }
        if (name == "dataset")
            return dataset != nullptr ? dataset->getName() : hstring();
        return "";
    }

    bool Image::setProperty(const hstring& name, const hstring& value)
    {
        kavtypes::Rectangle s = sourceRect;
        if (name == "rect")
            s = stringToRect(value);
        else if (name == "position")
        {
            kavtypes::Vector2 position = stringToVector2(value);
            s.x = position.x;
            s.y = position.y;
        }
        else if (name == "size")
        {
            kavtypes::Vector2 size = stringToVector2(value);
            s.setSize(size.x, size.y);
        }
        else if (name == "x")
            s.x = value.toFloat();
        else if (name == "y")
            s.y = value.toFloat();
        else if (name == "w")
            s.w = value.toFloat();
        else if (name == "h")
            s.h = value.toFloat();
        if (name == "rect" || name == "position" || name == "size" || name == "x" || name == "y" ||
            name == "w" || name == "h")
        {
            // Every change of the source moves the texture coordinates, whichever name it came through.
            setSourceRect(s);
            return true;
        }
        if (name == "color")
            color.set(value);
        else if (name == "vertical")
        {
            warnDeprecated("vertical", "rotated", true);
            setRotated(value.toBool());
        }
        else if (name == "invertx")
        {
            warnDeprecated("invertx", "invert_x", true);
            setInvertX(value.toBool());
        }
        else if (name == "inverty")
        {
            warnDeprecated("inverty", "invert_y", true);
            setInvertY(value.toBool());
        }
        else if (name == "rotated")
            setRotated(value.toBool());
        else if (name == "invert_x")
            setInvertX(value.toBool());
        else if (name == "invert_y")
            setInvertY(value.toBool());
        else if (name == "blend_mode" || name == "color_mode")
        {
            bool blend = name == "blend_mode";
            int index = blend ? findName(blendModeNames, 5, value) : findName(colorModeNames, 4, value);
            if (index < 0)
            {
                quortypes::Log::warnf(logTag, "Value '%s' does not exist for property '%s' in '%s'!",
                                      value.c_str(), name.c_str(), this->name.c_str());
            }
            else if (blend)
                blendMode = (tesra::BlendMode)index;
            else
                colorMode = (tesra::ColorMode)index;
        }
        else if (name == "color_mode_factor")
            colorModeFactor = value.toFloat();
        else
            return false;
        return true;
    }
} // namespace tesraui
