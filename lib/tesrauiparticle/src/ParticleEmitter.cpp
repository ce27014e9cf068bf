#include <quortypes/Log.h>
#include <tesraparticle/Emitter.h>
#include <tesraparticle/System.h>
#include <tesraui/Dataset.h>
#include <tesrauiparticle/ParticleEmitter.h>
#include <tesrauiparticle/ParticleSpace.h>
#include <tesrauiparticle/ParticleSystem.h>
#include <tesrauiparticle/tesrauiparticle.h>

#include "module.h"

namespace tesrauiparticle
{
    namespace
    {
        kavtypes::Vector3 turned(const kavtypes::Vector3& vector, float degrees)
        {
            kavtypes::Vector2 xy = kavtypes::Vector2(vector.x, vector.y).rotated(degrees);
            return kavtypes::Vector3(xy.x, xy.y, vector.z);
        }
    } // namespace

    tesraui::Object* ParticleEmitter::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new ParticleEmitter(name, rect);
    }

    ParticleEmitter::~ParticleEmitter()
    {
        if (this->spaceObject != nullptr)
        {
            this->spaceObject->_removeEmitterObject(this);
        }
    }

    void ParticleEmitter::notifyEvent(const hstring& type, void* args)
    {
        if (type == "OnEnableChanged" && this->emitter != nullptr)
        {
            this->emitter->setEnabled(this->isDerivedEnabled());
        }
        tesraui::Object::notifyEvent(type, args);
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(ParticleEmitter, tesraui::Object, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(ParticleEmitter, tesraui::Object, _properties)

    const PropertyTable<ParticleEmitter>& ParticleEmitter::_properties()
    {
        static const PropertyTable<ParticleEmitter> table = {
            {"space_object", PropertyInfo::STRING, [](ParticleEmitter& p) { return p.spaceObjectName; },
             [](ParticleEmitter& p, const hstring& value) { p.spaceObjectName = value; }},
            {"emitter", PropertyInfo::STRING, [](ParticleEmitter& p) { return p.emitterName; },
             [](ParticleEmitter& p, const hstring& value) { p.emitterName = value; }},
        };
        return table;
    }

    void ParticleEmitter::update(float timeDelta)
    {
        this->_bindSpaceObject();
        this->_bindEmitter();
        if (this->emitter != nullptr)
        {
            this->emitter->setEnabled(this->isDerivedEnabled());
        }
        tesraui::Object::update(timeDelta);
    }

    void ParticleEmitter::_bindSpaceObject()
    {
        if (this->dataset == nullptr ||
            (this->spaceObject != nullptr && this->spaceObject->getName() == this->spaceObjectName))
        {
            return;
        }
        this->_forgetSpaceObject();
        if (this->spaceObjectName == "")
        {
            return;
        }
        ParticleSpace* found =
            dynamic_cast<ParticleSpace*>(this->dataset->tryGetObject(this->spaceObjectName));
        if (found == nullptr)
        {
            quortypes::Log::warnf(
                logTag, "ParticleEmitter '%s': referenced object '%s' not a subclass of ParticleSpace!",
                this->name.c_str(), this->spaceObjectName.c_str());
            this->spaceObjectName = "";
            this->emitterName = "";
            return;
        }
        this->spaceObject = found;
        found->_addEmitterObject(this);
    }

    void ParticleEmitter::_forgetSpaceObject()
    {
        if (this->spaceObject != nullptr)
        {
            this->spaceObject->_removeEmitterObject(this);
            this->spaceObject = nullptr;
        }
        this->emitter = nullptr;
    }

    void ParticleEmitter::_bindEmitter()
    {
        if (this->spaceObject == nullptr ||
            (this->emitter != nullptr && this->emitter->getName() == this->emitterName))
        {
            return;
        }
        this->emitter = nullptr;
        ParticleSystem* systemObject = this->spaceObject->getSystemObject();
        if (this->emitterName == "" || systemObject == nullptr || systemObject->getSystem() == nullptr)
        {
            return;
        }
        this->emitter = systemObject->getSystem()->getEmitter(this->emitterName);
        if (this->emitter == nullptr)
        {
            quortypes::Log::warnf(
                logTag, "ParticleEmitter '%s': cannot find emitter '%s' in ParticleSpace '%s'!",
                this->name.c_str(), this->emitterName.c_str(), this->spaceObject->getName().c_str());
            this->spaceObjectName = "";
            this->emitterName = "";
            return;
        }
        this->offset = this->spaceObject->transformToLocalSpace(this->getDerivedCenter());
        this->emitter->setPosition(kavtypes::Vector3(this->offset.x, this->offset.y, 0.0f));
        kavtypes::Vector3 dimensions = this->emitter->getDimensions();
        if (this->rect.w > 0.0f)
            dimensions.x = this->rect.w;
        if (this->rect.h > 0.0f)
            dimensions.y = this->rect.h;
        this->emitter->setDimensions(dimensions);
        this->angle0 = this->getDerivedAngle();
        this->position0 = this->emitter->getPosition();
        this->directionMin0 = this->emitter->getDirection().min;
        this->directionMax0 = this->emitter->getDirection().max;
        this->sizeMin0 = this->emitter->getSize().min;
        this->sizeMax0 = this->emitter->getSize().max;
        this->_place();
    }

    void ParticleEmitter::_place()
    {
        kavtypes::Vector2 local = this->spaceObject->transformToLocalSpace(this->getDerivedCenter());
        kavtypes::Vector2 shift = local - this->offset - this->spaceObject->getDrawRect().getSize() * 0.5f;
        this->emitter->setPosition(this->position0 + kavtypes::Vector3(shift.x, shift.y, 0.0f));
        float turn = this->angle0 - this->getDerivedAngle();
        this->emitter->setDirection({turned(this->directionMin0, turn), turned(this->directionMax0, turn)});
        kavtypes::Vector2 factor = this->getDerivedScale() / this->spaceObject->getDerivedScale();
        this->emitter->setSize({this->sizeMin0 * factor, this->sizeMax0 * factor});
    }

    void ParticleEmitter::_draw()
    {
        if (this->spaceObject != nullptr && this->emitter != nullptr)
        {
            this->_place();
        }
        drawDebugRect(this->getDrawRect());
    }
} // namespace tesrauiparticle
