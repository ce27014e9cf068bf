#include <cstdio>
#include <cstring>
#include <vector>

#include <quortypes/hstring.h>

hstring formatString(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    hstring result = formatStringV(format, args);
    va_end(args);
    return result;
}

// Short texts are formatted on the stack; longer ones are formatted again into a
// buffer of exactly the size the first pass reported, so there is no length limit.
hstring formatStringV(const char* format, va_list args)
{
    if (format == nullptr)
    {
        return hstring();
    }
    char buffer[256];
    va_list copy;
    va_copy(copy, args);
    int size = vsnprintf(buffer, sizeof(buffer), format, copy);
    va_end(copy);
    if (size < 0)
    {
        return hstring();
    }
    if ((size_t)size < sizeof(buffer))
    {
        return hstring(buffer); // up to the first zero byte, as the longer path
    }
    hstring result;
    result.resize((size_t)size);
    va_copy(copy, args);
    vsnprintf(&result.std::string::operator[](0), (size_t)size + 1, format, copy);
    va_end(copy);
    result.resize(strlen(result.c_str()));
    return result;
}
