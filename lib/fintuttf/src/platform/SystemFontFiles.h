#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

namespace fintuttf::platform
{
    /// The main system font folder, ending in "/".
    hstring getSystemFontsFolder();
    /// Every installed font file: the font service's list, or else the files found by walking the system
    /// folder and the user's font folders.
    harray<hstring> listSystemFontFiles(const hstring& folder);
    /// The file of the font service's own match for a family with no style asked for (its regular
    /// face, whatever that face calls its style); "" when no installed face has that family.
    hstring matchSystemFontFamily(const hstring& family);
} // namespace fintuttf::platform
