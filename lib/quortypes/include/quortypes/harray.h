#pragma once

// Operations shared by harray, hlist and hdeque. Derived names the concrete
// container (for results of its own type) and provides sourceName (used in the
// messages of the errors thrown here) and subscriptError (the text of the
// standard range error a negative index gets).

#include <algorithm>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <unordered_set>
#include <vector>

#include <quortypes/exception.h>
#include <quortypes/util.h>

class hstring;
template <class T> class harray;

template <class Derived, class Base> class hcontainer : public Base
{
public:
    typedef typename Base::value_type T;
    using Base::Base;
    hcontainer() = default;
    hcontainer(const Base& other) : Base(other) {}
    hcontainer(Base&& other) : Base(std::move(other)) {}

    int size() const { return (int)Base::size(); }

    typename Base::reference at(int index)
    {
        this->_checkIndex(index);
        return *std::next(this->begin(), index);
    }

    typename Base::const_reference at(int index) const
    {
        this->_checkIndex(index);
        return *std::next(this->begin(), index);
    }

    T removeAt(int index)
    {
        this->_checkIndex(index);
        auto it = std::next(this->begin(), index);
        T result = std::move(*it);
        this->erase(it);
        return result;
    }

    T removeFirst() { return this->removeAt(0); }

    T pop()
    {
        if (this->empty())
        {
            throw quortypes::_container_index_error(0, Derived::sourceName, __LINE__);
        }
        T result = std::move(this->back());
        this->pop_back();
        return result;
    }

    void remove(const T& value)
    {
        auto it = std::find(this->begin(), this->end(), value);
        if (it == this->end())
        {
            throw quortypes::_container_element_not_found(Derived::sourceName, __LINE__);
        }
        this->erase(it);
    }

    int removeAll(const T& value)
    {
        int before = this->size();
        this->erase(std::remove(this->begin(), this->end(), value), this->end());
        return before - this->size();
    }

    void insertAt(int index, const Derived& other)
    {
        if (index > this->size())
        {
            throw quortypes::_container_index_error(index, Derived::sourceName, __LINE__);
        }
        if (index < 0)
        {
            throw std::out_of_range(Derived::subscriptError);
        }
        if ((const void*)&other == (const void*)this)
        {
            // inserting a range of the container into itself would read moved elements
            Derived copy(other);
            this->insert(std::next(this->begin(), index), copy.begin(), copy.end());
            return;
        }
        this->insert(std::next(this->begin(), index), other.begin(), other.end());
    }

    Derived sub(int start, int count) const
    {
        Derived result;
        if (count < 1)
        {
            return result;
        }
        if (start < 0 || start >= this->size() || (long long)start + count > this->size())
        {
            throw quortypes::_container_range_error(start, count, Derived::sourceName, __LINE__);
        }
        auto first = std::next(this->begin(), start);
        result.insert(result.end(), first, std::next(first, count));
        return result;
    }

    T random() const
    {
        if (this->empty())
        {
            throw quortypes::_container_empty_error("random()", Derived::sourceName, __LINE__);
        }
        return *std::next(this->begin(), quortypes::randomInt(this->size()));
    }

    // Every position holding value, ascending (defined in harray.h).
    harray<int> indexesOf(const T& value) const;

    // Keeps the first of equal elements. Elements that can be hashed (strings among them) are looked up in
    // a hash set, so that long lists take linear time.
    void removeDuplicates()
    {
        Derived result;
        if constexpr (std::is_base_of_v<std::string, T> || std::is_default_constructible_v<std::hash<T>>)
        {
            using Hash =
                std::conditional_t<std::is_base_of_v<std::string, T>, std::hash<std::string>, std::hash<T>>;
            std::unordered_set<T, Hash> seen;
            seen.reserve(this->size());
            for (auto it = this->begin(); it != this->end(); ++it)
            {
                if (seen.insert(*it).second)
                {
                    result.push_back(*it);
                }
            }
        }
        else
        {
            for (auto it = this->begin(); it != this->end(); ++it)
            {
                if (std::find(result.begin(), result.end(), *it) == result.end())
                {
                    result.push_back(*it);
                }
            }
        }
        this->Base::operator=(std::move(result));
    }

    Derived operator+(const Derived& other) const
    {
        Derived result(static_cast<const Derived&>(*this));
        result.insert(result.end(), other.begin(), other.end());
        return result;
    }

    // Only for containers of hstring.
    template <class S = T> S joined(const hstring& separator) const
    {
        S result;
        bool first = true;
        for (auto it = this->begin(); it != this->end(); ++it)
        {
            if (!first)
            {
                result += separator;
            }
            result += *it;
            first = false;
        }
        return result;
    }

protected:
    void _checkIndex(int index) const
    {
        if (index >= this->size())
        {
            throw quortypes::_container_index_error(index, Derived::sourceName, __LINE__);
        }
        if (index < 0)
        {
            throw std::out_of_range(Derived::subscriptError);
        }
    }
};

// Dynamic array with the container operations of hcontainer.
template <class T> class harray : public hcontainer<harray<T>, std::vector<T>>
{
public:
    using hcontainer<harray<T>, std::vector<T>>::hcontainer;
    harray() = default;

    static constexpr const char* sourceName = "harray";
    static constexpr const char* subscriptError = "invalid vector<T> subscript";
};

template <class Derived, class Base> harray<int> hcontainer<Derived, Base>::indexesOf(const T& value) const
{
    harray<int> result;
    int i = 0;
    for (auto it = this->begin(); it != this->end(); ++it, ++i)
    {
        if (*it == value)
        {
            result.push_back(i);
        }
    }
    return result;
}

#include <quortypes/hstring.h>
