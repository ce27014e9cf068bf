#pragma once

#include <quortypes/harray.h>
#include <tesrauiparticle/ParticleBase.h>

namespace tesrauiparticle
{
    class ParticleSpace;

    // Loads a system for ParticleSpace objects to show space by space; it neither runs nor draws it.
    class ParticleSystem : public ParticleBase
    {
    public:
        ParticleSystem(const hstring& name, kavtypes::Rectangle rect) : ParticleBase(name, rect) {}
        // Unbinds its ParticleSpace objects and makes them forget it.
        ~ParticleSystem() override;

        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        hstring getClassName() const override { return "ParticleSystem"; }
        void unload() override;
        void reset() override;

        const harray<ParticleSpace*>& getSpaceObjects() const { return this->spaceObjects; }
        // Kept by the ParticleSpace objects as they bind and unbind.
        void _addSpaceObject(ParticleSpace* object);
        void _removeSpaceObject(ParticleSpace* object);

    protected:
        harray<ParticleSpace*> spaceObjects;

        void _unbindSpaceObjects();
    };
} // namespace tesrauiparticle
