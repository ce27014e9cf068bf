#pragma once

#include <quortypes/hstring.h>

namespace vumo
{
    // What the debug tools and the scripting-error overlay share, kept below all of them so that none of
    // them needs another: the font "debug", the text escaping for the text renderer and the modifier keys.
    namespace DebugCommon
    {
        extern const char* const fontName;
        // Registers the font "debug" with the text renderer unless it has it.
        void createFont();
        // The font's scale for lines of that height.
        float textScale(float lineHeight);
        // Text for the text renderer as it was written: "[" does not open a tag.
        hstring escapeTags(const hstring& text);
        // Text with its brackets turned into angle brackets, so that no tag opens.
        hstring bracketsToAngles(const hstring& text);

        // The key codes of either Shift, Ctrl or Alt key on the platforms the window reports.
        bool isShiftKey(int keyCode);
        bool isCtrlKey(int keyCode);
        bool isAltKey(int keyCode);
    } // namespace DebugCommon
} // namespace vumo
