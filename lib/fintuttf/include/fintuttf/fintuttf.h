#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

// FreeType's own handle types, named without its headers.
struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace fintu
{
    class Font;
}

namespace fintuttf
{
    extern const hstring logTag;

    void init();
    void destroy();
    /// Throws quortypes::exception when init() has not succeeded.
    FT_LibraryRec_* getLibrary();
    FT_FaceRec_* getFace(fintu::Font* font);
    void addFace(fintu::Font* font, FT_FaceRec_* face);
    void removeFace(fintu::Font* font);
    /// The folder searched when the platform has no font service.
    hstring getSystemFontsPath();
    /// Names of the installed fonts: the family, followed by a blank and the style unless it is "Regular".
    harray<hstring> getSystemFonts();
    hstring getSystemFontFilename(const hstring& name);
    int getTextureSize();
    bool isAllowAlphaTextures();
} // namespace fintuttf
