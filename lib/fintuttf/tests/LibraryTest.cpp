#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

#include <quortypes/exception.h>

#include "TtfSupport.h"

using ttftest::LogCapture;

TEST(FintuTtfLibrary, LifecycleAndSystemFonts)
{
    // before init: the font table stays unfilled for later, and a font made from memory frees its copy
    try
    {
        fintuttf::getSystemFonts();
        FAIL() << "no library before init";
    }
    catch (const quortypes::exception& e)
    {
        EXPECT_EQ(e.getMessage(), "[fintuttf:155] FintuTTF not initialized!");
    }
    const unsigned char bytes[4] = {0, 1, 0, 0};
    EXPECT_THROW(fintuttf::FontTtf((const unsigned char*)bytes, 4, "Early", 20.0f, 1.0f, 0.0f, 0.0f),
                 quortypes::exception);
    LogCapture log;
    fintuttf::init();
    EXPECT_EQ(log.count("Initializing FintuTTF"), 1);
    ASSERT_NE(fintuttf::getLibrary(), nullptr);

    // family names, with the style after a blank unless it is "Regular"
    harray<hstring> names = fintuttf::getSystemFonts();
    EXPECT_NE(std::find(names.begin(), names.end(), "DejaVu Sans Bold"), names.end());
    EXPECT_NE(fintuttf::getSystemFontFilename(ttftest::dejaVuName()), "");
    EXPECT_EQ(fintuttf::getSystemFontFilename("No Such Font Family"), "");
    EXPECT_EQ(fintuttf::getTextureSize(), 1024);

    // a font made without a file takes the installed one of its name; its descender comes from the face
    fintuttf::FontTtf bold("", "DejaVu Sans Bold", 20.0f, 1.0f, 0.0f);
    EXPECT_TRUE(bold.isLoaded());
    EXPECT_EQ(bold.getFontFilename(), fintuttf::getSystemFontFilename("DejaVu Sans Bold"));
    EXPECT_FLOAT_EQ(bold.getLineHeight(), 20.0f);
    EXPECT_GT(bold.getDescender(), 0.0f);
    EXPECT_LT(bold.getDescender(), 10.0f);
    EXPECT_EQ(fintuttf::getFace(&bold) != nullptr, true);

    // unknown names stay unloaded silently; missing files and garbage are reported
    fintuttf::FontTtf unknown("", "No Such Font Family", 20.0f, 1.0f, 0.0f);
    EXPECT_FALSE(unknown.isLoaded());
    fintuttf::FontTtf missing("missing-font.ttf", "Missing", 20.0f, 1.0f, 0.0f);
    EXPECT_FALSE(missing.isLoaded());
    EXPECT_EQ(log.count("ERROR: Could not find: missing-font.ttf"), 1);
    hstring garbage;
    while (garbage.size() < 4096)
    {
        garbage += "This is no font at all. ";
    }
    fintuttf::FontTtf broken((const unsigned char*)garbage.data(), garbage.size(), "Broken", 20.0f, 1.0f,
                             0.0f, 0.0f);
    EXPECT_FALSE(broken.isLoaded());
    EXPECT_EQ(log.count("ERROR: Format not supported in: "), 1);
    EXPECT_FALSE(broken.hasChar('a'));

    fintuttf::removeFace(&missing);
    EXPECT_EQ(log.count("WARNING: No Face registered for Font: Missing"), 1);
    fintuttf::destroy();
    EXPECT_EQ(log.count("Destroying FintuTTF"), 1);
    EXPECT_EQ(fintuttf::getFace(&bold), nullptr); // closed with the library
}
