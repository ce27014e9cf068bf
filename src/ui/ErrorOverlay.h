#pragma once

#include <quortypes/hstring.h>

namespace vumo
{
    // The scripting-error overlay's text: the error, its stack trace and its context, marked up for the
    // text renderer. The overlay itself is built by UI::showErrorOverlay.
    namespace ErrorOverlay
    {
        extern const char* const backgroundName;

        bool isWarning(const hstring& message);
        hstring formatMessage(const hstring& message);
    } // namespace ErrorOverlay
} // namespace vumo
