#pragma once

#include <quortypes/hstring.h>

namespace tesraui
{
    class Object;

    // What a queued event hands to its handler.
    class EventArgs
    {
    public:
        Object* object = nullptr;
        float x = 0.0f;
        float y = 0.0f;
        unsigned int keyCode = 0;
        int buttonCode = 0;
        hstring extra;

        EventArgs(Object* object, float x, float y, unsigned int keyCode, const hstring& extra);
        EventArgs(Object* object, float x, float y, int buttonCode, const hstring& extra);
    };
} // namespace tesraui
