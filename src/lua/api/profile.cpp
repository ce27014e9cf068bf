#include <lua.hpp>
#include <quortypes/Log.h>
#include <pirk/pirk.h>

#include "Config.h"
#include "Profile.h"
#include "Variables.h"
#include "lua/Calls.h"
#include "lua/LuaInterface.h"
#include "lua/api/registrars.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            Profile* active(lua_State* L)
            {
                Profile* profile = Session::getProfile();
                if (profile == nullptr)
                {
                    raiseLuaError(L, "There is no active profile.");
                }
                return profile;
            }

            // The variables a profile holds are declared until ui.setup() ends: a library script that loads
            // or resets one before would declare the engine's own variables ahead of it.
            void refuseBeforeSetup(lua_State* L, const char* what)
            {
                if (!VariableDictionary::getGlobal().isLocked())
                {
                    raiseLuaError(L, hstring("Unable to ") + what + " before ui.setup() finishes.");
                }
            }

            int profile_create(lua_State* L)
            {
                return push(L, Profile::create(toString(L, 1)));
            }

            int profile_change(lua_State* L)
            {
                checkArgsExact(L, 1, "profile.change", "s");
                refuseBeforeSetup(L, "change profile");
                Profile::changeProfile(toString(L, 1));
                return 0;
            }

            int profile_load(lua_State* L)
            {
                refuseBeforeSetup(L, "load profile");
                try
                {
                    Profile::changeProfile(Session::getConfigValue("profile"));
                }
                catch (const quortypes::exception& e)
                {
                    logScripting(e.getMessage());
                    return push(L, false);
                }
                return push(L, true);
            }

            int profile_remove(lua_State* L)
            {
                Profile::remove(toString(L, 1));
                return 0;
            }

            int profile_list(lua_State* L)
            {
                lua_newtable(L);
                for (auto& entry : Profile::list())
                {
                    push(L, entry.second);
                    lua_setfield(L, -2, entry.first.c_str());
                }
                return 1;
            }

            int profile_save(lua_State* L)
            {
                // A save asks ui.canSaveGame, which would save again.
                Profile::refuseDuringWork("profile.save");
                Profile* profile = active(L);
                const bool saved = profile->saveToFile();
                if (dynamic_cast<DummyProfile*>(profile) != nullptr)
                {
                    logScripting("Profile '" + quortypes::Log::quote(profile->getName()) +
                                 "' wasn't saved, no profile is active.");
                }
                else if (saved)
                {
                    logScripting("Profile '" + quortypes::Log::quote(profile->getName()) +
                                 "' saved successfully.");
                }
                else
                {
                    logScripting(formatString(
                        "Profile '%s' wasn't saved, no change since last save detected. Profile "
                        "last synced %.1f seconds ago.",
                        quortypes::Log::quote(profile->getName()).c_str(), profile->getTimeSinceSync()));
                }
                return 0;
            }

            int profile_sync(lua_State* L)
            {
                if (lua_gettop(L) > 0)
                {
                    active(L)->syncVar(toString(L, 1));
                }
                else
                {
                    active(L)->sync();
                }
                return 0;
            }

            int profile_loadDiff(lua_State* L)
            {
                checkArgsExact(L, 1, "profile.loadDiff", "s");
                refuseBeforeSetup(L, "load a variables diff");
                Profile::loadDiff(toString(L, 1));
                return 0;
            }

            int profile_reset(lua_State* L)
            {
                refuseBeforeSetup(L, "reset profile");
                Profile::reset();
                return 0;
            }

            int profile_getName(lua_State* L)
            {
                return push(L, active(L)->getName());
            }

            int profile_getNumUnlockedAchievements(lua_State* L)
            {
                return push(L, active(L)->getNumUnlockedAchievements());
            }

            int profile_unlockAchievement(lua_State* L)
            {
                checkArgsExact(L, 1, "profile.unlockAchievement", "s");
                return push(L, Profile::unlockAchievement(toString(L, 1)));
            }

            int profile_clearAchievements(lua_State*)
            {
                Profile::clearAchievements();
                return 0;
            }

            int profile_isAchievementUnlocked(lua_State* L)
            {
                return push(L, Profile::isAchievementUnlocked(toString(L, 1)));
            }

            int profile_authenticateToAchievementService(lua_State*)
            {
                Profile::authenticateToAchievementService();
                return 0;
            }

            int profile_isLoggedInToAchievementService(lua_State* L)
            {
                return push(L, Profile::isLoggedInToAchievementService());
            }

            int profile_showNativeAchievementsUI(lua_State* L)
            {
                return push(L, false);
            }

            int profile_getAchievementServiceName(lua_State* L)
            {
                return push(L, pirk::getAchievementsService()->getName());
            }
        } // namespace

        void registerProfile()
        {
            registerFunction(profile_create, "profile.create");
            registerFunction(profile_change, "profile.change");
            registerFunction(profile_load, "profile.load");
            registerFunction(profile_remove, "profile.remove");
            registerFunction(profile_list, "profile.list");
            registerFunction(profile_save, "profile.save");
            registerFunction(profile_sync, "profile.sync");
            registerFunction(profile_loadDiff, "profile.loadDiff");
            registerFunction(profile_reset, "profile.reset");
            registerFunction(profile_getName, "profile.getName");
            registerFunction(profile_getNumUnlockedAchievements, "profile.getNumUnlockedAchievements");
            registerFunction(profile_unlockAchievement, "profile.unlockAchievement");
            registerFunction(profile_clearAchievements, "profile.clearAchievements");
            registerFunction(profile_isAchievementUnlocked, "profile.isAchievementUnlocked");
            registerFunction(profile_authenticateToAchievementService,
                             "profile.authenticateToAchievementService");
            registerFunction(profile_isLoggedInToAchievementService,
                             "profile.isLoggedInToAchievementService");
            registerFunction(profile_showNativeAchievementsUI, "profile.showNativeAchievementsUI");
            registerFunction(profile_getAchievementServiceName, "profile.getAchievementServiceName");
        }
    } // namespace LuaInterface
} // namespace vumo
