#include <algorithm>
#include <filesystem>

#include <fontconfig/fontconfig.h>

#include <quortypes/util.h>

#include "SystemFontFiles.h"

namespace fintuttf::platform
{
    namespace
    {
        void walk(const hstring& folder, harray<hstring>& files)
        {
            std::error_code error;
            std::filesystem::recursive_directory_iterator it(
                folder.c_str(), std::filesystem::directory_options::skip_permission_denied, error);
            for (; !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error))
            {
                if (it->is_regular_file(error))
                {
                    files.push_back(hstring(it->path().string()));
                }
            }
        }

        harray<hstring> askFontconfig()
        {
            harray<hstring> files;
            FcConfig* config = FcInitLoadConfigAndFonts();
            if (config == nullptr)
            {
                return files;
            }
            FcPattern* pattern = FcPatternCreate();
            FcObjectSet* objects = FcObjectSetBuild(FC_FILE, (char*)nullptr);
            FcFontSet* set = FcFontList(config, pattern, objects);
            if (set != nullptr)
            {
                for (int i = 0; i < set->nfont; ++i)
                {
                    FcChar8* file = nullptr;
                    if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) == FcResultMatch &&
                        file != nullptr)
                    {
                        files.push_back(hstring((const char*)file));
                    }
                }
                FcFontSetDestroy(set);
            }
            FcObjectSetDestroy(objects);
            FcPatternDestroy(pattern);
            FcConfigDestroy(config);
            return files;
        }
    } // namespace

    hstring matchSystemFontFamily(const hstring& family)
    {
        FcConfig* config = FcInitLoadConfigAndFonts();
        if (config == nullptr || family == "")
        {
            FcConfigDestroy(config);
            return "";
        }
        hstring result;
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, (const FcChar8*)family.c_str());
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult outcome = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &outcome);
        if (match != nullptr)
        {
            // the service always answers with some face; only one of the family asked for counts
            bool sameFamily = false;
            FcChar8* name = nullptr;
            for (int i = 0; !sameFamily && FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch;
                 ++i)
            {
                sameFamily = FcStrCmpIgnoreCase(name, (const FcChar8*)family.c_str()) == 0;
            }
            FcChar8* file = nullptr;
            if (sameFamily && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
                file != nullptr)
            {
                result = (const char*)file;
            }
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
        FcConfigDestroy(config);
        return result;
    }

    hstring getSystemFontsFolder()
    {
        return "/usr/share/fonts/";
    }

    harray<hstring> listSystemFontFiles(const hstring& folder)
    {
        harray<hstring> files = askFontconfig();
        if (files.size() == 0)
        {
            walk(folder, files);
            walk("/usr/local/share/fonts", files);
            hstring home = quortypes::getEnvironmentVariable("HOME");
            if (home != "")
            {
                walk(home + "/.local/share/fonts", files);
                walk(home + "/.fonts", files);
            }
        }
        // one order on every machine, so a later file of a repeated name wins the same way each time
        std::sort(files.begin(), files.end());
        files.erase(std::unique(files.begin(), files.end()), files.end());
        return files;
    }
} // namespace fintuttf::platform
