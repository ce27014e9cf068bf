#include <map>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <quortypes/Log.h>
#include <quortypes/hdict.h>
#include <quortypes/exception.h>
#include <fintu/Font.h>
#include <fintuttf/fintuttf.h>

#include "platform/SystemFontFiles.h"

namespace fintuttf
{
    const hstring logTag = "fintuttf";

    namespace
    {
        FT_Library library = nullptr;
        std::map<fintu::Font*, FT_Face> faces;
        hdict<hstring> systemFonts;
        bool systemFontsFilled = false;

        void fillSystemFonts()
        {
            if (systemFontsFilled)
            {
                return;
            }
            // before init this throws, and the table must stay unfilled for a later call
            FT_Library freetype = getLibrary();
            systemFontsFilled = true;
            for (const hstring& path : platform::listSystemFontFiles(getSystemFontsPath()))
            {
                FT_Face face = nullptr;
                if (FT_New_Face(freetype, path.c_str(), 0, &face) != 0)
                {
                    continue;
                }
                hstring name = (face->family_name != nullptr ? face->family_name : "");
                hstring style = (face->style_name != nullptr ? face->style_name : "");
                if (style != "" && style != "Regular")
                {
                    name += " " + style;
                }
                systemFonts[name] = path;
                FT_Done_Face(face);
            }
        }
    } // namespace

    void init()
    {
        quortypes::Log::write(logTag, "Initializing FintuTTF");
        if (FT_Init_FreeType(&library) != 0)
        {
            library = nullptr;
            quortypes::Log::error(logTag, "Could not initialize FreeType library!");
        }
    }

    void destroy()
    {
        quortypes::Log::write(logTag, "Destroying FintuTTF");
        for (auto& entry : faces)
        {
            FT_Done_Face(entry.second);
        }
        faces.clear();
        if (library != nullptr && FT_Done_FreeType(library) != 0)
        {
            quortypes::Log::error(logTag, "Could not finalize FreeType library!");
            return;
        }
        library = nullptr;
    }

    FT_LibraryRec_* getLibrary()
    {
        if (library == nullptr)
        {
            throw quortypes::exception("FintuTTF not initialized!", "src/fintuttf", 155);
        }
        return library;
    }

    FT_FaceRec_* getFace(fintu::Font* font)
    {
        auto it = faces.find(font);
        return (it != faces.end() ? it->second : nullptr);
    }

    void addFace(fintu::Font* font, FT_FaceRec_* face)
    {
        if (faces.find(font) != faces.end())
        {
            quortypes::Log::error(logTag, "Cannot add Face for Font Resource: " + font->getName());
            return;
        }
        faces[font] = face;
    }

    void removeFace(fintu::Font* font)
    {
        auto it = faces.find(font);
        if (it == faces.end())
        {
            quortypes::Log::warn(logTag, "No Face registered for Font: " + font->getName());
            return;
        }
        FT_Done_Face(it->second);
        faces.erase(it);
    }

    hstring getSystemFontsPath()
    {
        return platform::getSystemFontsFolder();
    }

    harray<hstring> getSystemFonts()
    {
        fillSystemFonts();
        return systemFonts.keys();
    }

    hstring getSystemFontFilename(const hstring& name)
    {
        fillSystemFonts();
        const hstring result = systemFonts.tryGet(name, "");
        // a family name alone finds its regular face, which may call its style other than "Regular"
        return result != "" ? result : platform::matchSystemFontFamily(name);
    }

    int getTextureSize()
    {
        return 1024;
    }

    bool isAllowAlphaTextures()
    {
        return true;
    }
} // namespace fintuttf
