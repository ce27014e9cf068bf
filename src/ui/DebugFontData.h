#pragma once

namespace vumo
{
    // The monospaced face of the font "debug", built into the program.
    const unsigned char* debugFontData();
    int debugFontSize();
} // namespace vumo
