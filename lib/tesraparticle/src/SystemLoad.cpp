#include <cmath>
#include <memory>
#include <utility>

#include <quortypes/Dir.h>
#include <quortypes/Log.h>
#include <quortypes/exception.h>
#include <quorxml/Document.h>
#include <quorxml/Node.h>
#include <quorxml/Property.h>
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
        const float MAX_PRE_UPDATE = 60.0f;
        // At most a thousand steps per second of game time.
        const float MIN_FIXED_TIME_STEP = 0.001f;
    } // namespace

    void System::load()
    {
        if (this->filename == "" || this->loaded)
        {
            quortypes::Log::write(logTag, "Already loaded: " + this->filename);
            return;
        }
        quortypes::Log::write(logTag, "Loading system: " + this->filename);
        this->loaded = true;
        quorxml::Document document(this->filename);
        quorxml::Node* root = document.root();
        this->name = "";
        for (quorxml::Property* property = root->firstProperty(); property != nullptr;
             property = property->next())
        {
            ActiveObject::setProperty(property->getName(), property->getValue());
        }
        if (this->name == "")
        {
            for (const hstring& piece : this->filename.split('.'))
            {
                if (piece != "")
                {
                    this->name = piece;
                    break;
                }
            }
        }
        for (quorxml::Node* node = root->firstChild(); node != nullptr; node = node->nextSibling())
        {
            if (*node == "Space")
                this->_readSpace(node);
            else if (*node == "Affector")
                this->_readAffector(node, nullptr);
            else if (*node == "Texture")
                this->_readTexture(node, nullptr);
        }
        this->_resolveReferences();
    }

    void System::_readSpace(quorxml::Node* node)
    {
        Space* space = new Space();
        this->addSpace(space);
        for (quorxml::Property* property = node->firstProperty(); property != nullptr;
             property = property->next())
        {
            space->setProperty(property->getName(), property->getValue());
        }
        this->_boundSpaceTimes(space);
        for (quorxml::Node* child = node->firstChild(); child != nullptr; child = child->nextSibling())
        {
            if (*child == "Emitter")
                this->_readEmitter(child, space);
            else if (*child == "Affector")
                this->_readAffector(child, space);
        }
    }

    void System::_boundSpaceTimes(Space* space)
    {
        // The first update runs the whole pre-update, and every update as many fixed steps as fit into its
        // time: unbounded, a file could freeze the game in either.
        float preUpdate = space->getPreUpdate();
        if (!(preUpdate <= MAX_PRE_UPDATE) && !std::isnan(preUpdate))
        {
            quortypes::Log::warnf(logTag, "Space '%s' in '%s': pre_update %g is above %g seconds, using %g.",
                                  space->getName().c_str(), this->filename.c_str(), preUpdate, MAX_PRE_UPDATE,
                                  MAX_PRE_UPDATE);
            space->setPreUpdate(MAX_PRE_UPDATE);
        }
        float step = space->getFixedTimeStep();
        if (step > 0.0f && step < MIN_FIXED_TIME_STEP)
        {
            quortypes::Log::warnf(logTag,
                                  "Space '%s' in '%s': fixed_time_step %g is below %g seconds, using %g.",
                                  space->getName().c_str(), this->filename.c_str(), step, MIN_FIXED_TIME_STEP,
                                  MIN_FIXED_TIME_STEP);
            space->setFixedTimeStep(MIN_FIXED_TIME_STEP);
        }
    }

    void System::_readEmitter(quorxml::Node* node, Space* space)
    {
        Emitter* emitter = new Emitter();
        space->addEmitter(emitter);
        for (quorxml::Property* property = node->firstProperty(); property != nullptr;
             property = property->next())
        {
            emitter->setProperty(property->getName(), property->getValue());
        }
        this->_boundEmitterValues(emitter);
        for (quorxml::Node* child = node->firstChild(); child != nullptr; child = child->nextSibling())
        {
            if (*child == "Texture")
            {
                this->_readTexture(child, emitter);
            }
        }
    }

    void System::_boundEmitterValues(Emitter* emitter)
    {
        // The factor weighs the colour from none to all of it; what lies outside draws as the nearer end.
        const float factor = emitter->getColorModeFactor();
        if (!(factor >= 0.0f && factor <= 1.0f))
        {
            const float held = (std::isnan(factor) ? 0.0f : (factor < 0.0f ? 0.0f : 1.0f));
            quortypes::Log::warnf(logTag,
                                  "Emitter '%s' in '%s': color_mode_factor %g is outside 0 to 1, using %g.",
                                  emitter->getName().c_str(), this->filename.c_str(), factor, held);
            emitter->setColorModeFactor(held);
        }
    }

    void System::_readAffector(quorxml::Node* node, Space* space)
    {
        hstring reference;
        if (node->hasProperty("type"))
        {
            hdict<hstring> attributes;
            for (quorxml::Property* property = node->firstProperty(); property != nullptr;
                 property = property->next())
            {
                attributes[property->getName()] = property->getValue();
            }
            hstring typeName = attributes["type"];
            if (attributes.hasKey("timings"))
            {
                typeName += "Timed";
            }
            attributes["type"] = typeName;
            std::unique_ptr<Affector> owned = createAffector(typeName, attributes.tryGet("name", ""));
            if (owned == nullptr)
            {
                throw quortypes::exception("Affector type '" + typeName + " does not exist!", __FILE__,
                                           __LINE__);
            }
            Affector* affector = owned.get();
            this->_addOwnedAffector(std::move(owned));
            attributes["name"] = affector->getName();
            this->affectorDefinitions.push_back(std::make_pair(affector, attributes));
            for (auto& attribute : attributes)
            {
                if (attribute.first != "type")
                {
                    affector->setProperty(attribute.first, attribute.second);
                }
            }
            reference = affector->getName();
        }
        else if (node->hasProperty("reference"))
        {
            reference = node->getString("reference");
        }
        else
        {
            return;
        }
        if (space != nullptr)
        {
            this->_addAffectorReference(space, reference);
        }
    }

    void System::_readTexture(quorxml::Node* node, Emitter* emitter)
    {
        hstring textureName;
        if (node->hasProperty("filename"))
        {
            hstring file = node->getString("filename");
            textureName = node->getString("name", file);
            hstring path = quortypes::Dir::joinPath(quortypes::Dir::baseDir(this->filename), file);
            this->_registerLoadedTexture(loadTexture(path, node->getBool("cached", false)), textureName);
        }
        else if (node->hasProperty("reference"))
        {
            textureName = node->getString("reference");
        }
        else
        {
            return;
        }
        if (emitter != nullptr)
        {
            this->_setTextureReference(emitter, textureName);
        }
    }

    void System::_addAffectorReference(Space* space, const hstring& name)
    {
        for (auto& pair : this->affectorReferences)
        {
            if (pair.first == space)
            {
                pair.second.push_back(name);
                return;
            }
        }
        this->affectorReferences.push_back(std::make_pair(space, harray<hstring>{name}));
    }

    void System::_setTextureReference(Emitter* emitter, const hstring& name)
    {
        for (auto& pair : this->textureReferences)
        {
            if (pair.first == emitter)
            {
                pair.second = name;
                return;
            }
        }
        this->textureReferences.push_back(std::make_pair(emitter, name));
    }

    void System::_resolveReferences()
    {
        for (auto& pair : this->affectorReferences)
        {
            for (const hstring& name : pair.second)
            {
                Affector* affector = this->getAffector(name);
                if (affector == nullptr)
                {
                    throw quortypes::exception("Affector reference '" + name + "' does not exist!", __FILE__,
                                               __LINE__);
                }
                pair.first->addAffector(affector);
            }
        }
        for (auto& pair : this->textureReferences)
        {
            Texture* texture = this->textures.tryGet(pair.second, nullptr);
            if (texture == nullptr)
            {
                throw quortypes::exception("Texture reference '" + pair.second + "' does not exist!",
                                           __FILE__, __LINE__);
            }
            pair.first->setTexture(texture->texture.get());
        }
    }
} // namespace tesraparticle
