#pragma once

#include <deque>

#include <quortypes/harray.h>

// Double-ended queue with the container operations of hcontainer.
template <class T> class hdeque : public hcontainer<hdeque<T>, std::deque<T>>
{
public:
    using hcontainer<hdeque<T>, std::deque<T>>::hcontainer;
    hdeque() = default;

    static constexpr const char* sourceName = "hdeque";
    static constexpr const char* subscriptError = "invalid deque<T> subscript";
};

#include <quortypes/hstring.h>
