#pragma once

#include <quortypes/hdict.h>
#include <quortypes/hstring.h>

#include <pirk/AchievementsService.h>

namespace pirk
{
    void init();
    // Marks the library started without the log line.
    void markInitialized();
    bool isInitialized();
    // Deletes the global service, whose destructor writes its store.
    void destroy();

    // The global service; made offline, with a warning, when there is none yet.
    AchievementsService* getAchievementsService();
    // Both replace the global service without deleting the old one: callers destroy() first.
    AchievementsService* instantiateBestAchievementsService(const hdict<hstring>& parameters);
    AchievementsService* instantiateOfflineAchievementsService();
    bool hasAchievementsService();
    // Makes a service the caller made and prepared the global one, taking it over; like the instantiate
    // functions it does not delete the old one.
    void installAchievementsService(AchievementsService* service);
} // namespace pirk
