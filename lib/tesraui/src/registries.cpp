#include <quortypes/Log.h>
#include <tesraui/Animator.h>
#include <tesraui/Dataset.h>
#include <tesraui/Object.h>
#include <tesraui/exception.h>
#include <tesraui/tesraui.h>

#include "libraryState.h"

namespace tesraui
{
    static hdict<ObjectFactory> objectFactories;
    static hdict<AnimatorFactory> animatorFactories;
    static hdict<Dataset*> datasets;
    static bool destroying = false;

    void _setDestroying(bool value)
    {
        destroying = value;
    }

    void _clearRegistries()
    {
        datasets.clear();
        objectFactories.clear();
        animatorFactories.clear();
    }

    void registerObjectFactory(const hstring& typeName, ObjectFactory factory)
    {
        if (objectFactories.hasKey(typeName))
        {
            throw _ObjectFactoryExistsException(typeName, "src/tesraui", __LINE__);
        }
        objectFactories[typeName] = factory;
    }

    void unregisterObjectFactory(const hstring& typeName)
    {
        if (!objectFactories.hasKey(typeName))
        {
            throw _ObjectFactoryNotExistsException(typeName, "src/tesraui", __LINE__);
        }
        objectFactories.removeKey(typeName);
    }

    void registerAnimatorFactory(const hstring& typeName, AnimatorFactory factory)
    {
        if (animatorFactories.hasKey(typeName))
        {
            throw _AnimatorFactoryExistsException(typeName, "src/tesraui", __LINE__);
        }
        animatorFactories[typeName] = factory;
    }

    Object* createObject(const hstring& typeName, const hstring& name, kavtypes::Rectangle rect)
    {
        ObjectFactory factory = objectFactories.tryGet(typeName, nullptr);
        return factory != nullptr ? factory(name, rect) : nullptr;
    }

    Animator* createAnimator(const hstring& typeName, const hstring& name)
    {
        AnimatorFactory factory = animatorFactories.tryGet(typeName, nullptr);
        return factory != nullptr ? factory(name) : nullptr;
    }

    void registerDataset(const hstring& name, Dataset* dataset)
    {
        if (destroying)
        {
            return;
        }
        if (datasets.hasKey(name))
        {
            throw _GenericException("Unable to register dataset '" + name +
                                        "', another dataset with the same name exists!",
                                    "src/tesraui", __LINE__);
        }
        datasets[name] = dataset;
    }

    void unregisterDataset(const hstring& name, Dataset* dataset)
    {
        // Only the dataset filed under the name may take it out, during shut-down too.
        if (datasets.tryGet(name, nullptr) != dataset)
        {
            return;
        }
        datasets.removeKey(name);
    }

    Dataset* getDatasetByName(const hstring& name)
    {
        auto it = datasets.find(name);
        if (it == datasets.end())
        {
            throw _GenericException("Dataset '" + name + "' doesn't exist!", "src/tesraui", __LINE__);
        }
        return it->second;
    }

    hdict<Dataset*> getDatasets()
    {
        return datasets;
    }

    // Handlers may create or destroy datasets while a broadcast runs: the walk goes over a copy and skips
    // those that left the registry meanwhile.
    void _forEachDataset(const std::function<void(Dataset*)>& function)
    {
        hdict<Dataset*> copy = datasets;
        for (auto& pair : copy)
        {
            if (datasets.tryGet(pair.first, nullptr) == pair.second)
            {
                function(pair.second);
            }
        }
    }

    void _withdrawEventsNaming(const Object* object)
    {
        // Nothing runs here, so the registry itself is walked: each object that goes passes.
        for (auto& pair : datasets)
        {
            pair.second->_removeEventsNaming(object);
        }
    }

    void notifyEvent(const hstring& type, void* args)
    {
        _forEachDataset([&](Dataset* dataset) { dataset->notifyEvent(type, args); });
    }

    void processEvents()
    {
        _forEachDataset([](Dataset* dataset) { dataset->processEvents(); });
    }

    void update(float timeDelta)
    {
        _forEachDataset([=](Dataset* dataset) { dataset->update(timeDelta); });
    }

    void updateTextures(float timeDelta)
    {
        _forEachDataset([=](Dataset* dataset) { dataset->updateTextures(timeDelta); });
    }

    void unloadUnusedTextures()
    {
        _forEachDataset([](Dataset* dataset) { dataset->unloadUnusedTextures(); });
    }

    void _destroyDatasets()
    {
        // One at a time from the front, out of the registry before it goes: a dataset whose destructor
        // deletes another (a screen that owns datasets of its own) takes that one out as well, so that
        // nothing is deleted twice.
        while (!datasets.empty())
        {
            Dataset* dataset = datasets.begin()->second;
            datasets.removeKey(datasets.begin()->first);
            // Listed, not held: a dataset registers and unregisters itself, and others may delete it first.
            delete dataset;
        }
    }

    harray<hstring> getObjectTypeNames()
    {
        return objectFactories.keys();
    }

    harray<hstring> getAnimatorTypeNames()
    {
        return animatorFactories.keys();
    }
} // namespace tesraui
