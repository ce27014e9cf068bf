#include <memory>

#include <quortypes/Log.h>
#include <yim/AudioManager.h>
#include <yim/NoAudio_AudioManager.h>
#include <yim/yim.h>

#include "platform/openal/OpenAL_AudioManager.h"

namespace yim
{
    const hstring logTag = "yim";
    AudioManager* manager = nullptr;

    void init(SystemType systemType, unsigned int backendId, bool threaded, float updateTime,
              const hstring& deviceName)
    {
        quortypes::Log::write(logTag, "Initializing YIM.");
        if (systemType == SystemType::AS_DISABLED)
        {
            manager = new NoAudio_AudioManager(backendId, threaded, updateTime, deviceName);
            quortypes::Log::write(logTag, "Audio is disabled.");
            return;
        }
        if (systemType == SystemType::AS_DEFAULT || systemType == SystemType::AS_OPENAL)
        {
            auto openAL = std::make_unique<OpenAL_AudioManager>(backendId, threaded, updateTime, deviceName);
            // Without a device the silent back-end takes over, as for a type nobody knows.
            if (openAL->isEnabled())
            {
                manager = openAL.release();
            }
        }
        if (manager != nullptr)
        {
            quortypes::Log::write(logTag, "Audio system created: " + manager->getName());
            manager->init();
            return;
        }
        quortypes::Log::warn(logTag, "Could not create given audio system!");
        manager = new NoAudio_AudioManager(backendId, threaded, updateTime, deviceName);
        quortypes::Log::warn(logTag, "Audio is disabled.");
    }

    void destroy()
    {
        if (manager != nullptr)
        {
            quortypes::Log::write(logTag, "Destroying YIM.");
            manager->clear();
            delete manager; // the raw global of the init/destroy pair, named by every caller, ends only here
            manager = nullptr;
        }
    }
} // namespace yim
