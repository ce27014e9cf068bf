#pragma once

#include <map>

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

// Map keyed by hstring; keys are ordered byte-wise, so every walk (keys() too)
// runs in that order.
template <class V> class hdict : public std::map<hstring, V>
{
public:
    using std::map<hstring, V>::map;
    hdict() = default;

    int size() const { return (int)std::map<hstring, V>::size(); }

    bool hasKey(const hstring& key) const { return this->find(key) != this->end(); }

    V tryGet(const hstring& key, V fallback) const
    {
        auto it = this->find(key);
        return it != this->end() ? it->second : fallback;
    }

    bool hasValue(const V& value) const
    {
        for (auto it = this->begin(); it != this->end(); ++it)
        {
            if (it->second == value)
            {
                return true;
            }
        }
        return false;
    }

    void removeKey(const hstring& key) { this->erase(key); }

    harray<hstring> keys() const
    {
        harray<hstring> result;
        result.reserve(this->size());
        for (auto it = this->begin(); it != this->end(); ++it)
        {
            result.push_back(it->first);
        }
        return result;
    }
};
