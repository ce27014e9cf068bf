#pragma once

#include <cstddef>

#include <kavtypes/Vector2.h>
#include <quortypes/Log.h>
#include <quortypes/PropertyTable.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    // Rows of PropertyTable<T> over a field of T or of a base, set straight from text.
    template <class T> struct PropertyRows
    {
        using Row = typename PropertyTable<T>::Row;

        // A vector read as "x,y" with six decimals each; a text of other than two parts throws.
        template <class C> static Row vectorRow(const char* name, kavtypes::Vector2 C::*field)
        {
            return Row(
                name, PropertyInfo::GVEC2, [field](T& object) { return vector2ToString(object.*field); },
                [field](T& object, const hstring& value) { object.*field = stringToVector2(value); });
        }

        // One coordinate of a vector or rectangle field, read as "%f".
        template <class C, class V> static Row partRow(const char* name, V C::*field, float V::*part)
        {
            return Row(
                name, PropertyInfo::FLOAT,
                [field, part](T& object) { return hstring((object.*field).*part); },
                [field, part](T& object, const hstring& value) { (object.*field).*part = value.toFloat(); });
        }

        // One of the words, stored as its index, read as "" past them; another word is refused with a
        // warning and keeps the value.
        template <class C, size_t N>
        static Row wordRow(const char* name, const char* const (&words)[N], int C::*field)
        {
            const char* const* list = words;
            return Row(
                name, PropertyInfo::ENUM,
                [list, field](T& object) {
                    return object.*field >= 0 && object.*field < (int)N ? hstring(list[object.*field])
                                                                        : hstring();
                },
                [name, list, field](T& object, const hstring& value)
                {
                    for (int index = 0; index < (int)N; ++index)
                    {
                        if (value == list[index])
                        {
                            object.*field = index;
                            return true;
                        }
                    }
                    quortypes::Log::warn(logTag,
                                         hstring("'") + name + "=' does not support value '" + value + "'.");
                    return false;
                });
        }
    };
} // namespace tesraui
