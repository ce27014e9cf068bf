#pragma once

#include <string>
#include <utility>
#include <vector>

#include <quortypes/hdict.h>
#include <quortypes/hstring.h>

namespace pirk
{
    // The store file, integers little-endian: the bytes 1 and 0 (ignored when read), a uint32 record
    // count, then per record a uint32 name length, the UTF-8 name and the int32 progress (truncated).
    typedef std::vector<std::pair<hstring, int>> AchievementRecords;

    std::string encodeAchievementsStore(const AchievementRecords& records);
    // Reads the whole records that the bytes hold; damaged is set for no bytes at all (the writer removes
    // a store without records instead), when the bytes end inside a record or before the count, when the
    // count is below zero, and when bytes follow the last counted record (or a count of zero); the
    // records before the damage are kept. Counts and lengths are trusted only as far as the bytes go.
    AchievementRecords decodeAchievementsStore(const std::string& bytes, bool& damaged);

    // The companion file's text for the CRC-32s of the stores it vouches for, one "crc: %X" line each.
    std::string encodeStoreChecksums(const std::vector<unsigned int>& crcs);
    // True when the companion text is made of such lines only and one of them is the store's CRC-32.
    bool storeMatchesChecksums(const std::string& store, const std::string& checksums);
    unsigned int storeCrc(const std::string& store);
} // namespace pirk
