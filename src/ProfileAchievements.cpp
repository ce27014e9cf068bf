#include <memory>

#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <pirk/pirk.h>

#include "Config.h"
#include "FileBytes.h"
#include "Profile.h"
#include "ui/UI.h"

namespace
{
    // The engine's listener to the achievements service: it names the achievements from
    // "cfg/achievements.cfg" and reports the service's answers.
    class AchievementsDelegate : public pirk::AchievementsServiceDelegate
    {
    public:
        AchievementsDelegate()
        {
            const hstring path = "cfg/achievements.cfg";
            if (!quortypes::Resource::exists(path))
            {
                quortypes::Log::warn(Session::logTag,
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
            pirk::getAchievementsService()->registerAchievementNames(names);
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
                                    pirk::Achievement* achievement) override
        {
            if (error == 0)
            {
                const hstring name = achievement != nullptr ? achievement->getName() : hstring();
                quortypes::Log::write("achievements",
                                      formatString("Achievement '%s' successfully submited.", name.c_str()));
            }
            else
            {
                Session::logUI(message);
            }
            delete achievement;
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
    std::unique_ptr<AchievementsDelegate> delegate;
} // namespace

void Profile::instantiateAchievementsService(bool offlineOnly, const hstring& storeFile)
{
    if (!offlineOnly)
    {
        quortypes::Log::write(Session::logTag, "Instantiating achievement service");
    }
    const bool existed = pirk::hasAchievementsService();
    if (existed)
    {
        pirk::destroy();
    }
    pirk::AchievementsService* service = offlineOnly
                                             ? pirk::instantiateOfflineAchievementsService()
                                             : pirk::instantiateBestAchievementsService(hdict<hstring>());
    if (!offlineOnly)
    {
        quortypes::Log::write(Session::logTag, "Instantiated: " + service->getName());
    }
    service->setFilename(storeFile);
    delegate.reset(new AchievementsDelegate());
    service->setDelegate(delegate.get());
    if (existed && !offlineOnly && !service->isAuthenticated())
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
        quortypes::Log::write(Session::logTag,
                              "Skipped authenticating to " + service->getName() + ", already authenticated.");
        return;
    }
    quortypes::Log::write(Session::logTag, "Authenticating to " + service->getName());
    service->authenticate();
}

bool Profile::isLoggedInToAchievementService()
{
    return pirk::getAchievementsService()->isAuthenticated();
}

void Profile::clearAchievements()
{
    quortypes::Log::write(Session::logTag, "Clearing achievements");
    pirk::getAchievementsService()->resetAchievements();
}

hstring Profile::getFullAchievementName(const hstring& name)
{
    return name;
}

pirk::Achievement* Profile::makeAchievement(const hstring& fullName)
{
    return pirk::getAchievementsService()->createAchievement(
        Session::getConfigValue("achievement_prefix") + fullName, 0.0f);
}

bool Profile::isAchievementUnlocked(const hstring& name)
{
    std::unique_ptr<pirk::Achievement> record(makeAchievement(getFullAchievementName(name)));
    pirk::getAchievementsService()->updateAchievement(record.get());
    return record->isCompleted();
}

bool Profile::unlockAchievement(const hstring& name)
{
    const hstring fullName = getFullAchievementName(name);
    Session::logUI("Unlocking achievement: " + fullName);
    if (isAchievementUnlocked(fullName))
    {
        Session::logUI("achievement already unlocked, aborting.");
        return false;
    }
    pirk::AchievementsService* service = pirk::getAchievementsService();
    Session::logUI("Submitting achievement to achievement service: " + service->getName());
    pirk::Achievement* record = makeAchievement(fullName);
    record->setProgress(100.0f);
    service->submitAchievement(record);
    Session::logUI("Achievement unlocked: " + fullName);
    if (UI::getInstance() != nullptr)
    {
        UI::getInstance()->OnAchievementUnlocked(name);
    }
    return true;
}
