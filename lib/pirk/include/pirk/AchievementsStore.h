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
    // Reads the whole records that the bytes hold; damaged is set when the bytes end inside a record
    // or before the count, when the count is below zero, and when bytes follow the last counted record
    // (or a count of zero); the records before the damage are kept. Counts and lengths are trusted only
    // as far as the bytes go.
    AchievementRecords decodeAchievementsStore(const std::string& bytes, bool& damaged);
} // namespace pirk
