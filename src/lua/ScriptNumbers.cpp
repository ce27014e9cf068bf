#include "lua/ScriptNumbers.h"

#include <cmath>
#include <cstdlib>

#include <tesraui/Object.h>

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            // The number at the start of the text as strtod reads it ("nan" and "inf" included); false when
            // the text starts with none.
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
                return (std::isfinite(text.toFloat()) ? ""
                                                      : "'" + text + "' is not a number a float can hold");
            }
        } // namespace

        const PropertyInfo* findPropertyDescription(const harray<PropertyInfo>& descriptions,
                                                    const hstring& name)
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

        hstring propertyValueRefusal(int type, const hstring& value)
        {
            double number = 0.0;
            switch (type)
            {
            case PropertyInfo::FLOAT:
                return floatRefusal(value);
            case PropertyInfo::RECT:
            case PropertyInfo::GVEC2:
                for (const hstring& part : value.split(','))
                {
                    const hstring refusal = floatRefusal(part.trimmed());
                    if (refusal != "")
                    {
                        return refusal;
                    }
                }
                return "";
            case PropertyInfo::INT:
                // The int is read from the leading digits, so it must be the whole number written.
                if (leadingNumber(value, number) && !(withinInt(number) && number == (double)value.toInt()))
                {
                    return "'" + value + "' is not a whole number an int can hold";
                }
                return "";
            case PropertyInfo::UCHAR:
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

        kavtypes::Vector2 localPoint(const tesraui::Object* object, kavtypes::Vector2 point)
        {
            harray<const tesraui::Object*> chain;
            for (const tesraui::Object* link = object; link != nullptr; link = link->getParent())
            {
                chain.push_back(link);
            }
            // As Object::transformToLocalSpace, from the root down.
            for (int i = chain.size() - 1; i >= 0; --i)
            {
                const tesraui::Object* link = chain[i];
                const kavtypes::Vector2 center = link->getCenter();
                const kavtypes::Vector2 scale = link->getScale();
                point -= link->getPosition() + center;
                point.rotate(link->getAngle());
                // Under this scale the library neither draws an object nor finds points in it.
                point.x = (std::fabs(scale.x) >= 0.0001f ? point.x / scale.x : 0.0f);
                point.y = (std::fabs(scale.y) >= 0.0001f ? point.y / scale.y : 0.0f);
                point += center;
            }
            return point;
        }
    } // namespace LuaInterface
} // namespace vumo
