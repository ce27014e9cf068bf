#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <quortypes/Log.h>
#include <yim/yim.h>

#include "OpenALLoopback.h"
#include "OpenAL_AudioManager.h"
#include "OpenAL_Player.h"

namespace yim
{
    OpenAL_AudioManager::OpenAL_AudioManager(unsigned int backendId, bool threaded, float updateTime,
                                             const hstring& deviceName, bool loopback)
        : AudioManager(backendId, threaded, updateTime, deviceName), loopback(loopback)
    {
        this->name = "OpenAL";
        quortypes::Log::write(logTag, "Initializing OpenAL.");
        ALCdevice* alDevice = loopback ? alcLoopbackOpenDeviceSOFT(nullptr) : alcOpenDevice(nullptr);
        if (alDevice == nullptr)
        {
            quortypes::Log::error(logTag, "Could not create device!");
            return;
        }
        // The loopback mix is float stereo at the manager's rate, without a limiter or HRTF colouring it.
        const ALCint loopbackAttributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                             ALC_STEREO_SOFT,
                                             ALC_FORMAT_TYPE_SOFT,
                                             ALC_FLOAT_SOFT,
                                             ALC_FREQUENCY,
                                             openal::LOOPBACK_RATE,
                                             ALC_OUTPUT_LIMITER_SOFT,
                                             ALC_FALSE,
                                             ALC_HRTF_SOFT,
                                             ALC_FALSE,
                                             0};
        ALCcontext* alContext = alcCreateContext(alDevice, loopback ? loopbackAttributes : nullptr);
        if (alContext == nullptr || !alcMakeContextCurrent(alContext))
        {
            if (alContext != nullptr)
            {
                alcDestroyContext(alContext);
            }
            alcCloseDevice(alDevice);
            quortypes::Log::error(logTag, "Could not create device!");
            return;
        }
        this->device = alDevice;
        this->context = alContext;
        this->directChannels = alIsExtensionPresent("AL_SOFT_direct_channels") == AL_TRUE;
        this->enabled.store(true);
    }

    OpenAL_AudioManager::~OpenAL_AudioManager()
    {
        quortypes::Log::write(logTag, "Destroying OpenAL.");
        if (this->context != nullptr)
        {
            alcMakeContextCurrent(nullptr);
            alcDestroyContext((ALCcontext*)this->context);
        }
        if (this->device != nullptr)
        {
            alcCloseDevice((ALCdevice*)this->device);
        }
    }

    std::unique_ptr<Player> OpenAL_AudioManager::_createSystemPlayer(Sound* sound)
    {
        return std::make_unique<OpenAL_Player>(sound, this->directChannels);
    }

    void OpenAL_AudioManager::renderLoopback(float* output, int frames)
    {
        if (this->loopback && this->device != nullptr)
        {
            alcRenderSamplesSOFT((ALCdevice*)this->device, output, frames);
        }
    }

    namespace openal
    {
        void initLoopback(bool threaded, float updateTime)
        {
            manager = new OpenAL_AudioManager(0, threaded, updateTime, "", true);
            manager->init();
        }

        void renderLoopback(float* output, int frames)
        {
            OpenAL_AudioManager* openAL = dynamic_cast<OpenAL_AudioManager*>(manager);
            if (openAL != nullptr)
            {
                openAL->renderLoopback(output, frames);
            }
        }
    } // namespace openal
} // namespace yim
