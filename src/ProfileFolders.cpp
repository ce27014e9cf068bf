#include <cctype>
#include <cstdint>

#include <quortypes/Dir.h>
#include <quortypes/File.h>
#include <quortypes/Log.h>
#include <pirk/pirk.h>

#include <quortypes/FileBytes.h>
#include "Profile.h"
#include "ProfileLock.h"

namespace vumo
{
    namespace
    {
        bool isAllDigits(const hstring& text)
        {
            for (char c : text)
            {
                if (!isdigit((unsigned char)c))
                {
                    return false;
                }
            }
            return true;
        }

        // An empty or all-digit name could be read as a number, so it gets a prefix.
        hstring finalFolderName(const hstring& name)
        {
            return name == "" || isAllDigits(name) ? "XYZ" + name : name;
        }

        bool folderExists(const hstring& name)
        {
            return quortypes::Dir::exists(Session::getUserFolder() + name);
        }
    } // namespace

    void Profile::checkFolderName(const hstring& folder)
    {
        bool valid = folder.size() > 0;
        for (char c : folder)
        {
            valid = valid && (isalnum((unsigned char)c) || c == '_' || c == '-');
        }
        if (!valid)
        {
            throw quortypes::exception("Invalid profile folder name '" + folder + "'", __FILE__, __LINE__);
        }
    }

    hstring Profile::create(const hstring& displayName)
    {
        hstring name;
        uint32_t hash = 0;
        for (int i = 0; i < displayName.size(); ++i)
        {
            const unsigned char byte = (unsigned char)displayName[i];
            if (byte < 0x80 && name.size() < 10 && isalnum(byte))
            {
                name += (char)byte;
            }
            const int32_t c = (signed char)byte;
            hash += ((uint32_t)i * (uint32_t)i + 1) * ((uint32_t)i + 1) * (uint32_t)(c * c);
        }
        // The prefixed name is the one that lands on disk, so it is the one tested for a clash.
        if (name.size() < displayName.size() || folderExists(name) || folderExists(finalFolderName(name)))
        {
            bool found = false;
            hstring candidate;
            for (int tries = 0; tries < 100 && !found; ++tries, ++hash)
            {
                candidate = name + formatString("%06X", hash).subString(0, 6);
                found = !folderExists(finalFolderName(candidate));
            }
            if (!found)
            {
                throw quortypes::exception("Unable to create profile '" + displayName +
                                               "', no free folder name",
                                           __FILE__, __LINE__);
            }
            name = candidate;
        }
        name = finalFolderName(name);
        const hstring path = Session::getUserFolder() + name;
        // Every save of the profile holds its name, encoded at two bytes a byte: a name its first file could
        // not hold is refused before anything is made.
        VariableDictionary variables = VariableDictionary::getGlobal();
        variables.setLocked(false);
        variables.resetAll(true);
        variables["profile_dir"].setValue(name, true);
        const size_t bytes = variables.writeDiff().std::string::size() + 2 * displayName.std::string::size() +
                             sizeof("profile_name: \n") - 1;
        if (bytes > quortypes::maxPlayerFileBytes)
        {
            throw quortypes::exception(
                formatString("Unable to create profile '%s': its name of %d bytes would take its 'vars.diff' "
                             "to %zu bytes, past the %zu bytes a saved game may hold",
                             quortypes::Log::quote(displayName).c_str(), displayName.size(), bytes,
                             quortypes::maxPlayerFileBytes),
                __FILE__, __LINE__);
        }
        variables["profile_name"].setValue(encodeName(displayName), true);
        if (!quortypes::Dir::create(path))
        {
            throw quortypes::exception("Unable to create profile folder '" + path + "'", __FILE__, __LINE__);
        }
        try
        {
            variables.saveDiff(path + "/vars.diff");
        }
        catch (...)
        {
            // The folder is this call's own and holds nothing whole: a half-made profile must not stay.
            quortypes::Dir::remove(path);
            throw;
        }
        return name;
    }

    bool Profile::changeProfile(const hstring& folder)
    {
        refuseDuringWork("profile.change");
        checkFolderName(folder);
        const Work work("changing the profile");
        Profile* old = Session::getProfile();
        if (old != nullptr)
        {
            old->saveToFile();
        }
        auto profile = std::make_unique<Profile>(folder);
        Loaded loaded = profile->read();
        Profile* next = profile.get();
        // The old profile goes while the live variables are still its own: its last save cannot take in
        // the new one's.
        Session::setProfile(std::move(profile));
        next->takeOver(loaded);
        return true;
    }

    void Profile::remove(const hstring& folder)
    {
        refuseDuringWork("profile.remove");
        if (folder.trimmed() == "")
        {
            throw quortypes::exception("Unabel to remove profile, profile name is empty!", "src\\Profile",
                                       608);
        }
        checkFolderName(folder);
        if (!folderExists(folder))
        {
            return;
        }
        const Work work("removing a profile");
        const hstring path = Session::getUserFolder() + folder;
        // The active profile is known by its own folder; "profile_dir" is a variable scripts can set.
        Profile* active = Session::getProfile();
        if (active != nullptr && active->getFolder() == folder)
        {
            Session::setProfile(nullptr);
            // The service writes its store when it goes: before the folder, so that nothing comes back.
            {
                const ProfileLock lock;
                pirk::destroy();
            }
            Session::setProfile(std::make_unique<DummyProfile>());
            Session::getProfile()->load();
        }
        if (!quortypes::Dir::remove(path))
        {
            throw quortypes::exception("Unable to remove profile folder '" + path + "'", __FILE__, __LINE__);
        }
    }

    hdict<hstring> Profile::list()
    {
        hdict<hstring> result;
        for (const hstring& folder : quortypes::Dir::directories(Session::getUserFolder()))
        {
            try
            {
                const hstring name = readNameOfFolder(folder);
                if (name != "")
                {
                    result[folder] = name;
                }
            }
            catch (const quortypes::exception&)
            {
                // Not a name a profile could have.
            }
        }
        return result;
    }

    hstring Profile::readNameOfFolder(const hstring& folder)
    {
        checkFolderName(folder);
        if (!folderExists(folder))
        {
            return "<" + folder + ">";
        }
        try
        {
            const hstring path = Session::getUserFolder() + folder + "/vars.diff";
            VariableDictionary variables = VariableDictionary::getGlobal();
            variables.setLocked(false);
            bool loaded = false;
            for (const hstring& file : {path, path + ".backup"})
            {
                try
                {
                    loaded =
                        quortypes::File::exists(file) && variables.loadDiff(file, true, true, true, false);
                }
                catch (const quortypes::exception&)
                {
                    loaded = false;
                }
                // A whole file of another folder (a copy of it) is damage to this one: the backup may
                // still be its own.
                loaded = loaded && variables["profile_dir"].value() == folder;
                if (loaded)
                {
                    break;
                }
            }
            if (!loaded)
            {
                return "";
            }
            return decodeName(variables["profile_name"].value());
        }
        catch (const quortypes::exception&)
        {
            return "";
        }
    }

    void Profile::loadDiff(const hstring& path)
    {
        refuseDuringWork("profile.loadDiff");
        // The variables' listeners run scripts while the diff applies.
        const Work work("loading a variables diff");
        VariableDictionary& variables = VariableDictionary::getGlobal();
        const hstring name = variables["profile_name"].value();
        const hstring dir = variables["profile_dir"].value();
        const bool asResource = path.startsWith("data/");
        if (!variables.loadDiff(path, true, false, true, asResource))
        {
            const hstring bytes = readFileBytes(path, asResource);
            throw quortypes::exception("Unable to load variables diff '" + path + "', " +
                                           (bytes.startsWith("crc: ")
                                                ? "its CRC does not match its contents"
                                                : "it does not begin with a 'crc: ' line"),
                                       __FILE__, __LINE__);
        }
        variables["profile_name"].setValue(name, true);
        variables["profile_dir"].setValue(dir, true);
        if (Session::getProfile() != nullptr)
        {
            Session::getProfile()->sync();
        }
    }

    void Profile::reset()
    {
        refuseDuringWork("profile.reset");
        const Work work("resetting the profile");
        Profile* profile = Session::getProfile();
        quortypes::Log::write(Session::logTag,
                              "Resetting profile '" +
                                  (profile != nullptr ? profile->getFolderName() : hstring()) + "'");
        VariableDictionary& variables = VariableDictionary::getGlobal();
        const char* kept[] = {"profile_name", "profile_dir", "active_scene", "prev_scene"};
        hstring values[4];
        for (int i = 0; i < 4; ++i)
        {
            values[i] = variables[kept[i]].value();
        }
        variables.resetAll(true);
        for (int i = 0; i < 4; ++i)
        {
            variables[kept[i]].setValue(values[i], true);
        }
        if (profile != nullptr)
        {
            profile->sync();
        }
    }
} // namespace vumo
