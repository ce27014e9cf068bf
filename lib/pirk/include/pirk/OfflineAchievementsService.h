#pragma once

#include <memory>

#include <pirk/AchievementsService.h>

namespace pirk
{
    // Keeps the achievements of one profile in its own store file (see AchievementsStore.h), rewritten
    // after every submission and reset and once more when the service goes. Beside it, "<file>.crc" holds
    // the CRC-32 of the store as written, so that damage the lengths cannot show is found; a store
    // without one (written before there were any) is read on its lengths alone.
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
        // Both change the records in memory first. A store that cannot be written (a full disk) is
        // logged and left to writePendingStore or the destructor; only a store that could not be read
        // throws, and so does a name whose new record the store could not hold (see findOrCreate).
        void submitAchievement(std::unique_ptr<Achievement> achievement) override;
        void resetAchievements() override;
        // Makes a record of progress 0 for a name never seen, refused as submitAchievement refuses it.
        bool updateAchievement(Achievement* achievement) override;

        const hdict<std::unique_ptr<Achievement>>& getRecords() const { return this->records; }
        // True while the records hold changes whose write failed.
        bool hasUnsavedRecords() const { return this->unsaved; }
        // Writes the store when an earlier write failed; throws as that write did when it fails again.
        void writePendingStore();
        // The companion file holding the store's CRC-32.
        static hstring checksumFilename(const hstring& storeFilename);

    protected:
        bool loaded = false;
        hdict<std::unique_ptr<Achievement>> records;
        // False until the store file was read whole or found missing: a store that could not be read is
        // never overwritten or removed.
        bool storeRead = false;
        // The store was read only in part, or does not match its CRC; it is kept aside before the next
        // write.
        bool storeDamaged = false;
        // A write of changed records failed; they are written at the next chance.
        bool unsaved = false;
        // The CRC-32 of the whole store now on disk, when it is known to be whole.
        bool storedCrcKnown = false;
        unsigned int storedCrc = 0;

        // The store's size with the records held: its header, then each record.
        static const size_t storeHeaderBytes = 6;
        size_t storeBytes = storeHeaderBytes;

        // Throws naming the file and the bound when a new record would take the store past
        // quortypes::maxPlayerFileBytes, nothing changed then.
        Achievement* findOrCreate(const hstring& name);
        static size_t recordBytes(const hstring& name);
        void clearRecords();
        // Throws naming the file when it cannot be written or was never read; the old file then stays. A
        // damaged store is first renamed to "<file>.damaged", replacing an older one.
        void writeStore();
        // writeStore after a change to the records: a failure is logged and the records stay unsaved.
        void writeChangedStore();
    };
} // namespace pirk
