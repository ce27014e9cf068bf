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

    harray<PropertyInfo> ParticleSpace::getPropertyDescriptions() const
    {
        static const harray<PropertyInfo> own = {PropertyInfo("system_object", PropertyInfo::STRING),
                                                 PropertyInfo("space", PropertyInfo::STRING)};
        return tesraui::Object::getPropertyDescriptions() + own;
    }

    hstring ParticleSpace::getProperty(const hstring& name)
    {
        if (name == "system_object")
            return this->systemObjectName;
        if (name == "space")
            return this->spaceName;
        return tesraui::Object::getProperty(name);
    }

    bool ParticleSpace::setProperty(const hstring& name, const hstring& value)
    {
        if (name == "system_object")
            this->systemObjectName = value;
        else if (name == "space")
            this->spaceName = value;
        else
            return tesraui::Object::setProperty(name, value);
        return true;
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
