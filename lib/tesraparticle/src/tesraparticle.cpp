#include <quortypes/Log.h>
#include <quortypes/exception.h>
#include <tesra/RenderSystem.h>
#include <tesra/Texture.h>
#include <tesra/tesra.h>
#include <tesraparticle/System.h>
#include <tesraparticle/Texture.h>
#include <tesraparticle/affectors/Attractor.h>
#include <tesraparticle/affectors/CallbackAffector.h>
#include <tesraparticle/affectors/ColorChanger.h>
#include <tesraparticle/affectors/ColorChangerTimed.h>
#include <tesraparticle/affectors/ForceField.h>
#include <tesraparticle/affectors/LinearForce.h>
#include <tesraparticle/affectors/Resizer.h>
#include <tesraparticle/affectors/ResizerTimed.h>
#include <tesraparticle/affectors/Revolutor.h>
#include <tesraparticle/affectors/Rotator.h>
#include <tesraparticle/affectors/Scaler.h>
#include <tesraparticle/affectors/ScalerTimed.h>
#include <tesraparticle/tesraparticle.h>

#include "affectors/ForceFieldCircles.h"

namespace tesraparticle
{
    const hstring logTag = "tesraparticle";

    namespace
    {
        hdict<AffectorFactory> affectorFactories;
        hdict<System*> systemCache;
        hdict<Texture*> textureCache;
        bool caching = false;

        void deleteCachedSystems()
        {
            for (auto& pair : systemCache)
            {
                delete pair.second;
            }
            systemCache.clear();
        }
    } // namespace

    void init()
    {
        quortypes::Log::write(logTag, "Initializing TesraParticle.");
        Affectors::prepareForceFieldCircles();
        caching = true;
        registerAffectorFactory("Attractor", &Affectors::Attractor::createInstance);
        registerAffectorFactory("CallbackAffector", &Affectors::CallbackAffector::createInstance);
        registerAffectorFactory("ColorChanger", &Affectors::ColorChanger::createInstance);
        registerAffectorFactory("ColorChangerTimed", &Affectors::ColorChangerTimed::createInstance);
        registerAffectorFactory("ForceField", &Affectors::ForceField::createInstance);
        registerAffectorFactory("LinearForce", &Affectors::LinearForce::createInstance);
        registerAffectorFactory("Resizer", &Affectors::Resizer::createInstance);
        registerAffectorFactory("ResizerTimed", &Affectors::ResizerTimed::createInstance);
        registerAffectorFactory("Revolutor", &Affectors::Revolutor::createInstance);
        registerAffectorFactory("Rotator", &Affectors::Rotator::createInstance);
        registerAffectorFactory("Scaler", &Affectors::Scaler::createInstance);
        registerAffectorFactory("ScalerTimed", &Affectors::ScalerTimed::createInstance);
    }

    void destroy()
    {
        quortypes::Log::write(logTag, "Destroying TesraParticle.");
        affectorFactories.clear();
        deleteCachedSystems();
        for (auto& pair : textureCache)
        {
            delete pair.second;
        }
        textureCache.clear();
    }

    void clearCache()
    {
        for (auto& pair : textureCache)
        {
            if (pair.second->texture != nullptr)
            {
                pair.second->texture->unload();
            }
        }
        deleteCachedSystems();
    }

    void registerAffectorFactory(const hstring& typeName, AffectorFactory factory)
    {
        if (affectorFactories.hasKey(typeName))
        {
            throw quortypes::exception("Affector Factory '" + typeName + "' already exists!", __FILE__,
                                       __LINE__);
        }
        affectorFactories[typeName] = factory;
    }

    const hdict<AffectorFactory>& getAffectorFactories()
    {
        return affectorFactories;
    }

    Affector* createAffector(const hstring& typeName, const hstring& name)
    {
        AffectorFactory factory = affectorFactories.tryGet(typeName, nullptr);
        return factory != nullptr ? factory(name) : nullptr;
    }

    Texture* loadTexture(const hstring& filename, bool cached)
    {
        Texture* record = textureCache.tryGet(filename, nullptr);
        if (record != nullptr)
        {
            return record;
        }
        if (tesra::rendersys == nullptr)
        {
            return nullptr;
        }
        bool keep = cached || caching;
        tesra::Texture* texture =
            tesra::rendersys->createTextureFromResource(filename, tesra::Texture::Type::IMMUTABLE, keep);
        if (texture == nullptr)
        {
            return nullptr;
        }
        record = new Texture(texture, filename, keep);
        if (keep)
        {
            textureCache[filename] = record;
        }
        return record;
    }

    System* loadSystem(const hstring& filename, const hstring& name)
    {
        hstring key = name != "" ? name : filename;
        System* prototype = systemCache.tryGet(key, nullptr);
        if (prototype == nullptr)
        {
            prototype = new System(filename, name);
            if (caching)
            {
                systemCache[key] = prototype;
            }
        }
        System* result = nullptr;
        try
        {
            prototype->load();
            result = new System(*prototype);
        }
        catch (...)
        {
            // A half-read prototype must not pass for a loaded system at the next call.
            if (systemCache.tryGet(key, nullptr) == prototype)
            {
                systemCache.removeKey(key);
            }
            delete prototype;
            throw;
        }
        if (!caching)
        {
            delete prototype;
        }
        return result;
    }
} // namespace tesraparticle
