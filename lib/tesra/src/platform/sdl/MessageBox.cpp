#include <SDL.h>

#include <quortypes/Log.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>

#include "system/MessageBoxAnswer.h"
#include "platform/Platform.h"

namespace tesra::platform
{

    int showMessageBox(const hstring& title, const hstring& text, int buttons, int style,
                       const std::map<MessageBoxButton, hstring>& captions)
    {
        SDL_MessageBoxButtonData data[3];
        int count = 0;
        const int closedAnswer = messageBoxClosedAnswer(buttons);
        auto add = [&](int button, const char* label)
        {
            if ((buttons & button) == 0)
            {
                return;
            }
            Uint32 flags = 0;
            if (count == 0)
            {
                flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
            }
            if (button == closedAnswer)
            {
                flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
            }
            auto caption = captions.find((MessageBoxButton)button);
            data[count++] = {flags, button, caption != captions.end() ? caption->second.c_str() : label};
        };
        add(MESSAGE_BUTTON_OK, "OK");
        add(MESSAGE_BUTTON_YES, "Yes");
        add(MESSAGE_BUTTON_NO, "No");
        add(MESSAGE_BUTTON_CANCEL, "Cancel");
        Uint32 flags = 0;
        if ((style & MESSAGE_STYLE_CRITICAL) == MESSAGE_STYLE_CRITICAL)
        {
            flags = SDL_MESSAGEBOX_ERROR;
        }
        else if ((style & MESSAGE_STYLE_INFO) != 0)
        {
            flags = SDL_MESSAGEBOX_INFORMATION;
        }
        else if ((style & MESSAGE_STYLE_WARNING) != 0)
        {
            flags = SDL_MESSAGEBOX_WARNING;
        }
        else if ((style & MESSAGE_STYLE_QUESTION) != 0)
        {
            flags = SDL_MESSAGEBOX_INFORMATION; // no question icon on this platform
        }
        SDL_Window* owner = nullptr;
        if ((style & MESSAGE_STYLE_MODAL) != 0 && window != nullptr)
        {
            owner = (SDL_Window*)window->getBackendId();
        }
        const SDL_MessageBoxData box = {flags, owner, title.c_str(), text.c_str(), count, data, nullptr};
        int pressed = -1;
        if (SDL_ShowMessageBox(&box, &pressed) != 0)
        {
            quortypes::Log::error(logTag, formatString("Unable to show message box '%s': '%s' (%s)",
                                                       quortypes::Log::quote(title).c_str(),
                                                       quortypes::Log::quote(text).c_str(), SDL_GetError()));
            return 0;
        }
        return pressed < 0 ? closedAnswer : pressed;
    }

} // namespace tesra::platform
