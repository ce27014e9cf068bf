#include <memory>
#include <vector>

#include <tesraui/CompositeImage.h>
#include <tesraui/Dataset.h>
#include <tesraui/Freed.h>
#include <tesraui/Image.h>
#include <tesraui/Object.h>
#include <tesraui/Texture.h>
#include <tesraui/tesraui.h>

#include "libraryState.h"
#include "objects/ChildWalk.h"

namespace tesraui
{
    namespace
    {
        // What was destroyed and waits for freeDestroyed, each in the order destroyed: a subtree's children
        // go before their parent. Main thread only, as the tree is.
        struct Graveyard
        {
            // An idle texture due to be unloaded, and how long it had lain idle then.
            struct Unload
            {
                LifeToken::Watch alive;
                Texture* texture;
                float idleTime;
            };

            std::vector<Object*> objects;
            std::vector<std::unique_ptr<Image>> images;
            std::vector<std::unique_ptr<Texture>> textures;
            std::vector<std::unique_ptr<Freed>> freed;
            std::vector<Unload> unloads;

            bool empty() const
            {
                return objects.empty() && images.empty() && textures.empty() && freed.empty() &&
                       unloads.empty();
            }
        };

        Graveyard& graveyard()
        {
            static Graveyard instance;
            return instance;
        }

        bool deferring = false;
    } // namespace

    void setDeferredFrees(bool value)
    {
        deferring = value;
    }

    bool isDeferringFrees()
    {
        return deferring;
    }

    void freeDestroyed()
    {
        Graveyard& buried = graveyard();
        // A destructor may run code that destroys more; that is freed in the next round.
        while (!buried.empty())
        {
            // One destroyed meanwhile is unloaded by its free, and one drawn again since stays.
            std::vector<Graveyard::Unload> unloads;
            unloads.swap(buried.unloads);
            for (Graveyard::Unload& unload : unloads)
            {
                if (unload.alive.isAlive() && unload.texture->isLoaded() &&
                    unload.texture->getIdleTime() >= unload.idleTime)
                {
                    unload.texture->unload();
                }
            }
            std::vector<Object*> objects;
            objects.swap(buried.objects);
            for (Object* object : objects)
            {
                delete object;
            }
            // After the objects, which may still point at them.
            std::vector<std::unique_ptr<Image>> images;
            images.swap(buried.images);
            images.clear();
            std::vector<std::unique_ptr<Texture>> textures;
            textures.swap(buried.textures);
            textures.clear();
            std::vector<std::unique_ptr<Freed>> freed;
            freed.swap(buried.freed);
            freed.clear();
        }
    }

    void _buryFreed(std::unique_ptr<Freed> freed)
    {
        if (deferring)
        {
            graveyard().freed.push_back(std::move(freed));
        }
    }

    void _unloadIdleTexture(Texture* texture)
    {
        if (!deferring)
        {
            texture->unload();
            return;
        }
        graveyard().unloads.push_back({texture->watchLife(), texture, texture->getIdleTime()});
    }

    void _buryObject(Object* object)
    {
        graveyard().objects.push_back(object);
    }

    void _buryImage(std::unique_ptr<Image> image)
    {
        graveyard().images.push_back(std::move(image));
    }

    void _buryTexture(std::unique_ptr<Texture> texture)
    {
        graveyard().textures.push_back(std::move(texture));
    }

    void Dataset::_freeObject(Object* object)
    {
        if (!deferring)
        {
            delete object;
            return;
        }
        // What the destructor would do for the tree, the queues and the walks happens now; the memory, the
        // handlers and whatever else the object owns go at the free. The token ends here, so that a watch
        // never takes a detached object for part of the tree.
        object->life.end();
        ChildWalk::noteDeleted(object);
        for (auto& pair : object->events)
        {
            this->removeQueuedEvents(pair.second.get());
        }
        // A dataset out of the registry (one going away) is not among those the withdrawal reaches.
        this->_removeEventsNaming(object);
        tesraui::_withdrawEventsNaming(object);
        this->_forgetObject(object);
        object->_letGo();
        // Listed so that should this dataset go first, the object forgets it.
        this->_listUnregistered(object);
        if (object->cursorCacheList != nullptr)
        {
            object->cursorCacheList->_unlistCursorCache(object);
        }
        _buryObject(object);
    }

    void Dataset::destroyImage(Image* image)
    {
        std::unique_ptr<Image> unregistered = this->unregisterImage(image);
        if (deferring)
        {
            unregistered->holders.end();
            // Drawn no more: its references count it no longer among their holders.
            if (auto* composite = dynamic_cast<CompositeImage*>(unregistered.get()))
            {
                composite->clearImageRefs();
            }
            _buryImage(std::move(unregistered));
        }
    }

    void Dataset::destroyTexture(Texture* texture)
    {
        std::unique_ptr<Texture> unregistered = this->unregisterTexture(texture);
        if (deferring)
        {
            unregistered->life.end();
            _buryTexture(std::move(unregistered));
        }
    }
} // namespace tesraui
