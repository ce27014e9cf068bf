#include <quortypes/Log.h>

#include <pirk/OfflineAchievementsService.h>
#include <pirk/pirk.h>
#include <pirk/util.h>

namespace pirk
{
    const hstring logTag = "pirk";

    namespace
    {
        bool initialized = false;
        AchievementsService* service = nullptr;
    } // namespace

    void init()
    {
        quortypes::Log::write(logTag, "Initializing PIRK.");
        initialized = true;
    }

    void markInitialized()
    {
        initialized = true;
    }

    bool isInitialized()
    {
        return initialized;
    }

    void destroy()
    {
        quortypes::Log::write(logTag, "Destroying PIRK.");
        delete service;
        service = nullptr;
    }

    AchievementsService* getAchievementsService()
    {
        if (service == nullptr)
        {
            quortypes::Log::warn(logTag, "'getAchievementsService()' called before initialization, calling "
                                         "instantiateBestAchievementsService() with no arguments.");
            return instantiateBestAchievementsService(hdict<hstring>());
        }
        return service;
    }

    AchievementsService* instantiateBestAchievementsService(const hdict<hstring>& parameters)
    {
        // Only the offline service exists here, whatever "force_offline" asks for.
        parameters.tryGet("force_offline", "");
        return instantiateOfflineAchievementsService();
    }

    AchievementsService* instantiateOfflineAchievementsService()
    {
        service = new OfflineAchievementsService();
        return service;
    }

    bool hasAchievementsService()
    {
        return service != nullptr;
    }

    void installAchievementsService(AchievementsService* value)
    {
        service = value;
    }
} // namespace pirk
