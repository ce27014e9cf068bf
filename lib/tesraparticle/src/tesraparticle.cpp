#include <memory>
#include <utility>

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
        // Both are held where exit's static destruction does not reach: a program that ends without destroy()
        // leaves the cached systems and render textures as it always has, instead of ending them after the
        // render system they belong to.
        hdict<std::unique_ptr<System>>& systemCache()
        {
            static auto* cache = new hdict<std::unique_ptr<System>>();
            return *cache;
        }

        hdict<std::unique_ptr<Texture>>& textureCache()
        {
            static auto* cache = new hdict<std::unique_ptr<Texture>>();
            return *cache;
        }
        bool caching = false;

        void deleteCachedSystems()
        {
            // Out of the cache one by one, in its order.
            for (auto& pair : systemCache())
            {
                pair.second.reset();
            }
            systemCache().clear();
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
        for (auto& pair : textureCache())
        {
            pair.second.reset();
        }
        textureCache().clear();
    }

    void clearCache()
    {
        for (auto& pair : textureCache())
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

    std::unique_ptr<Affector> createAffector(const hstring& typeName, const hstring& name)
    {
        AffectorFactory factory = affectorFactories.tryGet(typeName, nullptr);
        return std::unique_ptr<Affector>(factory != nullptr ? factory(name) : nullptr);
    }

    Texture* loadTexture(const hstring& filename, bool cached)
    {
        auto found = textureCache().find(filename);
        if (found != textureCache().end() && found->second != nullptr)
        {
            return found->second.get();
        }
        if (tesra::rendersys == nullptr)
        {
            return nullptr;
        }
        bool keep = cached || caching;
        std::unique_ptr<tesra::Texture> texture(
            tesra::rendersys->createTextureFromResource(filename, tesra::Texture::Type::IMMUTABLE, keep));
        if (texture == nullptr)
        {
            return nullptr;
        }
        auto record = std::make_unique<Texture>(std::move(texture), filename, keep);
        Texture* result = record.get();
        if (keep)
        {
            textureCache()[filename] = std::move(record);
            return result;
        }
        // Uncached, the record is the caller's.
        return record.release();
    }

    std::unique_ptr<System> loadSystem(const hstring& filename, const hstring& name)
    {
        hstring key = name != "" ? name : filename;
        // The prototype when it is not cached; a cached one stays in the cache.
        std::unique_ptr<System> uncached;
        System* prototype = nullptr;
        auto found = systemCache().find(key);
        if (found != systemCache().end() && found->second != nullptr)
        {
            prototype = found->second.get();
        }
        else
        {
            uncached = std::make_unique<System>(filename, name);
            prototype = uncached.get();
            if (caching)
            {
                systemCache()[key] = std::move(uncached);
            }
        }
        try
        {
            prototype->load();
            return std::make_unique<System>(*prototype);
        }
        catch (...)
        {
            // A half-read prototype must not pass for a loaded system at the next call.
            auto cached = systemCache().find(key);
            if (cached != systemCache().end() && cached->second.get() == prototype)
            {
                systemCache().erase(cached);
            }
            throw;
        }
    }
} // namespace tesraparticle
