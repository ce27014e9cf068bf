#pragma once

#include <list>

#include <quortypes/harray.h>

// Doubly linked list with the container operations of hcontainer.
template <class T> class hlist : public hcontainer<hlist<T>, std::list<T>>
{
public:
    using hcontainer<hlist<T>, std::list<T>>::hcontainer;
    hlist() = default;

    static constexpr const char* sourceName = "hlist";
    static constexpr const char* subscriptError = "invalid list<T> subscript";
};

#include <quortypes/hstring.h>
