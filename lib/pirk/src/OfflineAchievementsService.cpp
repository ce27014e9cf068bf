#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include <quortypes/AtomicFile.h>
#include <quortypes/File.h>
#include <quortypes/FileBytes.h>
#include <quortypes/Log.h>
#include <quortypes/exception.h>

#include <pirk/AchievementsStore.h>
#include <pirk/OfflineAchievementsService.h>
#include <pirk/util.h>

namespace pirk
{
    namespace
    {
        // Truncated toward zero; values an int32 cannot hold are clamped rather than left undefined.
        int storedProgress(float progress)
        {
            if (std::isnan(progress))
            {
                return 0;
            }
            if (progress >= 2147483647.0f)
            {
                return 2147483647;
            }
            if (progress <= -2147483648.0f)
            {
                return -2147483647 - 1;
            }
            return (int)progress;
        }

        // The whole file; false when there is none, or when a named pipe, a device or a socket is in its
        // place (which sets notAFile), or when it is larger than any store (which sets tooLarge, the file
        // unread). A file that is there but cannot be read throws with the system's reason, so that it is
        // never taken for a missing one.
        bool readStoreBytes(const hstring& path, std::string& bytes, bool* notAFile = nullptr,
                            bool* tooLarge = nullptr)
        {
            bytes.clear();
            FILE* file = quortypes::openRegularFile(path, "rb");
            if (file == nullptr)
            {
                if (errno == ENOENT)
                {
                    return false;
                }
                if (notAFile != nullptr && quortypes::isNotRegularFileError(errno))
                {
                    *notAFile = true;
                    return false;
                }
                throw quortypes::exception("Unable to read achievements file '" + path +
                                               "': " + quortypes::describeFileError(errno),
                                           __FILE__, __LINE__);
            }
            // Its size from its end: a file that cannot seek is read as it comes, within the bound.
            long size = (std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1L);
            std::rewind(file);
            if (size > 0 && (uint64_t)size > quortypes::maxPlayerFileBytes)
            {
                std::fclose(file);
                if (tooLarge != nullptr)
                {
                    *tooLarge = true;
                }
                return false;
            }
            char buffer[4096];
            size_t got = 0;
            // Read on to the real end, should the file have grown, but never past the bound.
            while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0 &&
                   bytes.size() <= quortypes::maxPlayerFileBytes)
            {
                bytes.append(buffer, got);
            }
            const int error = std::ferror(file) ? errno : 0;
            std::fclose(file);
            if (error != 0)
            {
                throw quortypes::exception("Unable to read achievements file '" + path +
                                               "': " + quortypes::describeFileError(error),
                                           __FILE__, __LINE__);
            }
            return true;
        }
    } // namespace

    OfflineAchievementsService::~OfflineAchievementsService()
    {
        try
        {
            if (this->storeRead)
            {
                this->writeStore();
            }
        }
        catch (quortypes::exception& error)
        {
            quortypes::Log::error(logTag, error.getMessage());
        }
        this->clearRecords();
    }

    int OfflineAchievementsService::getCompletedCount()
    {
        int count = 0;
        for (auto& record : this->records)
        {
            count += record.second->isCompleted() ? 1 : 0;
        }
        return count;
    }

    void OfflineAchievementsService::authenticate(const hdict<hstring>&)
    {
        if (this->delegate != nullptr)
        {
            this->delegate->onAuthenticated(0, "");
        }
    }

    void OfflineAchievementsService::setFilename(const hstring& filename)
    {
        AchievementsService::setFilename(filename);
        this->loadAchievements();
    }

    void OfflineAchievementsService::loadAchievements()
    {
        if (this->unsaved)
        {
            // Reading the file back would lose the changes its failed write was to hold.
            try
            {
                this->writeStore();
            }
            catch (quortypes::exception& error)
            {
                quortypes::Log::error(logTag, error.getMessage());
                AchievementsService::loadAchievements();
                return;
            }
        }
        this->clearRecords();
        this->storeRead = false;
        this->storeDamaged = false;
        this->storedCrcKnown = false;
        std::string bytes, checksums;
        bool notAFile = false;
        bool tooLarge = false;
        // Throws for a store that cannot be read; it then stays unwritten until a later load reads it.
        if (this->filename != "" && readStoreBytes(this->filename, bytes, &notAFile, &tooLarge))
        {
            bool damaged = false;
            for (auto& record : decodeAchievementsStore(bytes, damaged))
            {
                std::unique_ptr<Achievement>& held = this->records[record.first];
                if (held == nullptr)
                {
                    this->storeBytes += recordBytes(record.first);
                }
                held = this->createAchievement(record.first, (float)record.second);
            }
            if (readStoreBytes(checksumFilename(this->filename), checksums) &&
                !storeMatchesChecksums(bytes, checksums))
            {
                damaged = true;
            }
            if (damaged)
            {
                quortypes::Log::warnf(logTag, "Achievements file '%s' is damaged, %d records kept",
                                      this->filename.c_str(), this->records.size());
            }
            this->storeDamaged = damaged;
            this->storedCrcKnown = !damaged;
            this->storedCrc = storeCrc(bytes);
        }
        else if (tooLarge)
        {
            // No store is that large: reading it would cost seconds and gigabytes for damage. It goes aside
            // unread at the next write, as a damaged store does.
            quortypes::Log::warnf(logTag, "Achievements file '%s' holds more than %zu bytes, no records kept",
                                  this->filename.c_str(), quortypes::maxPlayerFileBytes);
            this->storeDamaged = true;
        }
        else if (notAFile)
        {
            // It holds no records, and is no file to write over: the records start afresh and it goes aside
            // at the next write, as a damaged store does.
            quortypes::Log::warnf(logTag, "Achievements file '%s' is not a regular file, no records kept",
                                  this->filename.c_str());
            this->storeDamaged = true;
        }
        this->storeRead = true;
        this->loaded = true;
        AchievementsService::loadAchievements();
    }

    Achievement* OfflineAchievementsService::findOrCreate(const hstring& name)
    {
        auto found = this->records.find(name);
        if (found != this->records.end() && found->second != nullptr)
        {
            return found->second.get();
        }
        // A record the store could not hold would fail every later write of it, and every other
        // achievement of the profile with it: refused here, before anything changed.
        const size_t bytes = this->storeBytes + recordBytes(name);
        if (bytes > quortypes::maxPlayerFileBytes)
        {
            throw quortypes::exception(
                formatString(
                    "Unable to keep achievement '%s': its record would take '%s' to %zu bytes, past "
                    "the %zu bytes the file may hold",
                    quortypes::Log::quote(name).c_str(),
                    (this->filename != "" ? this->filename : hstring("the achievements store")).c_str(),
                    bytes, quortypes::maxPlayerFileBytes),
                __FILE__, __LINE__);
        }
        std::unique_ptr<Achievement>& record = this->records[name];
        record = this->createAchievement(name, 0.0f);
        this->storeBytes = bytes;
        return record.get();
    }

    size_t OfflineAchievementsService::recordBytes(const hstring& name)
    {
        // Its length, its bytes and its progress.
        return 4 + name.std::string::size() + 4;
    }

    void OfflineAchievementsService::submitAchievement(std::unique_ptr<Achievement> achievement)
    {
        this->findOrCreate(achievement->getName())->setProgress(achievement->getProgress());
        this->writeChangedStore();
    }

    void OfflineAchievementsService::resetAchievements()
    {
        for (auto& record : this->records)
        {
            record.second->setProgress(0.0f);
        }
        this->writeChangedStore();
    }

    void OfflineAchievementsService::writeChangedStore()
    {
        if (!this->storeRead)
        {
            // Throws: a store that could not be read is not this service's to replace.
            this->writeStore();
            return;
        }
        try
        {
            this->writeStore();
        }
        catch (quortypes::exception& error)
        {
            this->unsaved = true;
            quortypes::Log::error(logTag,
                                  error.getMessage() + ", the achievements are kept to be written later");
        }
    }

    void OfflineAchievementsService::writePendingStore()
    {
        if (this->unsaved)
        {
            this->writeStore();
        }
    }

    hstring OfflineAchievementsService::checksumFilename(const hstring& storeFilename)
    {
        return storeFilename + ".crc";
    }

    bool OfflineAchievementsService::updateAchievement(Achievement* achievement)
    {
        achievement->setProgress(this->findOrCreate(achievement->getName())->getProgress());
        return true;
    }

    void OfflineAchievementsService::clearRecords()
    {
        this->records.clear();
        this->storeBytes = storeHeaderBytes;
    }

    void OfflineAchievementsService::writeStore()
    {
        if (this->filename == "")
        {
            return;
        }
        if (!this->storeRead)
        {
            throw quortypes::exception("Unable to save achievements file '" + this->filename +
                                           "', it could not be read and is kept as it is",
                                       __FILE__, __LINE__);
        }
        if (this->storeDamaged)
        {
            // The damaged bytes may still hold what the records lost; they go aside, never away.
            const hstring aside = this->filename + ".damaged";
            if (std::rename(this->filename.c_str(), aside.c_str()) == 0)
            {
                quortypes::Log::warnf(logTag, "Achievements file '%s' was damaged, kept aside as '%s'",
                                      this->filename.c_str(), aside.c_str());
            }
            else if (errno != ENOENT)
            {
                throw quortypes::exception("Unable to keep damaged achievements file '" + this->filename +
                                               "' aside as '" + aside + "': " + std::strerror(errno),
                                           __FILE__, __LINE__);
            }
            this->storeDamaged = false;
            this->storedCrcKnown = false;
        }
        const hstring checksums = checksumFilename(this->filename);
        if (this->records.size() == 0)
        {
            // The store first: a check sum left without its store vouches for nothing.
            if (quortypes::File::exists(this->filename) && !quortypes::File::remove(this->filename))
            {
                throw quortypes::exception("Unable to remove achievements file '" + this->filename + "'",
                                           __FILE__, __LINE__);
            }
            this->storedCrcKnown = false;
            this->unsaved = false;
            if (quortypes::File::exists(checksums) && !quortypes::File::remove(checksums))
            {
                quortypes::Log::warnf(logTag, "Unable to remove '%s'", checksums.c_str());
            }
            return;
        }
        AchievementRecords stored;
        for (auto& record : this->records)
        {
            stored.emplace_back(record.first, storedProgress(record.second->getProgress()));
        }
        const std::string bytes = encodeAchievementsStore(stored);
        const unsigned int crc = storeCrc(bytes);
        quortypes::PendingFile store(this->filename, bytes, quortypes::maxPlayerFileBytes);
        // Until the new store has taken the old one's place the check sums vouch for both, so that a
        // crash between the two renames leaves a pair that agrees.
        std::vector<unsigned int> crcs = {crc};
        if (this->storedCrcKnown && this->storedCrc != crc)
        {
            crcs.push_back(this->storedCrc);
        }
        quortypes::saveFileAtomically(checksums, encodeStoreChecksums(crcs));
        store.commit();
        this->storedCrcKnown = true;
        this->storedCrc = crc;
        this->unsaved = false;
        if (crcs.size() > 1)
        {
            try
            {
                quortypes::saveFileAtomically(checksums, encodeStoreChecksums({crc}));
            }
            catch (quortypes::exception& error)
            {
                // The store is written and the check sums still hold its CRC.
                quortypes::Log::warn(logTag, error.getMessage());
            }
        }
    }
} // namespace pirk
