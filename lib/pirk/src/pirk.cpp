#include <memory>
#include <utility>

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
        // Held where exit's static destruction does not reach: a program that ends without destroy() does not
        // have the service write its store on the way out.
        std::unique_ptr<AchievementsService>& service()
        {
            static auto* owner = new std::unique_ptr<AchievementsService>();
            return *owner;
        }
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
        service().reset();
    }

    AchievementsService* getAchievementsService()
    {
        if (service() == nullptr)
        {
            quortypes::Log::warn(logTag, "'getAchievementsService()' called before initialization, calling "
                                         "instantiateBestAchievementsService() with no arguments.");
            return instantiateBestAchievementsService(hdict<hstring>());
        }
        return service().get();
    }

    AchievementsService* instantiateBestAchievementsService(const hdict<hstring>& parameters)
    {
        // Only the offline service exists here, whatever "force_offline" asks for.
        parameters.tryGet("force_offline", "");
        return instantiateOfflineAchievementsService();
    }

    AchievementsService* instantiateOfflineAchievementsService()
    {
        service() = std::make_unique<OfflineAchievementsService>();
        return service().get();
    }

    bool hasAchievementsService()
    {
        return service() != nullptr;
    }

    void installAchievementsService(std::unique_ptr<AchievementsService> value)
    {
        service() = std::move(value);
    }
} // namespace pirk
