#pragma once

#include <string>

namespace harness
{
    // As another program on the X display of $DISPLAY would: destroys the first window of that title, waiting
    // up to the given seconds for it to show. False when no display or no such window was found.
    bool destroyWindowTitled(const std::string& title, double seconds);
    // As xkill does: closes the connection to the display of the program that made the first window of that
    // title.
    bool killClientOfWindowTitled(const std::string& title, double seconds);
} // namespace harness
