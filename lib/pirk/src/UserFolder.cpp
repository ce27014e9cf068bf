#include <pwd.h>
#include <unistd.h>

#include <quortypes/Dir.h>
#include <quortypes/Log.h>
#include <quortypes/util.h>

#include <pirk/util.h>

namespace pirk
{
    namespace
    {
        hstring homeFolder()
        {
            hstring home = quortypes::getEnvironmentVariable("HOME");
            if (home.startsWith("/"))
            {
                return home;
            }
            struct passwd* entry = ::getpwuid(::getuid());
            return entry != nullptr && entry->pw_dir != nullptr ? hstring(entry->pw_dir) : hstring("/tmp");
        }

        hstring variable(const hdict<std::u16string>& environment, const char* name)
        {
            std::u16string value = environment.tryGet(name, std::u16string());
            return hstring::fromUnicode(value.c_str());
        }

        hstring lastSegment(const hstring& path)
        {
            size_t separator = path.find_last_of("/\\");
            return separator == std::string::npos ? path : hstring(path.std::string::substr(separator + 1));
        }

        // One byte per 16-bit unit; the units beyond ASCII land on "@" to "Y".
        hstring foldUnits(const std::u16string& units)
        {
            hstring result;
            for (char16_t unit : units)
            {
                result += unit > 128 ? (char)(64 + unit % 26) : (char)unit;
            }
            return result;
        }
    } // namespace

    hstring joinFolderParts(const hstring& a, const hstring& b)
    {
        bool left = a.endsWith("/");
        bool right = b.startsWith("/");
        if (left && right)
        {
            return a + b.subString(1);
        }
        if (!left && !right)
        {
            return a + "/" + b;
        }
        return a + b;
    }

    hstring makeUserFolderPath(const hstring& company, const hstring& title, int)
    {
        hstring base = quortypes::getEnvironmentVariable("XDG_DATA_HOME");
        if (!base.startsWith("/"))
        {
            base = joinFolderParts(homeFolder(), ".local/share");
        }
        return joinFolderParts(joinFolderParts(base, company), title);
    }

    hstring getUserFolder(const hstring& company, const hstring& title, int mode)
    {
        hstring path = makeUserFolderPath(company, title, mode);
        quortypes::Dir::create(path);
        if (!quortypes::Dir::exists(path))
        {
            quortypes::Log::error(logTag, "Unable to create the user folder '" + path + "'");
        }
        return path.endsWith("/") ? path : path + "/";
    }

    hstring makeWindowsUserFolderPath(const hdict<std::u16string>& environment, const hstring& company,
                                      const hstring& title, int mode)
    {
        hstring base = variable(environment, "ALLUSERSPROFILE").replaced("\\", "/");
        if (variable(environment, "LOCALAPPDATA") == "")
        {
            base = joinFolderParts(base, lastSegment(variable(environment, "APPDATA")));
        }
        hstring user = mode == 5 ? foldUnits(environment.tryGet("USERNAME", std::u16string()))
                                 : variable(environment, "USERNAME");
        return joinFolderParts(joinFolderParts(joinFolderParts(base, company), title), user);
    }
} // namespace pirk
