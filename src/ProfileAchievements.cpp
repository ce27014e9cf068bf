#include <algorithm>
#include <memory>

#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <pirk/OfflineAchievementsService.h>
#include <pirk/pirk.h>

#include "Config.h"
#include <quortypes/FileBytes.h>
#include "Profile.h"
#include "ProfileLock.h"
#include "GameUiHost.h"

namespace vumo
{
    namespace
    {
        // The engine's listener to the achievements service: it names the achievements from
        // "cfg/achievements.cfg" and reports the service's answers.
        class AchievementsDelegate : public pirk::AchievementsServiceDelegate
        {
        public:
            explicit AchievementsDelegate(pirk::AchievementsService* service)
            {
                const hstring path = "cfg/achievements.cfg";
                if (!quortypes::Resource::exists(path))
                {
                    quortypes::Log::warn(
                        Session::logTag,
                        formatString("Could not find achievements file '%s'!", path.c_str()));
                    return;
                }
                harray<hstring> names;
                for (const hstring& line : splitLines(readFileBytes(path, true)))
                {
                    if (line != "")
                    {
                        names.push_back(line);
                    }
                }
                if (names.size() == 0)
                {
                    quortypes::Log::warn(Session::logTag,
                                         formatString("No achievements defined in file '%s'!", path.c_str()));
                    return;
                }
                service->registerAchievementNames(names);
            }

            void onAuthenticated(int error, const hstring& message) override
            {
                if (error != 0)
                {
                    Session::logUI(message);
                    return;
                }
                Session::logUI("User authenticated to achievement service.");
                pirk::getAchievementsService()->loadAchievements();
            }

            void onAchievementsLoaded(int error, const hstring& message) override
            {
                Session::logUI(error == 0 ? hstring("Achievements loaded") : message);
            }

            void onAchievementSubmitted(int error, const hstring& message,
                                        std::unique_ptr<pirk::Achievement> achievement) override
            {
                if (error == 0)
                {
                    const hstring name = achievement != nullptr ? achievement->getName() : hstring();
                    quortypes::Log::write("achievements",
                                          formatString("Achievement '%s' successfully submited.",
                                                       quortypes::Log::quote(name).c_str()));
                }
                else
                {
                    Session::logUI(message);
                }
            }

            void onAchievementsReset(int error, const hstring& message) override
            {
                if (error != 0)
                {
                    Session::logUI(message);
                    return;
                }
                pirk::getAchievementsService()->loadAchievements();
            }
        };

        // The service does not own its delegate; the one of the latest load lives here.
        std::unique_ptr<pirk::AchievementsServiceDelegate> delegate;
    } // namespace

    Profile::PreparedAchievements Profile::prepareAchievementsService(bool offlineOnly,
                                                                      const hstring& storeFile)
    {
        if (!offlineOnly)
        {
            quortypes::Log::write(Session::logTag, "Instantiating achievement service");
        }
        // Only the offline service exists; it is made here rather than by the library so that the global one
        // stays until this one has read its store.
        PreparedAchievements prepared;
        prepared.offlineOnly = offlineOnly;
        prepared.service.reset(new pirk::OfflineAchievementsService());
        if (!offlineOnly)
        {
            quortypes::Log::write(Session::logTag, "Instantiated: " + prepared.service->getName());
        }
        prepared.service->setFilename(storeFile);
        prepared.delegate.reset(new AchievementsDelegate(prepared.service.get()));
        return prepared;
    }

    void Profile::installAchievementsService(PreparedAchievements& prepared)
    {
        const ProfileLock lock;
        const bool existed = pirk::hasAchievementsService();
        const hstring oldStore = existed ? pirk::getAchievementsService()->getFilename() : hstring();
        if (existed)
        {
            pirk::destroy();
        }
        pirk::AchievementsService* service = prepared.service.get();
        if (existed && oldStore != "" && oldStore == service->getFilename())
        {
            // The same store again: the old service has just written it, so it is read once more.
            try
            {
                service->loadAchievements();
            }
            catch (const quortypes::exception& e)
            {
                quortypes::Log::error(Session::logTag, e.getMessage());
            }
        }
        pirk::installAchievementsService(std::move(prepared.service));
        delegate = std::move(prepared.delegate);
        service->setDelegate(delegate.get());
        if (existed && !prepared.offlineOnly && !service->isAuthenticated())
        {
            service->authenticate();
        }
    }

    int Profile::getNumUnlockedAchievements()
    {
        return pirk::getAchievementsService()->getCompletedCount();
    }

    void Profile::authenticateToAchievementService()
    {
        pirk::AchievementsService* service = pirk::getAchievementsService();
        if (service->isAuthenticated())
        {
            quortypes::Log::write(Session::logTag, "Skipped authenticating to " + service->getName() +
                                                       ", already authenticated.");
            return;
        }
        quortypes::Log::write(Session::logTag, "Authenticating to " + service->getName());
        const ProfileLock lock;
        service->authenticate();
    }

    bool Profile::isLoggedInToAchievementService()
    {
        return pirk::getAchievementsService()->isAuthenticated();
    }

    void Profile::clearAchievements()
    {
        quortypes::Log::write(Session::logTag, "Clearing achievements");
        const ProfileLock lock;
        pirk::getAchievementsService()->resetAchievements();
    }

    hstring Profile::getFullAchievementName(const hstring& name)
    {
        return name;
    }

    std::unique_ptr<pirk::Achievement> Profile::makeAchievement(const hstring& fullName)
    {
        return pirk::getAchievementsService()->createAchievement(
            Session::getConfigValue("achievement_prefix") + fullName, 0.0f);
    }

    bool Profile::isAchievementUnlocked(const hstring& name)
    {
        const std::unique_ptr<pirk::Achievement> record = makeAchievement(getFullAchievementName(name));
        pirk::getAchievementsService()->updateAchievement(record.get());
        return record->isCompleted();
    }

    bool Profile::unlockAchievement(const hstring& name)
    {
        const hstring fullName = getFullAchievementName(name);
        Session::logUI("Unlocking achievement: " + quortypes::Log::quote(fullName));
        if (isAchievementUnlocked(fullName))
        {
            Session::logUI("achievement already unlocked, aborting.");
            return false;
        }
        pirk::AchievementsService* service = pirk::getAchievementsService();
        const harray<hstring>& known = service->getAchievementNames();
        if (known.size() > 0 && std::find(known.begin(), known.end(), name) == known.end())
        {
            // Unlocked all the same, as a game may add its list later; a misspelt name shows here.
            quortypes::Log::warn(Session::logTag, "Achievement '" + quortypes::Log::quote(name) +
                                                      "' is not named in cfg/achievements.cfg");
        }
        Session::logUI("Submitting achievement to achievement service: " + service->getName());
        std::unique_ptr<pirk::Achievement> record = makeAchievement(fullName);
        record->setProgress(100.0f);
        {
            const ProfileLock lock;
            service->submitAchievement(std::move(record));
        }
        Session::logUI("Achievement unlocked: " + quortypes::Log::quote(fullName));
        getGameUiHost().OnAchievementUnlocked(name);
        return true;
    }
} // namespace vumo
