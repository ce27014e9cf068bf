#pragma once

#include <kavtypes/Vector3.h>
#include <quortypes/PropertyTable.h>
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
        // Whether updateRun does what update does, so that a space may run this affector over all of its
        // particles before the next affector instead of every affector over one particle at a time. Only
        // the library's own classes say so, and only for themselves: a class derived from one may change
        // update alone.
        virtual bool updatesRuns() const { return false; }
        // update for every live particle of first[0] .. first[count - 1], movements[i] being the movement of
        // first[i].
        virtual void updateRun(Particle* first, int count, float timeDelta, kavtypes::Vector3* movements);
        // Whether an update may draw random numbers. A space runs at most one such affector over runs of
        // particles, so that the numbers are drawn in the same order as one particle at a time.
        virtual bool drawsRandomNumbers() const { return randomnessMin != randomnessMax; }
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
        float _getRandom() const { return randomnessMin == randomnessMax ? randomnessMin : _drawRandom(); }
        float _drawRandom() const;

    private:
        static const PropertyTable<Affector>& _properties();
    };
} // namespace tesraparticle
