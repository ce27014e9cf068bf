#include <cctype>

#include "SystemLocale.h"

namespace tesra
{

    LocaleName parseLocale(const hstring& text)
    {
        LocaleName result;
        std::string name = text;
        const size_t end = name.find_first_of(".@");
        const std::string modifier =
            (name.find('@') != std::string::npos) ? name.substr(name.find('@') + 1) : "";
        name = name.substr(0, end);
        std::string language = name;
        std::string country;
        const size_t separator = name.find_first_of("_-");
        if (separator != std::string::npos)
        {
            language = name.substr(0, separator);
            country = name.substr(separator + 1);
        }
        if (language == "" || language == "C" || language == "POSIX")
        {
            result.locale = "en";
            return result;
        }
        for (char& c : language)
        {
            c = (char)tolower((unsigned char)c);
        }
        for (char& c : country)
        {
            c = (char)toupper((unsigned char)c);
        }
        result.locale = language;
        result.variant = country;
        std::string upperModifier;
        for (char c : modifier)
        {
            upperModifier += (char)toupper((unsigned char)c);
        }
        if (language == "pt" && country == "PT")
        {
            result.locale = "pt-PT";
        }
        else if (language == "zh" && (country == "HANT" || country == "TW" || upperModifier == "HANT"))
        {
            result.locale = "zh-Hant";
        }
        return result;
    }

} // namespace tesra
