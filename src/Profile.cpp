#include "Profile.h"

#include <chrono>

#include <quortypes/File.h>
#include <quortypes/Log.h>
#include <quortypes/AtomicFile.h>

#include "FileBytes.h"
#include "lua/LuaInterface.h"
#include "ui/UI.h"

namespace
{
    Profile* activeProfile = nullptr;
} // namespace

namespace Session
{
    Profile* getProfile()
    {
        return activeProfile;
    }

    void setProfile(Profile* profile)
    {
        activeProfile = profile;
        setAutosaveTarget(profile);
    }
} // namespace Session

uint32_t Profile::ticks()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return (uint32_t)std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
}

Profile::Profile(const hstring& folder) : folder(folder), syncTime(ticks()) {}

Profile::~Profile()
{
    if (!this->changed)
    {
        return;
    }
    try
    {
        this->saveToFile();
    }
    catch (const quortypes::exception& e)
    {
        quortypes::Log::error(Session::logTag,
                              "Unable to save profile '" + this->folder + "': " + e.getMessage());
    }
    catch (const std::exception& e)
    {
        quortypes::Log::error(Session::logTag, "Unable to save profile '" + this->folder + "': " + e.what());
    }
}

bool Profile::saveToFile()
{
    this->syncIfAllowed();
    if (!this->changed)
    {
        return false;
    }
    quortypes::Log::write(Session::logTag, "Saving profile " + this->folder);
    const hstring text = this->snapshot.writeDiff();
    const hstring path = Session::getUserFolder() + this->folder + "/vars.diff";
    if (quortypes::File::exists(path))
    {
        quortypes::Log::write(Session::logTag, "Backing up profile");
        quortypes::saveFileAtomically(path + ".backup", readFileBytes(path, false));
    }
    quortypes::saveFileAtomically(path, text);
    quortypes::Log::write(Session::logTag, "Profile saved!");
    this->changed = false;
    return true;
}

void Profile::load()
{
    const hstring profileFolder = Session::getUserFolder() + this->folder;
    const hstring path = profileFolder + "/vars.diff";
    VariableDictionary& variables = VariableDictionary::getGlobal();
    bool loaded = false;
    try
    {
        loaded = quortypes::File::exists(path) && variables.loadDiff(path, true, false, true, false);
    }
    catch (const quortypes::exception& e)
    {
        quortypes::Log::error(Session::logTag, e.getMessage());
    }
    if (!loaded)
    {
        quortypes::Log::write(Session::logTag,
                              "WARNING: profile '" + path + "' is corrupt, attempting to load from backup");
        const hstring backup = profileFolder + "/vars.diff.backup";
        if (!quortypes::File::exists(backup))
        {
            throw quortypes::exception("ERROR: unable to load profile from backup file '" + this->folder +
                                           "', file not found!",
                                       "src\\Profile", 181);
        }
        if (!variables.loadDiff(backup, true, false, true, false))
        {
            throw quortypes::exception("ERROR: unable to load profile from backup file '" + this->folder +
                                           "', backup file is corrupt!",
                                       "src\\Profile", 186);
        }
    }
    this->sync();
    this->changed = false;
    this->instantiateAchievementsService(false, profileFolder + "/achievements.bin");
}

void Profile::sync()
{
    const hdict<Variable>& live = VariableDictionary::getGlobal().getVariables();
    if (this->snapshot.getVariables().size() == 0)
    {
        this->snapshot = VariableDictionary::getGlobal();
        this->snapshot.setLocked(false);
        this->changed = false;
        this->syncTime = ticks();
        return;
    }
    bool any = false;
    for (auto& entry : live)
    {
        Variable& kept = this->snapshot[entry.first];
        if (kept.value() != entry.second.value())
        {
            kept.setValue(entry.second.value(), true);
            any = true;
        }
    }
    if (any)
    {
        this->changed = true;
    }
    this->syncTime = ticks();
}

void Profile::syncVar(const hstring& name)
{
    if (this->snapshot.getVariables().size() == 0)
    {
        return;
    }
    if (!this->snapshot.exists(name))
    {
        throw quortypes::exception(formatString("Profile::syncVar() failed, var %s not found.", name.c_str()),
                                   "src\\Profile", 414);
    }
    Variable& kept = this->snapshot.get(name);
    const hstring value = VariableDictionary::getGlobal()[name].value();
    if (kept.value() != value)
    {
        kept.setValue(value, true);
        this->changed = true;
    }
}

void Profile::revert()
{
    quortypes::Log::write(Session::logTag, "Reverting system state variables to last profile sync.");
    VariableDictionary& live = VariableDictionary::getGlobal();
    for (auto& entry : this->snapshot.getVariables())
    {
        Variable& variable = live[entry.first];
        if (variable.value() != entry.second.value())
        {
            variable.setValue(entry.second.value(), true);
        }
    }
}

hstring Profile::getName()
{
    const hstring name =
        this->snapshot.exists("profile_name") ? decodeName(this->snapshot.get("profile_name").value()) : "";
    return name == "" ? hstring("<no-name>") : name;
}

hstring Profile::getFolderName()
{
    const int slash = this->folder.rfind('/');
    return slash < 0 ? this->folder : this->folder.subString(slash + 1);
}

void Profile::syncIfAllowed()
{
    // Dialogs join this list once they exist.
    if (Session::isSceneLocked() || Session::isTransitionRunning() || Session::isPaused())
    {
        return;
    }
    if (LuaInterface::isFunction("ui.canSaveGame"))
    {
        harray<hstring> results;
        bool ran = false;
        if (UI::getInstance() != nullptr)
        {
            ran = UI::getInstance()->executeWithReturnValues("return ui.canSaveGame()", results);
        }
        else
        {
            try
            {
                LuaInterface::executeWithReturnValues("return ui.canSaveGame()", "", results);
                ran = true;
            }
            catch (const quortypes::exception& e)
            {
                quortypes::Log::error(Session::logTag, e.getMessage());
            }
        }
        // Only the text "1" allows it: a Lua true reads "true".
        if (!ran || results.size() != 1 || results[0] != "1")
        {
            return;
        }
    }
    this->sync();
}

float Profile::getTimeSinceSync() const
{
    return (float)(uint32_t)(ticks() - this->syncTime) / 1000.0f;
}

hstring Profile::encodeName(const hstring& name)
{
    hstring result;
    for (unsigned char byte : std::string(name.c_str(), name.size()))
    {
        result += formatString("%02x", byte);
    }
    return result;
}

hstring Profile::decodeName(const hstring& encoded)
{
    auto digit = [](char c) { return c < ':' ? c - '0' : c - 'a' + 10; };
    std::string result;
    // An odd last character has no partner and is ignored.
    for (int i = 0; i + 1 < (int)encoded.size(); i += 2)
    {
        result += (char)(digit(encoded[i]) * 16 + digit(encoded[i + 1]));
    }
    return hstring(result.c_str(), (int)result.size());
}

DummyProfile::DummyProfile() : Profile("") {}

DummyProfile::~DummyProfile()
{
    this->changed = false;
}

bool DummyProfile::saveToFile()
{
    this->syncIfAllowed();
    quortypes::Log::write(Session::logTag, "DummyProfile::saveToFile() called.");
    return true;
}

void DummyProfile::load()
{
    this->instantiateAchievementsService(true, Session::getUserFolder() + "dummy_profile_achievements.bin");
}

hstring DummyProfile::getName()
{
    return "DummyProfile";
}

hstring DummyProfile::getFolderName()
{
    return "DummyProfile";
}
