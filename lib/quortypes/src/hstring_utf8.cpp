#include <algorithm>
#include <cstring>

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

#include "utf8.h"

using quortypes::utf8::decode;
using quortypes::utf8::encode;

// Whole-text decoding ends at the first zero byte.
static size_t textLength(const hstring& text)
{
    const char* data = text.data();
    size_t size = text.std::string::size();
    const void* zero = memchr(data, 0, size);
    return zero != nullptr ? (size_t)((const char*)zero - data) : size;
}

// Zero elements add nothing, so the result never holds a zero byte inside the text.
template <typename T> static hstring encodeAll(const T* begin, const T* end)
{
    hstring result;
    result.reserve(end - begin);
    char buffer[6];
    for (; begin != end; ++begin)
    {
        if (*begin != 0)
        {
            result.append(buffer, encode(*begin, buffer));
        }
    }
    return result;
}

// The number of units before the terminating zero.
template <typename T> static size_t lengthOf(const T* units)
{
    const T* end = units;
    while (*end != 0)
    {
        ++end;
    }
    return end - units;
}

int hstring::utf8Size() const
{
    const unsigned char* data = (const unsigned char*)this->data();
    size_t size = textLength(*this);
    int result = 0;
    int length = 0;
    for (size_t i = 0; i < size; i += length)
    {
        decode(data + i, size - i, &length);
        ++result;
    }
    return result;
}

hstring hstring::utf8SubString(int start, int count) const
{
    const unsigned char* data = (const unsigned char*)this->data();
    size_t size = textLength(*this);
    size_t i = 0;
    int length = 0;
    for (; i < size && start > 0; --start, i += length)
    {
        decode(data + i, size - i, &length);
    }
    size_t first = i;
    for (; i < size && count > 0; --count, i += length)
    {
        decode(data + i, size - i, &length);
    }
    return hstring(std::string::substr(first, i - first));
}

unsigned int hstring::unicodeCharAt(int index, int* length) const
{
    int ignored = 0;
    if (length == nullptr)
    {
        length = &ignored;
    }
    if (index < 0 || index >= this->size())
    {
        // the terminating zero
        *length = 1;
        return 0;
    }
    // a zero byte ends the sequence as the end of the text would
    const unsigned char* data = (const unsigned char*)this->data() + index;
    size_t available = std::min(this->std::string::size() - index, (size_t)4);
    for (size_t i = 1; i < available; ++i)
    {
        if (data[i] == 0)
        {
            available = i;
            break;
        }
    }
    return decode(data, available, length);
}

ustring hstring::toUnicode() const
{
    const unsigned char* data = (const unsigned char*)this->data();
    size_t size = textLength(*this);
    ustring result(size, 0);
    unsigned int* out = &result[0];
    int length = 0;
    for (size_t i = 0; i < size; i += length)
    {
        *out++ = decode(data + i, size - i, &length);
    }
    result.resize(out - result.data());
    return result;
}

hstring hstring::fromUnicode(const char* s)
{
    return hstring(s);
}

hstring hstring::fromUnicode(unsigned int codePoint)
{
    char buffer[6];
    if (codePoint == 0)
    {
        return hstring();
    }
    return hstring(buffer, encode(codePoint, buffer));
}

hstring hstring::fromUnicode(const unsigned int* codePoints)
{
    return codePoints != nullptr ? encodeAll(codePoints, codePoints + lengthOf(codePoints)) : hstring();
}

hstring hstring::fromUnicode(const harray<unsigned int>& codePoints)
{
    return encodeAll(codePoints.data(), codePoints.data() + codePoints.size());
}

hstring hstring::fromUnicode(const ustring& codePoints)
{
    return encodeAll(codePoints.data(), codePoints.data() + codePoints.size());
}

hstring hstring::fromUnicode(const char16_t* units)
{
    return units != nullptr ? encodeAll(units, units + lengthOf(units)) : hstring();
}
