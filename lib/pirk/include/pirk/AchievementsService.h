#pragma once

#include <memory>

#include <quortypes/harray.h>
#include <quortypes/hdict.h>
#include <quortypes/hstring.h>

#include <pirk/Achievement.h>

namespace pirk
{
    // What the host hears from a service; error 0 means success. The handler of a submission is handed the
    // achievement.
    class AchievementsServiceDelegate
    {
    public:
        virtual ~AchievementsServiceDelegate() = default;
        virtual void onAuthenticated(int, const hstring&) {}
        virtual void onAchievementsLoaded(int, const hstring&) {}
        virtual void onAchievementSubmitted(int, const hstring&, std::unique_ptr<Achievement>) {}
        virtual void onAchievementsReset(int, const hstring&) {}
    };

    // A place that keeps the player's achievements. This base keeps nothing: it reports success for
    // everything and warns where nothing really happened.
    class AchievementsService
    {
    public:
        AchievementsService() = default;
        virtual ~AchievementsService() = default;
        AchievementsService(const AchievementsService&) = delete;
        AchievementsService& operator=(const AchievementsService&) = delete;

        virtual hstring getName() = 0;
        virtual int getCompletedCount();
        virtual void authenticate(const hdict<hstring>& parameters);
        virtual bool isAuthenticated();
        virtual void setFilename(const hstring& filename);
        virtual void loadAchievements();
        virtual bool isLoaded();
        virtual std::unique_ptr<Achievement> createAchievement(const hstring& name, float progress);
        virtual void submitAchievement(std::unique_ptr<Achievement> achievement);
        virtual void resetAchievements();
        // Fills in the kept progress of the caller's achievement; false when nothing is kept.
        virtual bool updateAchievement(Achievement* achievement);

        void authenticate();
        // Appends the names, keeping the first of any repeated one.
        void registerAchievementNames(const harray<hstring>& names);

        AchievementsServiceDelegate* getDelegate() const { return this->delegate; }
        // The service does not own the delegate.
        void setDelegate(AchievementsServiceDelegate* value) { this->delegate = value; }
        const hstring& getFilename() const { return this->filename; }
        const harray<hstring>& getAchievementNames() const { return this->names; }

    protected:
        AchievementsServiceDelegate* delegate = nullptr;
        hstring filename;
        harray<hstring> names;
    };
} // namespace pirk
