#pragma once

#include <pirk/AchievementsService.h>

namespace pirk
{
    // Keeps the achievements of one profile in its own store file (see AchievementsStore.h), rewritten
    // after every submission and reset and once more when the service goes.
    class OfflineAchievementsService : public AchievementsService
    {
    public:
        OfflineAchievementsService() = default;
        // Writes the store; a failure is logged, never thrown.
        ~OfflineAchievementsService() override;

        using AchievementsService::authenticate;

        hstring getName() override { return "OfflineAchievementsService"; }
        int getCompletedCount() override;
        void authenticate(const hdict<hstring>& parameters) override;
        bool isAuthenticated() override { return true; }
        // Stores the name and loads the records from that file.
        void setFilename(const hstring& filename) override;
        void loadAchievements() override;
        bool isLoaded() override { return this->loaded; }
        void submitAchievement(Achievement* achievement) override;
        void resetAchievements() override;
        bool updateAchievement(Achievement* achievement) override;

        const hdict<Achievement*>& getRecords() const { return this->records; }

    protected:
        bool loaded = false;
        hdict<Achievement*> records;

        Achievement* findOrCreate(const hstring& name);
        void clearRecords();
        // Throws naming the file when it cannot be written; the old file then stays.
        void writeStore();
    };
} // namespace pirk
