#include <SDL.h>

#include <quortypes/Log.h>

#include <pirk/util.h>

namespace pirk
{
    bool copyToClipboard(const hstring& text)
    {
        if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        {
            quortypes::Log::warn(logTag, "Cannot copy to the clipboard without a window");
            return false;
        }
        if (SDL_SetClipboardText(text.c_str()) != 0)
        {
            quortypes::Log::warn(logTag, hstring("Cannot copy to the clipboard: ") + SDL_GetError());
            return false;
        }
        char* held = SDL_GetClipboardText();
        bool result = held != nullptr && text == held;
        SDL_free(held);
        return result;
    }

    bool openUrl(const hstring& url)
    {
        quortypes::Log::write(logTag, "Opening URL: " + quortypes::Log::quote(url));
        SDL_OpenURL(url.c_str());
        return true;
    }
} // namespace pirk
