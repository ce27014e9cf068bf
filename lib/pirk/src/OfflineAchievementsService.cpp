#include <cmath>
#include <memory>

#include <quortypes/AtomicFile.h>
#include <quortypes/File.h>
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

        std::string readStoreBytes(const hstring& path)
        {
            quortypes::File file(path);
            int size = file.getSize();
            std::string bytes(size > 0 ? (size_t)size : 0, '\0');
            int got = size > 0 ? file.readRaw(&bytes[0], size) : 0;
            bytes.resize(got > 0 ? (size_t)got : 0);
            return bytes;
        }
    } // namespace

    OfflineAchievementsService::~OfflineAchievementsService()
    {
        try
        {
            this->writeStore();
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
        this->clearRecords();
        if (this->filename != "" && quortypes::File::exists(this->filename))
        {
            bool damaged = false;
            for (auto& record : decodeAchievementsStore(readStoreBytes(this->filename), damaged))
            {
                delete this->records.tryGet(record.first, nullptr);
                this->records[record.first] = this->createAchievement(record.first, (float)record.second);
            }
            if (damaged)
            {
                quortypes::Log::warnf(logTag, "Achievements file '%s' is damaged, %d records kept",
                                      this->filename.c_str(), this->records.size());
            }
        }
        this->loaded = true;
        AchievementsService::loadAchievements();
    }

    Achievement* OfflineAchievementsService::findOrCreate(const hstring& name)
    {
        Achievement*& record = this->records[name];
        if (record == nullptr)
        {
            record = this->createAchievement(name, 0.0f);
        }
        return record;
    }

    void OfflineAchievementsService::submitAchievement(Achievement* achievement)
    {
        std::unique_ptr<Achievement> given(achievement);
        this->findOrCreate(given->getName())->setProgress(given->getProgress());
        this->writeStore();
    }

    void OfflineAchievementsService::resetAchievements()
    {
        for (auto& record : this->records)
        {
            record.second->setProgress(0.0f);
        }
        this->writeStore();
    }

    bool OfflineAchievementsService::updateAchievement(Achievement* achievement)
    {
        achievement->setProgress(this->findOrCreate(achievement->getName())->getProgress());
        return true;
    }

    void OfflineAchievementsService::clearRecords()
    {
        for (auto& record : this->records)
        {
            delete record.second;
        }
        this->records.clear();
    }

    void OfflineAchievementsService::writeStore()
    {
        if (this->filename == "")
        {
            return;
        }
        if (this->records.size() == 0)
        {
            quortypes::File::remove(this->filename);
            return;
        }
        AchievementRecords stored;
        for (auto& record : this->records)
        {
            stored.emplace_back(record.first, storedProgress(record.second->getProgress()));
        }
        quortypes::saveFileAtomically(this->filename, encodeAchievementsStore(stored));
    }
} // namespace pirk
