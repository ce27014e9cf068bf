#include <cstdint>

#include <pirk/AchievementsStore.h>

namespace pirk
{
    namespace
    {
        void putUint32(std::string& out, uint32_t value)
        {
            for (int i = 0; i < 4; ++i)
            {
                out += (char)((value >> (8 * i)) & 0xFF);
            }
        }

        // False when fewer than four bytes are left.
        bool takeUint32(const std::string& bytes, size_t& at, uint32_t& value)
        {
            if (bytes.size() - at < 4)
            {
                return false;
            }
            value = 0;
            for (int i = 0; i < 4; ++i)
            {
                value |= (uint32_t)(unsigned char)bytes[at + i] << (8 * i);
            }
            at += 4;
            return true;
        }
    } // namespace

    std::string encodeAchievementsStore(const AchievementRecords& records)
    {
        std::string out("\x01\x00", 2);
        putUint32(out, (uint32_t)records.size());
        for (const auto& record : records)
        {
            putUint32(out, (uint32_t)record.first.std::string::size());
            out += record.first;
            putUint32(out, (uint32_t)record.second);
        }
        return out;
    }

    AchievementRecords decodeAchievementsStore(const std::string& bytes, bool& damaged)
    {
        damaged = false;
        AchievementRecords records;
        if (bytes.empty())
        {
            return records;
        }
        size_t at = 2;
        uint32_t count = 0;
        if (bytes.size() < at || !takeUint32(bytes, at, count))
        {
            damaged = true;
            return records;
        }
        // The writer never stores a count of zero or below: such a count with bytes behind it lost the
        // records it should count.
        if ((int32_t)count <= 0)
        {
            damaged = (int32_t)count < 0 || at < bytes.size();
            return records;
        }
        for (int32_t left = (int32_t)count; left > 0; --left)
        {
            uint32_t length = 0, progress = 0;
            if (!takeUint32(bytes, at, length) || length > bytes.size() - at)
            {
                damaged = true;
                break;
            }
            hstring name(bytes.substr(at, length));
            at += length;
            if (!takeUint32(bytes, at, progress))
            {
                damaged = true;
                break;
            }
            records.emplace_back(name, (int32_t)progress);
        }
        // Bytes behind the last counted record belong to records the count no longer names.
        damaged = damaged || at < bytes.size();
        return records;
    }
} // namespace pirk
