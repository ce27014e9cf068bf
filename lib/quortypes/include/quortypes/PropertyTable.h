#pragma once

#include <cmath>
#include <functional>
#include <initializer_list>
#include <type_traits>
#include <utility>
#include <vector>

#include <quortypes/PropertyInfo.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>

// The properties a class of objects adds to its base's, one row each: its name, its PropertyInfo type,
// how to read it as text and how to set it from text. From the rows come the class's getProperty,
// setProperty and getPropertyDescriptions; a name the table does not hold goes to the fallback the class
// gives (its base's function, or its own answer for an unknown name), so a table replaces a hand-written
// chain without changing what it answers.
//
// The rows are looked up in their order and the first of a name wins. A row without a setter is
// read-only, one without a getter write-only: for the missing half the name counts as not in the table
// and goes to the fallback, as it does in a chain that names it in one function only. A row of type
// Undescribed is served but not listed in the descriptions.
//
// A table is meant to live in a function-local static of a static member function of its class, so that
// the rows' lambdas reach the class's protected members and the table is built on first use.
template <class T> class PropertyTable
{
public:
    using Getter = std::function<hstring(T&)>;
    // True when the value was taken; a setter returning nothing always takes it.
    using Setter = std::function<bool(T&, const hstring&)>;

    // The type of a row served but not listed.
    static constexpr int Undescribed = -1;

    class Row
    {
    public:
        // A read-only row.
        template <class G> Row(const hstring& name, int type, G&& getter) : name(name), type(type)
        {
            _setGetter(std::forward<G>(getter));
        }

        template <class G, class S>
        Row(const hstring& name, int type, G&& getter, S&& setter) : name(name), type(type)
        {
            _setGetter(std::forward<G>(getter));
            _setSetter(std::forward<S>(setter));
        }

        // The row of a number property whose arithmetic holds only the numbers from lowest to highest, which
        // its description tells (see PropertyInfo); its setter holds what it is given within them.
        Row within(double lowest, double highest) const
        {
            Row bounded = *this;
            bounded.lowest = lowest;
            bounded.highest = highest;
            return bounded;
        }

        hstring name;
        int type;
        Getter getter;
        Setter setter;
        double lowest = -HUGE_VAL;
        double highest = HUGE_VAL;

    private:
        template <class G> void _setGetter(G&& getter)
        {
            if constexpr (!std::is_same<std::decay_t<G>, std::nullptr_t>::value)
            {
                this->getter = std::forward<G>(getter);
            }
        }

        template <class S> void _setSetter(S&& setter)
        {
            using Decayed = std::decay_t<S>;
            if constexpr (std::is_same<Decayed, std::nullptr_t>::value)
            {
                return;
            }
            else if constexpr (std::is_void<std::invoke_result_t<Decayed&, T&, const hstring&>>::value)
            {
                this->setter = [set = std::forward<S>(setter)](T& object, const hstring& value) mutable
                {
                    std::invoke(set, object, value);
                    return true;
                };
            }
            else
            {
                this->setter = std::forward<S>(setter);
            }
        }
    };

    // Rows over a field of the class or of a base, set straight from text: a truth read as "1" or "0", a
    // whole number as "%d", a number as "%f", a text as it is.
    template <class C> static Row flagRow(const hstring& name, bool C::*field)
    {
        return Row(
            name, PropertyInfo::BOOL, [field](T& object) { return hstring(object.*field ? 1 : 0); },
            [field](T& object, const hstring& value) { object.*field = value.toBool(); });
    }

    template <class C> static Row intRow(const hstring& name, int C::*field)
    {
        return Row(
            name, PropertyInfo::INT, [field](T& object) { return hstring(object.*field); },
            [field](T& object, const hstring& value) { object.*field = value.toInt(); });
    }

    template <class C> static Row floatRow(const hstring& name, float C::*field)
    {
        return Row(
            name, PropertyInfo::FLOAT, [field](T& object) { return hstring(object.*field); },
            [field](T& object, const hstring& value) { object.*field = value.toFloat(); });
    }

    template <class C> static Row textRow(const hstring& name, hstring C::*field)
    {
        return Row(
            name, PropertyInfo::STRING, [field](T& object) { return object.*field; },
            [field](T& object, const hstring& value) { object.*field = value; });
    }

    PropertyTable(std::initializer_list<Row> rows) : rows(rows)
    {
        for (const Row& row : rows)
        {
            if (row.type != Undescribed)
            {
                descriptions.push_back(PropertyInfo(row.name, row.type, row.lowest, row.highest));
            }
        }
    }

    // The described rows, in their order.
    const harray<PropertyInfo>& getDescriptions() const { return descriptions; }
    // The base's descriptions followed by the table's.
    harray<PropertyInfo> describeAfter(const harray<PropertyInfo>& base) const { return base + descriptions; }
    // The table's descriptions followed by the base's.
    harray<PropertyInfo> describeBefore(const harray<PropertyInfo>& base) const
    {
        return descriptions + base;
    }

    // The row's text for the name, else what fallback() returns.
    template <class Fallback> hstring get(T& object, const hstring& name, Fallback&& fallback) const
    {
        for (const Row& row : rows)
        {
            if (row.getter && row.name == name)
            {
                return row.getter(object);
            }
        }
        return fallback();
    }

    // The row's setter for the name, else what fallback() returns.
    template <class Fallback>
    bool set(T& object, const hstring& name, const hstring& value, Fallback&& fallback) const
    {
        for (const Row& row : rows)
        {
            if (row.setter && row.name == name)
            {
                return row.setter(object, value);
            }
        }
        return fallback();
    }

private:
    std::vector<Row> rows;
    harray<PropertyInfo> descriptions;
};

// A class's functions from its table, reached through its static member function `table`; names not in the
// table go to Base's functions. Descriptions list the base's first (DESCRIPTIONS_BASE_FIRST) or the
// table's first (DESCRIPTIONS_OWN_FIRST), as the class's own chain does.
#define QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(Class, Base, table)                                 \
    harray<PropertyInfo> Class::getPropertyDescriptions() const                                              \
    {                                                                                                        \
        return table().describeAfter(Base::getPropertyDescriptions());                                       \
    }

#define QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_OWN_FIRST(Class, Base, table)                                  \
    harray<PropertyInfo> Class::getPropertyDescriptions() const                                              \
    {                                                                                                        \
        return table().describeBefore(Base::getPropertyDescriptions());                                      \
    }

#define QUORTYPES_PROPERTY_TABLE_GET(Class, Base, table)                                                     \
    hstring Class::getProperty(const hstring& name)                                                          \
    {                                                                                                        \
        return table().get(*this, name, [&] { return Base::getProperty(name); });                            \
    }

#define QUORTYPES_PROPERTY_TABLE_SET(Class, Base, table)                                                     \
    bool Class::setProperty(const hstring& name, const hstring& value)                                       \
    {                                                                                                        \
        return table().set(*this, name, value, [&] { return Base::setProperty(name, value); });              \
    }

#define QUORTYPES_PROPERTY_TABLE_GET_SET(Class, Base, table)                                                 \
    QUORTYPES_PROPERTY_TABLE_GET(Class, Base, table)                                                         \
    QUORTYPES_PROPERTY_TABLE_SET(Class, Base, table)

// A class with two bases: a name not in the table is asked of First, then of Second when First answers
// nothing or does not take the value.
#define QUORTYPES_PROPERTY_TABLE_GET_SET_TWO_BASES(Class, First, Second, table)                              \
    hstring Class::getProperty(const hstring& name)                                                          \
    {                                                                                                        \
        return table().get(*this, name,                                                                      \
                           [&]                                                                               \
                           {                                                                                 \
                               hstring result = First::getProperty(name);                                    \
                               return result != "" ? result : Second::getProperty(name);                     \
                           });                                                                               \
    }                                                                                                        \
    bool Class::setProperty(const hstring& name, const hstring& value)                                       \
    {                                                                                                        \
        return table().set(*this, name, value,                                                               \
                           [&]                                                                               \
                           { return First::setProperty(name, value) || Second::setProperty(name, value); }); \
    }

// A class at the root of its properties: only the table's rows are listed, and a name not in it reads as ""
// and is not taken.
#define QUORTYPES_PROPERTY_TABLE_ROOT(Class, table)                                                          \
    harray<PropertyInfo> Class::getPropertyDescriptions() const                                              \
    {                                                                                                        \
        return table().getDescriptions();                                                                    \
    }                                                                                                        \
    hstring Class::getProperty(const hstring& name)                                                          \
    {                                                                                                        \
        return table().get(*this, name, [] { return hstring(); });                                           \
    }                                                                                                        \
    bool Class::setProperty(const hstring& name, const hstring& value)                                       \
    {                                                                                                        \
        return table().set(*this, name, value, [] { return false; });                                        \
    }
