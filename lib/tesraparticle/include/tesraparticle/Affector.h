#pragma once

#include <kavtypes/Vector3.h>
#include <quortypes/PropertyInfo.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>

namespace tesraparticle
{
    class Particle;
    class Space;

    // Changes live particles every step. Systems own their affectors; spaces use them.
    class Affector
    {
    public:
        explicit Affector(const hstring& name = "");
        virtual ~Affector() = default;
        Affector(const Affector&) = delete;
        Affector& operator=(const Affector&) = delete;

        virtual harray<PropertyInfo> getPropertyDescriptions() const;
        // Adds to movement what should move the particle; the space moves it once every affector ran.
        virtual void update(Particle* /*particle*/, float /*timeDelta*/, kavtypes::Vector3& /*movement*/) {}
        // Debug drawing.
        virtual void draw() {}
        // The empty text, after a warning, for a name the affector does not have.
        virtual hstring getProperty(const hstring& name);
        // False, after a warning, for a name the affector does not have.
        virtual bool setProperty(const hstring& name, const hstring& value);

        const hstring& getName() const { return this->name; }
        Space* getSpace() const { return this->space; }
        // The space sets itself before every update.
        void setSpace(Space* value) { this->space = value; }

    protected:
        hstring name;
        float randomnessMin = 1.0f;
        float randomnessMax = 1.0f;
        Space* space = nullptr;

        // One sample of the randomness.
        float _getRandom() const;
    };
} // namespace tesraparticle
