#pragma once

#include <memory>

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
    // Both replace the global service; an old one still there goes with its destructor's write of its store,
    // so callers that need that write done first destroy() first.
    AchievementsService* instantiateBestAchievementsService(const hdict<hstring>& parameters);
    AchievementsService* instantiateOfflineAchievementsService();
    bool hasAchievementsService();
    // Makes a service the caller made and prepared the global one, replacing the old one as the
    // instantiate functions do.
    void installAchievementsService(std::unique_ptr<AchievementsService> service);
} // namespace pirk
