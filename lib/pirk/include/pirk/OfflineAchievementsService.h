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
        // Writes the store unless it could not be read; a failure is logged, never thrown.
        ~OfflineAchievementsService() override;

        using AchievementsService::authenticate;

        hstring getName() override { return "OfflineAchievementsService"; }
        int getCompletedCount() override;
        void authenticate(const hdict<hstring>& parameters) override;
        bool isAuthenticated() override { return true; }
        // Stores the name and loads the records from that file; throws, naming the file and the reason,
        // when the file is there but cannot be read.
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
        // False until the store file was read whole or found missing: a store that could not be read is
        // never overwritten or removed.
        bool storeRead = false;
        // The store was read only in part; it is kept aside before the next write.
        bool storeDamaged = false;

        Achievement* findOrCreate(const hstring& name);
        void clearRecords();
        // Throws naming the file when it cannot be written or was never read; the old file then stays. A
        // damaged store is first renamed to "<file>.damaged", replacing an older one.
        void writeStore();
    };
} // namespace pirk
