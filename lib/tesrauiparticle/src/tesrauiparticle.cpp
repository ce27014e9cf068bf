#include <quortypes/Log.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraparticle/Emitter.h>
#include <tesraui/tesraui.h>
#include <tesrauiparticle/Particle.h>
#include <tesrauiparticle/ParticleEmitter.h>
#include <tesrauiparticle/ParticleSpace.h>
#include <tesrauiparticle/ParticleSystem.h>
#include <tesrauiparticle/tesrauiparticle.h>

#include "module.h"

namespace tesrauiparticle
{
    const hstring logTag = "tesrauiparticle";

    namespace
    {
        const hstring defaultPath = "particles";
        const bool enabled = true;
    } // namespace

    void init()
    {
        quortypes::Log::write(logTag, "Initializing TesraUIParticle.");
        tesraui::registerObjectFactory("Particle", &Particle::createInstance);
        tesraui::registerObjectFactory("ParticleEmitter", &ParticleEmitter::createInstance);
        tesraui::registerObjectFactory("ParticleSpace", &ParticleSpace::createInstance);
        tesraui::registerObjectFactory("ParticleSystem", &ParticleSystem::createInstance);
    }

    void destroy()
    {
        quortypes::Log::write(logTag, "destroying TesraUIParticle.");
    }

    hstring getDefaultPath()
    {
        return defaultPath;
    }

    bool isModuleEnabled()
    {
        return enabled;
    }

    void resizeEmitterBoxes(const harray<tesraparticle::Emitter*>& emitters, float width, float height)
    {
        if (emitters.size() == 0)
        {
            return;
        }
        kavtypes::Vector3 first = emitters[0]->getDimensions();
        for (tesraparticle::Emitter* emitter : emitters)
        {
            kavtypes::Vector3 dimensions = emitter->getDimensions();
            if (width > 0.0f)
            {
                dimensions.x = first.x > 0.0f ? dimensions.x * width / first.x : width;
            }
            if (height > 0.0f)
            {
                dimensions.y = first.y > 0.0f ? dimensions.y * height / first.y : height;
            }
            emitter->setDimensions(dimensions);
        }
    }

    void drawDebugRect(const kavtypes::Rectangle& rect)
    {
        if (tesraui::isDebugEnabled())
        {
            tesra::rendersys->drawFilledRect(rect, tesra::Color(255, 255, 0, 32));
            tesra::rendersys->drawRect(rect, tesra::Color(0, 0, 0, 64));
        }
    }
} // namespace tesrauiparticle
