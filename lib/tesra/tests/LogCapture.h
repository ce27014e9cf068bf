#pragma once

#include <quortypes/Log.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>

// Collects the "tesra" log lines written while it lives.
class LogCapture
{
public:
    LogCapture()
    {
        lines().clear();
        quortypes::Log::setCallback(collect);
    }

    ~LogCapture() { quortypes::Log::setCallback(NULL); }

    harray<hstring> take()
    {
        harray<hstring> result = lines();
        lines().clear();
        return result;
    }

private:
    static harray<hstring>& lines()
    {
        static harray<hstring> collected;
        return collected;
    }

    static void collect(const hstring& tag, const hstring& text)
    {
        if (tag == "tesra")
        {
            lines().push_back(text);
        }
    }
};
