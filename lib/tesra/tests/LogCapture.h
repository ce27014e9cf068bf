#pragma once

#include <algorithm>

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

    ~LogCapture() { quortypes::Log::setCallback(nullptr); }

    harray<hstring> take()
    {
        harray<hstring> result = lines();
        lines().clear();
        return result;
    }

    // How often exactly `text` was written; the lines stay for take().
    int count(const hstring& text) const { return (int)std::count(lines().begin(), lines().end(), text); }
    bool contains(const hstring& text) const { return count(text) > 0; }

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
