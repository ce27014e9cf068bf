#pragma once

#include <kavtypes/Vector2.h>
#include <kavtypes/Vector3.h>
#include <quortypes/PropertyTable.h>
#include <tesraui/Object.h>

namespace tesraparticle
{
    class Emitter;
}

namespace tesrauiparticle
{
    class ParticleSpace;

    // Binds to an emitter of the space a ParticleSpace object shows, and moves, turns and scales it with
    // itself.
    class ParticleEmitter : public tesraui::Object
    {
    public:
        ParticleEmitter(const hstring& name, kavtypes::Rectangle rect) : tesraui::Object(name, rect) {}
        // Leaves its ParticleSpace.
        ~ParticleEmitter() override;

        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        void notifyEvent(const hstring& type, void* args) override;
        hstring getClassName() const override { return "ParticleEmitter"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        void update(float timeDelta) override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        void _draw() override;

        const hstring& getSpaceObjectName() const { return this->spaceObjectName; }
        const hstring& getEmitterName() const { return this->emitterName; }
        ParticleSpace* getSpaceObject() const { return this->spaceObject; }
        tesraparticle::Emitter* getEmitter() const { return this->emitter; }

        // Binds the emitter by name through the bound ParticleSpace, capturing the placement.
        void _bindEmitter();
        void _forgetEmitter() { this->emitter = nullptr; }
        void _forgetSpaceObject();

    protected:
        hstring spaceObjectName;
        hstring emitterName;
        ParticleSpace* spaceObject = nullptr;
        tesraparticle::Emitter* emitter = nullptr;
        // The placement when the emitter was bound.
        kavtypes::Vector2 offset;
        float angle0 = 0.0f;
        kavtypes::Vector3 position0;
        kavtypes::Vector3 directionMin0;
        kavtypes::Vector3 directionMax0;
        kavtypes::Vector2 sizeMin0;
        kavtypes::Vector2 sizeMax0;

        void _bindSpaceObject();
        // Follows the object's place, angle and scale.
        void _place();

    private:
        static const PropertyTable<ParticleEmitter>& _properties();
    };
} // namespace tesrauiparticle
