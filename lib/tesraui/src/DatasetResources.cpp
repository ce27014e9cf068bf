#include <algorithm>
#include <memory>
#include <utility>

#include <tesraui/Dataset.h>
#include <tesraui/Image.h>
#include <tesraui/Object.h>
#include <tesraui/Texture.h>
#include <tesraui/exception.h>
#include <tesraui/tesraui.h>

#include "NameHop.h"
#include "libraryState.h"

namespace tesraui
{
    void Dataset::load()
    {
        if (fileName != "")
        {
            loadTexts(getTextsFolder());
            _parseDatasetFile();
        }
        loaded = true;
        update(0.0f);
    }

    void Dataset::unload()
    {
        // A failed load leaves what it registered; that is released here too.
        if (!loaded && objects.size() == 0 && images.size() == 0 && textures.size() == 0 && texts.size() == 0)
        {
            throw _GenericException("Unable to unload dataset '" + this->name + "', data not loaded!",
                                    "src/Dataset", __LINE__);
        }
        _release();
    }

    void Dataset::_release()
    {
        // Deleting an object unlinks it from its parent and children and takes it out of the map; objects may
        // hold children registered elsewhere, which only lose their parent. Links between objects that all
        // go are cut first, a child list at a time: deleted one by one, each child would look itself up in
        // its parent's list and move the rest of it.
        for (auto& pair : objects)
        {
            ChildList& children = pair.second->children;
            children.erase(std::remove_if(children.begin(), children.end(),
                                          [this](Object* child)
                                          {
                                              if (child->dataset != this ||
                                                  objects.tryGet(child->name, nullptr) != child)
                                              {
                                                  return false;
                                              }
                                              child->parent = nullptr;
                                              return true;
                                          }),
                           children.end());
        }
        hdict<Object*> registered = objects;
        for (auto& pair : registered)
        {
            if (objects.tryGet(pair.first, nullptr) == pair.second)
            {
                // Owned by registration, not by holder: an object may be deleted directly and leave the map.
                delete pair.second;
            }
        }
        objects.clear();
        images.clear();
        textures.clear();
        texts.clear();
        root = nullptr;
        focusedObject = nullptr;
        loaded = false;
    }

    void Dataset::update(float timeDelta)
    {
        if (root != nullptr && root->getParent() == nullptr)
        {
            root->update(timeDelta);
        }
        clearChildUnderCursorCaches();
    }

    Texture* Dataset::getTexture(const hstring& name)
    {
        auto entry = textures.find(name);
        if (entry == textures.end())
        {
            throw _ResourceNotExistsException(name, "Texture", this, "src/Dataset", __LINE__);
        }
        return entry->second.get();
    }

    Image* Dataset::getImage(const hstring& name)
    {
        if (name == "null")
        {
            return nullImage.get();
        }
        // The map comes first, so that an image whose own name holds a dot is found.
        auto entry = images.find(name);
        if (entry != images.end())
        {
            return entry->second.get();
        }
        hstring datasetName;
        hstring rest;
        if (name.split('.', datasetName, rest))
        {
            Dataset* named = nullptr;
            try
            {
                named = getDatasetByName(datasetName);
            }
            catch (_GenericException&)
            {
            }
            if (named != nullptr)
            {
                // A misspelt image of a dataset named is reported in that dataset, where it is to be mended.
                NameHop hop(name, "Image");
                return named->getImage(rest);
            }
        }
        throw _ResourceNotExistsException(name, "Image", this, "src/Dataset", __LINE__);
    }

    Image* Dataset::registerImage(std::unique_ptr<Image> image)
    {
        if (images.hasKey(image->getName()))
        {
            throw _ResourceExistsException(image->getName(), "Image", this, "src/Dataset", __LINE__);
        }
        Image* registered = image.get();
        images[registered->getName()] = std::move(image);
        registered->setDataset(this);
        return registered;
    }

    std::unique_ptr<Image> Dataset::unregisterImage(Image* image)
    {
        // Another dataset's image may share the name; this one's entry is not that image's to give away.
        auto entry = images.find(image->getName());
        if (entry == images.end() || entry->second.get() != image)
        {
            throw _ResourceNotExistsException(image->getName(), "Image", this, "src/Dataset", __LINE__);
        }
        std::unique_ptr<Image> unregistered = std::move(entry->second);
        images.erase(entry);
        return unregistered;
    }

    Texture* Dataset::registerTexture(std::unique_ptr<Texture> texture)
    {
        if (textures.hasKey(texture->getFilename()))
        {
            throw _ResourceExistsException(texture->getFilename(), "Texture", this, "src/Dataset", __LINE__);
        }
        Texture* registered = texture.get();
        textures[registered->getFilename()] = std::move(texture);
        return registered;
    }

    std::unique_ptr<Texture> Dataset::unregisterTexture(Texture* texture)
    {
        // A dataset file's texture is kept under its base name, not its file name; and another texture of
        // the same file may be kept under that file name, so the entry is the one holding this texture.
        auto entry = textures.find(texture->getFilename());
        if (entry == textures.end() || entry->second.get() != texture)
        {
            entry = std::find_if(textures.begin(), textures.end(),
                                 [texture](const std::pair<const hstring, std::unique_ptr<Texture>>& pair)
                                 { return pair.second.get() == texture; });
        }
        if (entry == textures.end())
        {
            throw _ResourceNotExistsException(texture->getFilename(), "Texture", this, "src/Dataset",
                                              __LINE__);
        }
        std::unique_ptr<Texture> unregistered = std::move(entry->second);
        textures.erase(entry);
        return unregistered;
    }

    void Dataset::updateTextures(float timeDelta)
    {
        for (auto& pair : textures)
        {
            pair.second->update(timeDelta);
        }
    }

    void Dataset::unloadUnusedTextures()
    {
        for (auto& pair : textures)
        {
            if (pair.second->isDynamic() && pair.second->getIdleTime() > 1.0f)
            {
                _unloadIdleTexture(pair.second.get());
            }
        }
    }

    void Dataset::reloadTextures()
    {
        for (auto& pair : textures)
        {
            pair.second->reload(getLocalisedFilename(pair.second->getRequestedFilename()));
        }
    }

    int Dataset::getFocusedObjectIndex() const
    {
        Object* object = focusedObject;
        if (object == nullptr || !object->isVisible() || !object->isEnabled() || object->getAlpha() == 0)
        {
            return -1;
        }
        return object->getFocusIndex();
    }
} // namespace tesraui
