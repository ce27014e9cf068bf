#include <cstdint>
#include <cstdio>

#include <quortypes/util.h>

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
        AchievementRecords records;
        damaged = bytes.empty();
        if (damaged)
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

    unsigned int storeCrc(const std::string& store)
    {
        return quortypes::crc32((const unsigned char*)store.data(), (int)store.size());
    }

    std::string encodeStoreChecksums(const std::vector<unsigned int>& crcs)
    {
        std::string text;
        for (unsigned int crc : crcs)
        {
            char line[32];
            std::snprintf(line, sizeof(line), "crc: %X\n", crc);
            text += line;
        }
        return text;
    }

    bool storeMatchesChecksums(const std::string& store, const std::string& checksums)
    {
        const std::string expected = encodeStoreChecksums({storeCrc(store)});
        bool found = false;
        size_t at = 0;
        while (at < checksums.size())
        {
            const size_t end = checksums.find('\n', at);
            if (end == std::string::npos)
            {
                return false;
            }
            const std::string line = checksums.substr(at, end + 1 - at);
            if (line.compare(0, 5, "crc: ") != 0 || line.size() < 7 || line.size() > 14 ||
                line.find_first_not_of("0123456789ABCDEF", 5) != line.size() - 1)
            {
                return false;
            }
            found = found || line == expected;
            at = end + 1;
        }
        return found;
    }
} // namespace pirk
