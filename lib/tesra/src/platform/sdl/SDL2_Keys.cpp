#include <SDL.h>

#include "SDL2_Keys.h"

namespace tesra
{

    namespace
    {
        int fromKeycode(SDL_Keycode key)
        {
            if (key >= SDLK_a && key <= SDLK_z)
            {
                return 0x41 + (key - SDLK_a);
            }
            if (key >= SDLK_0 && key <= SDLK_9)
            {
                return 0x30 + (key - SDLK_0);
            }
            if (key >= SDLK_F1 && key <= SDLK_F12)
            {
                return 0x70 + (key - SDLK_F1);
            }
            if (key >= SDLK_F13 && key <= SDLK_F24)
            {
                return 0x7C + (key - SDLK_F13);
            }
            if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
            {
                return 0x61 + (key - SDLK_KP_1);
            }
            switch (key)
            {
            case SDLK_BACKSPACE:
                return 0x08;
            case SDLK_TAB:
                return 0x09;
            case SDLK_CLEAR:
                return 0x0C;
            case SDLK_RETURN:
            case SDLK_RETURN2:
            case SDLK_KP_ENTER:
                return 0x0D;
            case SDLK_LSHIFT:
            case SDLK_RSHIFT:
                return 0x10;
            case SDLK_LCTRL:
            case SDLK_RCTRL:
                return 0x11;
            case SDLK_LALT:
            case SDLK_RALT:
                return 0x12;
            case SDLK_PAUSE:
                return 0x13;
            case SDLK_CAPSLOCK:
                return 0x14;
            case SDLK_ESCAPE:
                return 0x1B;
            case SDLK_SPACE:
                return 0x20;
            case SDLK_PAGEUP:
                return 0x21;
            case SDLK_PAGEDOWN:
                return 0x22;
            case SDLK_END:
                return 0x23;
            case SDLK_HOME:
                return 0x24;
            case SDLK_LEFT:
                return 0x25;
            case SDLK_UP:
                return 0x26;
            case SDLK_RIGHT:
                return 0x27;
            case SDLK_DOWN:
                return 0x28;
            case SDLK_SELECT:
                return 0x29;
            case SDLK_EXECUTE:
                return 0x2B;
            case SDLK_PRINTSCREEN:
                return 0x2C;
            case SDLK_INSERT:
                return 0x2D;
            case SDLK_DELETE:
                return 0x2E;
            case SDLK_HELP:
                return 0x2F;
            case SDLK_LGUI:
                return 0x5B;
            case SDLK_RGUI:
                return 0x5C;
            case SDLK_APPLICATION:
                return 0x5D;
            case SDLK_SLEEP:
                return 0x5F;
            case SDLK_KP_0:
                return 0x60;
            case SDLK_KP_MULTIPLY:
                return 0x6A;
            case SDLK_KP_PLUS:
                return 0x6B;
            case SDLK_KP_MINUS:
                return 0x6D;
            case SDLK_KP_PERIOD:
            case SDLK_KP_DECIMAL:
                return 0x6E;
            case SDLK_KP_DIVIDE:
                return 0x6F;
            case SDLK_NUMLOCKCLEAR:
                return 0x90;
            case SDLK_SCROLLLOCK:
                return 0x91;
            case SDLK_AUDIOMUTE:
                return 0xAD;
            case SDLK_VOLUMEDOWN:
                return 0xAE;
            case SDLK_VOLUMEUP:
                return 0xAF;
            case SDLK_AUDIONEXT:
                return 0xB0;
            case SDLK_AUDIOPREV:
                return 0xB1;
            case SDLK_AUDIOSTOP:
                return 0xB2;
            case SDLK_AUDIOPLAY:
                return 0xB3;
            }
            return 0;
        }

        int fromScancode(SDL_Scancode code)
        {
            if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z)
            {
                return 0x41 + (code - SDL_SCANCODE_A);
            }
            if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9)
            {
                return 0x31 + (code - SDL_SCANCODE_1);
            }
            switch (code)
            {
            case SDL_SCANCODE_0:
                return 0x30;
            case SDL_SCANCODE_SEMICOLON:
                return 0xBA;
            case SDL_SCANCODE_EQUALS:
                return 0xBB;
            case SDL_SCANCODE_COMMA:
                return 0xBC;
            case SDL_SCANCODE_MINUS:
                return 0xBD;
            case SDL_SCANCODE_PERIOD:
                return 0xBE;
            case SDL_SCANCODE_SLASH:
                return 0xBF;
            case SDL_SCANCODE_GRAVE:
                return 0xC0;
            case SDL_SCANCODE_LEFTBRACKET:
                return 0xDB;
            case SDL_SCANCODE_BACKSLASH:
            case SDL_SCANCODE_NONUSHASH: // the same place on ISO keyboards
                return 0xDC;
            case SDL_SCANCODE_RIGHTBRACKET:
                return 0xDD;
            case SDL_SCANCODE_APOSTROPHE:
                return 0xDE;
            case SDL_SCANCODE_NONUSBACKSLASH:
                return 0xE2;
            default:
                break;
            }
            return 0;
        }

        bool isPunctuationScancode(SDL_Scancode code)
        {
            return (code >= SDL_SCANCODE_MINUS && code <= SDL_SCANCODE_SLASH) ||
                   code == SDL_SCANCODE_NONUSBACKSLASH;
        }
    } // namespace

    int virtualKeyFromSdl(int keycode, int scancode)
    {
        const SDL_Scancode code = (SDL_Scancode)scancode;
        // Punctuation keys are named by position so that their codes do not change
        // with the layout, as the rest of the system expects of these codes.
        if (isPunctuationScancode(code))
        {
            return fromScancode(code);
        }
        const int result = fromKeycode((SDL_Keycode)keycode);
        // Layouts whose letters are not Latin still give the key's Latin position.
        return result != 0 ? result : fromScancode(code);
    }

} // namespace tesra
