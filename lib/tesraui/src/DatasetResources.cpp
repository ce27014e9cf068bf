#include <algorithm>

#include <tesraui/Dataset.h>
#include <tesraui/Image.h>
#include <tesraui/Object.h>
#include <tesraui/Texture.h>
#include <tesraui/exception.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    void Dataset::load()
    {
        if (this->fileName != "")
        {
            this->loadTexts(this->getTextsFolder());
            this->_parseDatasetFile();
        }
        this->loaded = true;
        this->update(0.0f);
    }

    void Dataset::unload()
    {
        // A failed load leaves what it registered; that is released here too.
        if (!this->loaded && this->objects.size() == 0 && this->images.size() == 0 &&
            this->textures.size() == 0 && this->texts.size() == 0)
        {
            throw _GenericException("Unable to unload dataset '" + this->name + "', data not loaded!",
                                    "src/Dataset", __LINE__);
        }
        this->_release();
    }

    void Dataset::_release()
    {
        // Deleting an object unlinks it from its parent and children and takes it out of the map; objects may
        // hold children registered elsewhere, which only lose their parent. Links between objects that all
        // go are cut first, a child list at a time: deleted one by one, each child would look itself up in
        // its parent's list and move the rest of it.
        for (auto& pair : this->objects)
        {
            harray<Object*>& children = pair.second->children;
            children.erase(std::remove_if(children.begin(), children.end(),
                                          [this](Object* child)
                                          {
                                              if (child->dataset != this ||
                                                  this->objects.tryGet(child->name, nullptr) != child)
                                              {
                                                  return false;
                                              }
                                              child->parent = nullptr;
                                              return true;
                                          }),
                           children.end());
        }
        hdict<Object*> registered = this->objects;
        for (auto& pair : registered)
        {
            if (this->objects.tryGet(pair.first, nullptr) == pair.second)
            {
                delete pair.second;
            }
        }
        this->objects.clear();
        for (auto& pair : this->images)
        {
            delete pair.second;
        }
        this->images.clear();
        for (auto& pair : this->textures)
        {
            delete pair.second;
        }
        this->textures.clear();
        this->texts.clear();
        this->root = nullptr;
        this->focusedObject = nullptr;
        this->loaded = false;
    }

    void Dataset::update(float timeDelta)
    {
        if (this->root != nullptr && this->root->getParent() == nullptr)
        {
            this->root->update(timeDelta);
        }
        this->clearChildUnderCursorCaches();
    }

    Texture* Dataset::getTexture(const hstring& name)
    {
        Texture* texture = this->textures.tryGet(name, nullptr);
        if (texture == nullptr)
        {
            throw _ResourceNotExistsException(name, "Texture", this, "src/Dataset", __LINE__);
        }
        return texture;
    }

    Image* Dataset::getImage(const hstring& name)
    {
        if (name == "null")
        {
            return this->nullImage;
        }
        // The map comes first, so that an image whose own name holds a dot is found.
        Image* image = this->images.tryGet(name, nullptr);
        if (image != nullptr)
        {
            return image;
        }
        hstring datasetName;
        hstring rest;
        if (name.split('.', datasetName, rest))
        {
            try
            {
                return getDatasetByName(datasetName)->getImage(rest);
            }
            catch (_GenericException&)
            {
            }
        }
        throw _ResourceNotExistsException(name, "Image", this, "src/Dataset", __LINE__);
    }

    void Dataset::registerImage(Image* image)
    {
        if (this->images.hasKey(image->getName()))
        {
            throw _ResourceExistsException(image->getName(), "Image", this, "src/Dataset", __LINE__);
        }
        this->images[image->getName()] = image;
        image->setDataset(this);
    }

    void Dataset::unregisterImage(Image* image)
    {
        if (!this->images.hasKey(image->getName()))
        {
            throw _ResourceNotExistsException(image->getName(), "Image", this, "src/Dataset", __LINE__);
        }
        this->images.removeKey(image->getName());
    }

    void Dataset::registerTexture(Texture* texture)
    {
        if (this->textures.hasKey(texture->getFilename()))
        {
            throw _ResourceExistsException(texture->getFilename(), "Texture", this, "src/Dataset", __LINE__);
        }
        this->textures[texture->getFilename()] = texture;
    }

    void Dataset::unregisterTexture(Texture* texture)
    {
        if (!this->textures.hasKey(texture->getFilename()))
        {
            throw _ResourceNotExistsException(texture->getFilename(), "Texture", this, "src/Dataset",
                                              __LINE__);
        }
        this->textures.removeKey(texture->getFilename());
    }

    void Dataset::updateTextures(float timeDelta)
    {
        for (auto& pair : this->textures)
        {
            pair.second->update(timeDelta);
        }
    }

    void Dataset::unloadUnusedTextures()
    {
        for (auto& pair : this->textures)
        {
            if (pair.second->isDynamic() && pair.second->getIdleTime() > 1.0f)
            {
                pair.second->unload();
            }
        }
    }

    void Dataset::reloadTextures()
    {
        for (auto& pair : this->textures)
        {
            pair.second->reload(getLocalisedFilename(pair.second->getRequestedFilename()));
        }
    }

    int Dataset::getFocusedObjectIndex() const
    {
        Object* object = this->focusedObject;
        if (object == nullptr || !object->isVisible() || !object->isEnabled() || object->getAlpha() == 0)
        {
            return -1;
        }
        return object->getFocusIndex();
    }
} // namespace tesraui
