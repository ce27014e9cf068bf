#include "Profile.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include <quortypes/Log.h>
#include <pirk/pirk.h>

#include "Dialogs.h"
#include "ProfileLock.h"
#include "lua/LuaInterface.h"
#include "ScriptTexts.h"
#include "GameUiHost.h"

namespace vumo
{
    namespace
    {
        // Never destroyed itself: the exit of a fatal error saves nothing behind the session's back.
        std::unique_ptr<Profile>& activeProfile()
        {
            static auto* owner = new std::unique_ptr<Profile>();
            return *owner;
        }

        // The innermost profile work under way; null when none. An end forced from another thread reads it.
        std::atomic<const char*> workUnderWay{nullptr};

        // Made during the program's start, on its main thread.
        const std::thread::id mainThread = std::this_thread::get_id();
    } // namespace

    Profile::Work::Work(const char* what) : mark(workUnderWay, what) {}

    void Profile::refuseDuringWork(const hstring& operation)
    {
        const char* work = workUnderWay.load();
        if (work != nullptr)
        {
            throw quortypes::exception(operation + "() cannot run while the engine is " + work +
                                           "; call it after that, from a delayed call for example",
                                       __FILE__, __LINE__);
        }
    }

    bool Profile::isWorkUnderWay()
    {
        return workUnderWay.load() != nullptr;
    }

    namespace Session
    {
        Profile* getProfile()
        {
            return activeProfile().get();
        }

        void setProfile(std::unique_ptr<Profile> profile)
        {
            // The old profile leaves the session before its last save runs (in its destructor), so that no
            // script the save calls reaches a profile on its way out.
            const Profile::Work work("replacing the active profile");
            std::unique_ptr<Profile> old;
            {
                const ProfileLock lock;
                old = std::move(activeProfile());
            }
            setAutosaveTarget(nullptr);
            old.reset();
            {
                const ProfileLock lock;
                activeProfile() = std::move(profile);
            }
            setAutosaveTarget(activeProfile().get());
        }

        void saveProfileWithoutScripts()
        {
            // From another thread (an end forced while the main thread is held elsewhere) the save waits for
            // what the main thread changes under the lock to be whole, a while at most. A profile work under
            // way there changes nothing outside the lock, and may be the script that holds the thread.
            const bool mainThreadHere = (std::this_thread::get_id() == mainThread);
            if (!ProfileLock::tryLockFor(std::chrono::seconds(5)))
            {
                quortypes::Log::error(Session::logTag, "The profile could not be saved: its state was being "
                                                       "changed, and the change did not end.");
                return;
            }
            static std::atomic<bool> saving{false};
            Profile* profile = getProfile();
            if (profile != nullptr && !(mainThreadHere && Profile::isWorkUnderWay()) &&
                !saving.exchange(true))
            {
                profile->saveAtEnd(false);
                saving.store(false);
            }
            ProfileLock::unlock();
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
        if (this->changed)
        {
            Profile::saveAtEnd(true);
        }
    }

    void Profile::sync()
    {
        const ProfileLock lock;
        if (this->snapshot.getVariables().size() == 0)
        {
            this->snapshot = VariableDictionary::getGlobal();
            this->snapshot.setLocked(false);
            this->changed = false;
            this->syncTime = ticks();
            return;
        }
        if (this->snapshot.takeValuesOf(VariableDictionary::getGlobal()))
        {
            this->changed = true;
        }
        this->syncTime = ticks();
    }

    void Profile::syncVar(const hstring& name)
    {
        const ProfileLock lock;
        if (this->snapshot.getVariables().size() == 0)
        {
            return;
        }
        if (!this->snapshot.exists(name))
        {
            throw quortypes::exception(
                formatString("Profile::syncVar() failed, var %s not found.", name.c_str()), "src\\Profile",
                414);
        }
        Variable& kept = this->snapshot.get(name);
        const hstring value = VariableDictionary::getGlobal()[name].value();
        if (kept.value() != value)
        {
            kept.setValueDirectly(value);
            this->changed = true;
        }
    }

    void Profile::revert()
    {
        // Each value set back tells the variable's listeners, and through them scripts.
        const Work work("reverting the variables to the profile");
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
        const hstring name = this->snapshot.exists("profile_name")
                                 ? decodeName(this->snapshot.get("profile_name").value())
                                 : "";
        return name == "" ? hstring("<no-name>") : name;
    }

    hstring Profile::getFolderName()
    {
        const int slash = this->folder.rfind('/');
        return slash < 0 ? this->folder : this->folder.subString(slash + 1);
    }

    void Profile::syncIfAllowed()
    {
        if (Session::isSceneLocked() || Session::isTransitionRunning() || Session::isPaused() ||
            DialogManager::isActive())
        {
            return;
        }
        // The hook runs inside a save or a change of this very profile, and so does its lookup, which reads
        // `ui` and the globals as a script does: a metamethod there is script code too.
        const Work work("asking ui.canSaveGame");
        if (LuaInterface::isHook("ui.canSaveGame"))
        {
            harray<hstring> results;
            bool ran = false;
            if (GameUiHost* ui = findGameUiHost())
            {
                ran = ui->executeWithReturnValues(HookTexts::canSaveGame(), results);
            }
            else
            {
                try
                {
                    LuaInterface::executeWithReturnValues(HookTexts::canSaveGame(), "", results);
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
        static const char digits[] = "0123456789abcdef";
        const std::string& bytes = name;
        std::string result(bytes.size() * 2, '0');
        for (size_t i = 0; i < bytes.size(); ++i)
        {
            const unsigned char byte = (unsigned char)bytes[i];
            result[2 * i] = digits[byte >> 4];
            result[2 * i + 1] = digits[byte & 15];
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

    void DummyProfile::saveAtEnd(bool) {}

    bool DummyProfile::saveToFile()
    {
        this->syncIfAllowed();
        quortypes::Log::write(Session::logTag, "DummyProfile::saveToFile() called.");
        return true;
    }

    void DummyProfile::load()
    {
        const hstring store = Session::getUserFolder() + "dummy_profile_achievements.bin";
        PreparedAchievements achievements;
        try
        {
            achievements = prepareAchievementsService(true, store);
        }
        catch (const quortypes::exception& e)
        {
            // The dummy stands in when all else failed; it keeps its achievements in memory only.
            quortypes::Log::error(Session::logTag, e.getMessage());
            achievements = prepareAchievementsService(true, "");
        }
        const ProfileLock lock;
        installAchievementsService(achievements);
    }

    hstring DummyProfile::getName()
    {
        return "DummyProfile";
    }

    hstring DummyProfile::getFolderName()
    {
        return "DummyProfile";
    }
} // namespace vumo
