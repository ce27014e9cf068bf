#include <quortypes/Log.h>

#include <pirk/AchievementsService.h>
#include <pirk/util.h>

namespace pirk
{
    int AchievementsService::getCompletedCount()
    {
        return 0;
    }

    void AchievementsService::authenticate(const hdict<hstring>&)
    {
        if (this->delegate != nullptr)
        {
            this->delegate->onAuthenticated(0, "No error");
        }
    }

    void AchievementsService::authenticate()
    {
        this->authenticate(hdict<hstring>());
    }

    bool AchievementsService::isAuthenticated()
    {
        return true;
    }

    void AchievementsService::setFilename(const hstring& filename)
    {
        this->filename = filename;
    }

    void AchievementsService::loadAchievements()
    {
        if (this->delegate != nullptr)
        {
            this->delegate->onAchievementsLoaded(0, "No error");
        }
    }

    bool AchievementsService::isLoaded()
    {
        return true;
    }

    std::unique_ptr<Achievement> AchievementsService::createAchievement(const hstring& name, float progress)
    {
        return std::make_unique<Achievement>(name, progress);
    }

    void AchievementsService::submitAchievement(std::unique_ptr<Achievement> achievement)
    {
        quortypes::Log::warn(logTag, "Achievement not submitted!");
        if (this->delegate != nullptr)
        {
            this->delegate->onAchievementSubmitted(0, "No error", std::move(achievement));
        }
    }

    void AchievementsService::resetAchievements()
    {
        quortypes::Log::warn(logTag, "Achievements not actually reset!");
        if (this->delegate != nullptr)
        {
            this->delegate->onAchievementsReset(0, "No error");
        }
    }

    bool AchievementsService::updateAchievement(Achievement*)
    {
        return false;
    }

    void AchievementsService::registerAchievementNames(const harray<hstring>& names)
    {
        this->names.insert(this->names.end(), names.begin(), names.end());
        this->names.removeDuplicates();
    }
} // namespace pirk
