#include <quortypes/Dir.h>
#include <quortypes/Log.h>
#include <quortypes/PropertyTable.h>
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

    const PropertyTable<Image>& Image::_properties()
    {
        using Row = PropertyTable<Image>::Row;
        // A part of the source rectangle: every change of it moves the texture coordinates, whichever name
        // it came through.
        const auto sourceRow = [](const char* name, int type, hstring (*text)(const kavtypes::Rectangle&),
                                  void (*change)(kavtypes::Rectangle&, const hstring&))
        {
            return Row(
                name, type, [text](Image& image) { return text(image.sourceRect); },
                [change](Image& image, const hstring& value)
                {
                    kavtypes::Rectangle source = image.sourceRect;
                    change(source, value);
                    image.setSourceRect(source);
                });
        };
        const auto flagRow = [](const char* name, bool Image::*field, void (Image::*set)(bool))
        {
            return Row(
                name, PropertyInfo::BOOL, [field](Image& image) { return hstring(image.*field ? 1 : 0); },
                [set](Image& image, const hstring& value) { (image.*set)(value.toBool()); });
        };
        // An old name, served with a warning as the new one; not listed.
        const auto deprecatedRow = [](const char* oldName, const char* newName, void (Image::*set)(bool))
        {
            return Row(
                oldName, PropertyTable<Image>::Undescribed,
                [oldName, newName](Image& image)
                {
                    warnDeprecated(oldName, newName, false);
                    return image.getProperty(newName);
                },
                [oldName, newName, set](Image& image, const hstring& value)
                {
                    warnDeprecated(oldName, newName, true);
                    (image.*set)(value.toBool());
                });
        };
        // An unknown word keeps the mode and still counts as taken.
        const auto modeRow = [](const char* name, const char* const* names, int count, int (*get)(Image&),
                                void (*set)(Image&, int))
        {
            return Row(
                name, PropertyInfo::ENUM, [names, get](Image& image) { return hstring(names[get(image)]); },
                [name, names, count, set](Image& image, const hstring& value)
                {
                    int index = findName(names, count, value);
                    if (index < 0)
                    {
                        quortypes::Log::warnf(logTag, "Value '%s' does not exist for property '%s' in '%s'!",
                                              quortypes::Log::quote(value).c_str(), name,
                                              quortypes::Log::quote(image.name).c_str());
                    }
                    else
                    {
                        set(image, index);
                    }
                });
        };
        static const PropertyTable<Image> table = {
            sourceRow(
                "rect", PropertyInfo::RECT, [](const kavtypes::Rectangle& s) { return rectToString(s); },
                [](kavtypes::Rectangle& s, const hstring& value) { s = stringToRect(value); }),
            sourceRow(
                "position", PropertyInfo::GVEC2,
                [](const kavtypes::Rectangle& s) { return vector2ToString(s.getPosition()); },
                [](kavtypes::Rectangle& s, const hstring& value)
                {
                    kavtypes::Vector2 position = stringToVector2(value);
                    s.x = position.x;
                    s.y = position.y;
                }),
            sourceRow(
                "size", PropertyInfo::GVEC2,
                [](const kavtypes::Rectangle& s) { return vector2ToString(s.getSize()); },
                [](kavtypes::Rectangle& s, const hstring& value)
                {
                    kavtypes::Vector2 size = stringToVector2(value);
                    s.setSize(size.x, size.y);
                }),
            sourceRow(
                "x", PropertyInfo::FLOAT,
                [](const kavtypes::Rectangle& s) { return formatString("%f", s.x); },
                [](kavtypes::Rectangle& s, const hstring& value) { s.x = value.toFloat(); }),
            sourceRow(
                "y", PropertyInfo::FLOAT,
                [](const kavtypes::Rectangle& s) { return formatString("%f", s.y); },
                [](kavtypes::Rectangle& s, const hstring& value) { s.y = value.toFloat(); }),
            sourceRow(
                "w", PropertyInfo::FLOAT,
                [](const kavtypes::Rectangle& s) { return formatString("%f", s.w); },
                [](kavtypes::Rectangle& s, const hstring& value) { s.w = value.toFloat(); }),
            sourceRow(
                "h", PropertyInfo::FLOAT,
                [](const kavtypes::Rectangle& s) { return formatString("%f", s.h); },
                [](kavtypes::Rectangle& s, const hstring& value) { s.h = value.toFloat(); }),
            {"color", PropertyInfo::COLOR, [](Image& image) { return image.color.hex(); },
             [](Image& image, const hstring& value) { image.color.set(value); }},
            deprecatedRow("vertical", "rotated", &Image::setRotated),
            deprecatedRow("invertx", "invert_x", &Image::setInvertX),
            deprecatedRow("inverty", "invert_y", &Image::setInvertY),
            flagRow("rotated", &Image::rotated, &Image::setRotated),
            flagRow("invert_x", &Image::invertX, &Image::setInvertX),
            flagRow("invert_y", &Image::invertY, &Image::setInvertY),
            modeRow(
                "blend_mode", blendModeNames, 5, [](Image& image) { return (int)image.blendMode; },
                [](Image& image, int index) { image.blendMode = (tesra::BlendMode)index; }),
            modeRow(
                "color_mode", colorModeNames, 4, [](Image& image) { return (int)image.colorMode; },
                [](Image& image, int index) { image.colorMode = (tesra::ColorMode)index; }),
            {"color_mode_factor", PropertyInfo::FLOAT,
             [](Image& image) { return formatString("%f", image.colorModeFactor); },
             [](Image& image, const hstring& value) { image.colorModeFactor = value.toFloat(); }},
            // The name as the dataset asked for it: no localisation folder, no extension.
            {"texture", PropertyInfo::STRING,
             [](Image& image)
             {
                 return image.texture != nullptr
                            ? quortypes::Dir::baseName(image.texture->getRequestedFilename())
                            : hstring();
             }},
            {"dataset", PropertyInfo::STRING,
             [](Image& image) { return image.dataset != nullptr ? image.dataset->getName() : hstring(); }},
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_ROOT(Image, _properties)
} // namespace tesraui
