#include <quortypes/Log.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraparticle/Space.h>
#include <tesraparticle/System.h>
#include <tesraui/Dataset.h>
#include <tesrauiparticle/ParticleEmitter.h>
#include <tesrauiparticle/ParticleSpace.h>
#include <tesrauiparticle/ParticleSystem.h>
#include <tesrauiparticle/tesrauiparticle.h>

#include "module.h"

namespace tesrauiparticle
{
    tesraui::Object* ParticleSpace::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new ParticleSpace(name, rect);
    }

    ParticleSpace::~ParticleSpace()
    {
        if (this->systemObject != nullptr)
        {
            this->systemObject->_removeSpaceObject(this);
        }
        harray<ParticleEmitter*> objects = this->emitterObjects;
        this->emitterObjects.clear();
        for (ParticleEmitter* object : objects)
        {
            object->_forgetSpaceObject();
        }
    }

    void ParticleSpace::notifyEvent(const hstring& type, void* args)
    {
        if (type == "Resized" && this->space != nullptr)
        {
            resizeEmitterBoxes(this->space->getEmitters(), this->rect.w, this->rect.h);
        }
        tesraui::Object::notifyEvent(type, args);
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(ParticleSpace, tesraui::Object, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(ParticleSpace, tesraui::Object, _properties)

    const PropertyTable<ParticleSpace>& ParticleSpace::_properties()
    {
        static const PropertyTable<ParticleSpace> table = {
            {"system_object", PropertyInfo::STRING, [](ParticleSpace& p) { return p.systemObjectName; },
             [](ParticleSpace& p, const hstring& value) { p.systemObjectName = value; }},
            {"space", PropertyInfo::STRING, [](ParticleSpace& p) { return p.spaceName; },
             [](ParticleSpace& p, const hstring& value) { p.spaceName = value; }},
        };
        return table;
    }

    void ParticleSpace::update(float timeDelta)
    {
        this->_bindSystemObject();
        this->_bindSpace();
        harray<ParticleEmitter*> objects = this->emitterObjects;
        for (ParticleEmitter* object : objects)
        {
            object->_bindEmitter();
        }
        if (this->space != nullptr)
        {
            this->space->setEnabled(this->isDerivedEnabled());
            this->space->update(timeDelta);
        }
        tesraui::Object::update(timeDelta);
    }

    void ParticleSpace::_bindSystemObject()
    {
        if (this->dataset == nullptr ||
            (this->systemObject != nullptr && this->systemObject->getName() == this->systemObjectName))
        {
            return;
        }
        if (this->systemObject != nullptr)
        {
            this->systemObject->_removeSpaceObject(this);
            this->systemObject = nullptr;
        }
        this->unbind();
        if (this->systemObjectName == "")
        {
            return;
        }
        ParticleSystem* found =
            dynamic_cast<ParticleSystem*>(this->dataset->tryGetObject(this->systemObjectName));
        if (found == nullptr)
        {
            quortypes::Log::warnf(
                logTag, "ParticleSpace '%s': referenced object '%s' not a subclass of ParticleSystem!",
                this->name.c_str(), this->systemObjectName.c_str());
            this->systemObjectName = "";
            this->spaceName = "";
            return;
        }
        this->systemObject = found;
        found->_addSpaceObject(this);
    }

    void ParticleSpace::_bindSpace()
    {
        if (this->systemObject == nullptr ||
            (this->space != nullptr && this->space->getName() == this->spaceName))
        {
            return;
        }
        this->unbind();
        tesraparticle::System* system = this->systemObject->getSystem();
        if (this->spaceName == "" || system == nullptr)
        {
            return;
        }
        this->space = system->getSpace(this->spaceName);
        if (this->space == nullptr)
        {
            quortypes::Log::warnf(
                logTag, "ParticleSpace '%s': cannot find space '%s' in ParticleSystem '%s'!",
                this->name.c_str(), this->spaceName.c_str(), this->systemObject->getName().c_str());
            this->spaceName = "";
        }
    }

    void ParticleSpace::unbind()
    {
        this->space = nullptr;
        for (ParticleEmitter* object : this->emitterObjects)
        {
            object->_forgetEmitter();
        }
    }

    void ParticleSpace::_forgetSystemObject()
    {
        this->systemObject = nullptr;
        this->unbind();
    }

    void ParticleSpace::_addEmitterObject(ParticleEmitter* object)
    {
        if (this->emitterObjects.indexesOf(object).size() == 0)
        {
            this->emitterObjects.push_back(object);
        }
    }

    void ParticleSpace::_removeEmitterObject(ParticleEmitter* object)
    {
        this->emitterObjects.removeAll(object);
    }

    void ParticleSpace::_draw()
    {
        kavtypes::Rectangle rect = this->getDrawRect();
        if (this->space != nullptr)
        {
            this->space->setVisible(this->visible && this->color.a > 0);
            kavtypes::Vector2 center = rect.getCenter();
            this->space->draw(center.x, center.y, this->getDerivedColor());
            tesra::rendersys->setTextureBlendMode(tesra::BlendMode::DEFAULT);
        }
        drawDebugRect(rect);
    }
} // namespace tesrauiparticle
