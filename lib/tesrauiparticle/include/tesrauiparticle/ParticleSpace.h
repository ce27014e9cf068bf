#pragma once

#include <quortypes/PropertyTable.h>
#include <quortypes/harray.h>
#include <tesraui/Object.h>

namespace tesraparticle
{
    class Space;
}

namespace tesrauiparticle
{
    class ParticleEmitter;
    class ParticleSystem;

    // Runs and draws one space of the system of a ParticleSystem object of its dataset; binds by name at
    // its updates.
    class ParticleSpace : public tesraui::Object
    {
    public:
        ParticleSpace(const hstring& name, kavtypes::Rectangle rect) : tesraui::Object(name, rect) {}
        // Leaves its ParticleSystem and makes its ParticleEmitter objects forget it.
        ~ParticleSpace() override;

        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        void notifyEvent(const hstring& type, void* args) override;
        hstring getClassName() const override { return "ParticleSpace"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        void update(float timeDelta) override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        void _draw() override;

        // Forgets the space, and its ParticleEmitter objects their emitters; they bind again at the next
        // update.
        void unbind();

        const hstring& getSystemObjectName() const { return this->systemObjectName; }
        const hstring& getSpaceName() const { return this->spaceName; }
        ParticleSystem* getSystemObject() const { return this->systemObject; }
        tesraparticle::Space* getSpace() const { return this->space; }
        const harray<ParticleEmitter*>& getEmitterObjects() const { return this->emitterObjects; }

        // Kept by the ParticleEmitter objects and the ParticleSystem as they bind and go.
        void _addEmitterObject(ParticleEmitter* object);
        void _removeEmitterObject(ParticleEmitter* object);
        void _forgetSystemObject();

    protected:
        hstring systemObjectName;
        hstring spaceName;
        ParticleSystem* systemObject = nullptr;
        tesraparticle::Space* space = nullptr;
        harray<ParticleEmitter*> emitterObjects;

        void _bindSystemObject();
        void _bindSpace();

    private:
        static const PropertyTable<ParticleSpace>& _properties();
    };
} // namespace tesrauiparticle
