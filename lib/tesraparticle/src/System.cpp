#include <quortypes/exception.h>
#include <tesra/tesra.h>
#include <tesraparticle/Affector.h>
#include <tesraparticle/Emitter.h>
#include <tesraparticle/Space.h>
#include <tesraparticle/System.h>
#include <tesraparticle/Texture.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    System::System(const hstring& filename, const hstring& name)
        : ActiveObject(name != "" ? name : tesra::generateName("System")), filename(filename)
    {
    }

    System::System(const System& other)
        : ActiveObject(other.name), AffectorContainer(), filename(other.filename), loaded(other.loaded)
    {
        this->visible = other.visible;
        this->enabled = other.enabled;
        try
        {
            for (auto& pair : other.textures)
            {
                Texture* record = pair.second != nullptr
                                      ? loadTexture(pair.second->filename, pair.second->cached)
                                      : nullptr;
                if (!this->registerTexture(record, pair.first) && record != nullptr && !record->cached)
                {
                    delete record;
                }
            }
            for (auto& definition : other.affectorDefinitions)
            {
                const hdict<hstring>& attributes = definition.second;
                Affector* affector =
                    createAffector(attributes.tryGet("type", ""), attributes.tryGet("name", ""));
                if (affector == nullptr)
                {
                    continue;
                }
                this->addAffector(affector);
                this->affectorDefinitions.push_back(std::make_pair(affector, attributes));
                for (auto& attribute : attributes)
                {
                    if (attribute.first != "type" && attribute.first != "name")
                    {
                        affector->setProperty(attribute.first, attribute.second);
                    }
                }
            }
            harray<Emitter*> otherEmitters = other.getEmitters();
            for (Space* space : other.spaces)
            {
                this->addSpace(new Space(*space));
            }
            harray<Emitter*> emitters = this->getEmitters();
            for (auto& reference : other.affectorReferences)
            {
                Space* space = this->spaces[other.spaces.indexesOf(reference.first)[0]];
                for (const hstring& name : reference.second)
                {
                    this->_addAffectorReference(space, name);
                }
            }
            for (auto& reference : other.textureReferences)
            {
                this->_setTextureReference(emitters[otherEmitters.indexesOf(reference.first)[0]],
                                           reference.second);
            }
            this->_resolveReferences();
        }
        catch (...)
        {
            this->_clear();
            throw;
        }
    }

    System::~System()
    {
        this->_clear();
    }

    void System::_clear()
    {
        for (Space* space : this->spaces)
        {
            delete space;
        }
        this->spaces.clear();
        for (Affector* affector : this->affectors)
        {
            delete affector;
        }
        this->affectors.clear();
        for (auto& pair : this->textures)
        {
            if (pair.second != nullptr && !pair.second->cached)
            {
                delete pair.second;
            }
        }
        this->textures.clear();
    }

    bool System::addSpace(Space* space)
    {
        if (this->spaces.indexesOf(space).size() > 0)
        {
            return false;
        }
        this->spaces.push_back(space);
        space->setSystem(this);
        return true;
    }

    Space* System::getSpace(const hstring& name) const
    {
        for (Space* space : this->spaces)
        {
            if (space->getName() == name)
            {
                return space;
            }
        }
        return nullptr;
    }

    Emitter* System::getEmitter(const hstring& name) const
    {
        for (Space* space : this->spaces)
        {
            for (Emitter* emitter : space->getEmitters())
            {
                if (emitter->getName() == name)
                {
                    return emitter;
                }
            }
        }
        return nullptr;
    }

    harray<Emitter*> System::getEmitters() const
    {
        harray<Emitter*> result;
        for (Space* space : this->spaces)
        {
            harray<Emitter*> emitters = space->getEmitters();
            result.insert(result.end(), emitters.begin(), emitters.end());
        }
        return result;
    }

    bool System::registerTexture(Texture* texture, const hstring& name)
    {
        hstring key = name != "" ? name : tesra::generateName(this->name + "_Texture");
        if (this->textures.hasKey(key) || (texture != nullptr && this->textures.hasValue(texture)))
        {
            return false;
        }
        this->textures[key] = texture;
        return true;
    }

    void System::update(float timeDelta)
    {
        if (!this->enabled)
        {
            return;
        }
        for (Space* space : this->spaces)
        {
            space->update(timeDelta);
        }
    }

    void System::draw(float x, float y, const tesra::Color& color)
    {
        if (!this->visible || color.a == 0)
        {
            return;
        }
        for (Space* space : this->spaces)
        {
            space->draw(x, y, color);
        }
    }

    void System::reset()
    {
        for (Space* space : this->spaces)
        {
            space->reset();
        }
    }
} // namespace tesraparticle
