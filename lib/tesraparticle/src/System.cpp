#include <memory>
#include <utility>

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
    namespace
    {
        size_t indexOf(const std::vector<std::unique_ptr<Space>>& spaces, Space* space)
        {
            size_t index = 0;
            while (index < spaces.size() && spaces[index].get() != space)
            {
                ++index;
            }
            return index;
        }
    } // namespace

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
                this->_registerLoadedTexture(record, pair.first);
            }
            for (auto& definition : other.affectorDefinitions)
            {
                const hdict<hstring>& attributes = definition.second;
                std::unique_ptr<Affector> owned =
                    createAffector(attributes.tryGet("type", ""), attributes.tryGet("name", ""));
                if (owned == nullptr)
                {
                    continue;
                }
                Affector* affector = owned.get();
                this->_addOwnedAffector(std::move(owned));
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
            for (const std::unique_ptr<Space>& space : other.spaces)
            {
                this->addSpace(new Space(*space));
            }
            harray<Emitter*> emitters = this->getEmitters();
            for (auto& reference : other.affectorReferences)
            {
                Space* space = this->spaces[indexOf(other.spaces, reference.first)].get();
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
        // Spaces, affectors and records each go in the order they are listed in.
        for (std::unique_ptr<Space>& space : this->spaces)
        {
            space.reset();
        }
        this->spaces.clear();
        for (std::unique_ptr<Affector>& affector : this->ownedAffectors)
        {
            affector.reset();
        }
        this->ownedAffectors.clear();
        this->affectors.clear();
        for (auto& pair : this->textures)
        {
            for (std::unique_ptr<Texture>& owned : this->ownedTextures)
            {
                if (owned.get() == pair.second)
                {
                    owned.reset();
                }
            }
        }
        this->ownedTextures.clear();
        this->textures.clear();
    }

    void System::_addOwnedAffector(std::unique_ptr<Affector> affector)
    {
        this->addAffector(affector.get());
        this->ownedAffectors.push_back(std::move(affector));
    }

    bool System::addSpace(Space* space)
    {
        if (indexOf(this->spaces, space) < this->spaces.size())
        {
            return false;
        }
        this->spaces.emplace_back(space);
        space->setSystem(this);
        return true;
    }

    harray<Space*> System::getSpaces() const
    {
        harray<Space*> result;
        for (const std::unique_ptr<Space>& space : this->spaces)
        {
            result.push_back(space.get());
        }
        return result;
    }

    Space* System::getSpace(const hstring& name) const
    {
        for (const std::unique_ptr<Space>& space : this->spaces)
        {
            if (space->getName() == name)
            {
                return space.get();
            }
        }
        return nullptr;
    }

    Emitter* System::getEmitter(const hstring& name) const
    {
        for (const std::unique_ptr<Space>& space : this->spaces)
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
        for (const std::unique_ptr<Space>& space : this->spaces)
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

    bool System::registerTexture(std::unique_ptr<Texture> texture, const hstring& name)
    {
        if (!this->registerTexture(texture.get(), name))
        {
            return false;
        }
        if (texture != nullptr)
        {
            this->ownedTextures.push_back(std::move(texture));
        }
        return true;
    }

    bool System::_registerLoadedTexture(Texture* record, const hstring& name)
    {
        if (record != nullptr && !record->cached)
        {
            return this->registerTexture(std::unique_ptr<Texture>(record), name);
        }
        return this->registerTexture(record, name);
    }

    void System::update(float timeDelta)
    {
        if (!this->enabled)
        {
            return;
        }
        for (const std::unique_ptr<Space>& space : this->spaces)
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
        for (const std::unique_ptr<Space>& space : this->spaces)
        {
            space->draw(x, y, color);
        }
    }

    void System::reset()
    {
        for (const std::unique_ptr<Space>& space : this->spaces)
        {
            space->reset();
        }
    }
} // namespace tesraparticle
