#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>

namespace tesraui
{
    EventArgs::EventArgs(Object* object, float x, float y, unsigned int keyCode, const hstring& extra)
        : object(object), x(x), y(y), keyCode(keyCode), buttonCode(0), extra(extra)
    {
    }

    EventArgs::EventArgs(Object* object, float x, float y, int buttonCode, const hstring& extra)
        : object(object), x(x), y(y), keyCode(0), buttonCode(buttonCode), extra(extra)
    {
    }

    void CallbackEvent::execute(EventArgs* args)
    {
        if (function != nullptr)
        {
            function(args);
        }
    }
} // namespace tesraui
