#include <tesrauiparticle/ParticleSpace.h>
#include <tesrauiparticle/ParticleSystem.h>

namespace tesrauiparticle
{
    tesraui::Object* ParticleSystem::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new ParticleSystem(name, rect);
    }

    ParticleSystem::~ParticleSystem()
    {
        harray<ParticleSpace*> objects = this->spaceObjects;
        this->spaceObjects.clear();
        for (ParticleSpace* object : objects)
        {
            object->unbind();
            object->_forgetSystemObject();
        }
    }

    void ParticleSystem::unload()
    {
        this->_unbindSpaceObjects();
        ParticleBase::unload();
    }

    void ParticleSystem::reset()
    {
        this->_unbindSpaceObjects();
        ParticleBase::reset();
    }

    void ParticleSystem::_addSpaceObject(ParticleSpace* object)
    {
        if (this->spaceObjects.indexesOf(object).size() == 0)
        {
            this->spaceObjects.push_back(object);
        }
    }

    void ParticleSystem::_removeSpaceObject(ParticleSpace* object)
    {
        this->spaceObjects.removeAll(object);
    }

    void ParticleSystem::_unbindSpaceObjects()
    {
        for (ParticleSpace* object : this->spaceObjects)
        {
            object->unbind();
        }
    }
} // namespace tesrauiparticle
