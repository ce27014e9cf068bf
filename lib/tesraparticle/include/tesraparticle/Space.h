#pragma once

#include <memory>
#include <vector>

#include <kavtypes/Vector3.h>
#include <quortypes/harray.h>
#include <tesra/Color.h>
#include <tesraparticle/AffectorContainer.h>
#include <tesraparticle/ParticleQueue.h>
#include <tesraparticle/SpaceObject.h>

namespace tesraparticle
{
    class Emitter;
    class Particle;
    class System;

    // Owns emitters and the particles they emit, runs its affectors on the particles and moves them. The
    // affectors belong to the system.
    class Space : public SpaceObject, public AffectorContainer
    {
    public:
        explicit Space(const hstring& name = "");
        // The properties and copies of the emitters; no particles, no affectors, no system.
        Space(const Space& other);
        ~Space() override;
        Space& operator=(const Space&) = delete;

        harray<PropertyInfo> getPropertyDescriptions() const override;
        bool setProperty(const hstring& name, const hstring& value);

        // The space takes the emitter; false when it has it already.
        bool addEmitter(Emitter* emitter);
        harray<Emitter*> getEmitters() const;
        // Front to back in creation order.
        const ParticleQueue& getParticles() const { return this->particles; }
        int getAlive() const { return this->alive; }
        float getTimeRemainder() const { return this->timeRemainder; }
        // Particles plus a step's own share (sixteen), summed over every step run so far.
        long long getWork() const { return this->work; }
        System* getSystem() const { return this->system; }
        void setSystem(System* value) { this->system = value; }
        float getPreUpdate() const { return this->preUpdate; }
        void setPreUpdate(float value) { this->preUpdate = value; }
        float getFixedTimeStep() const { return this->fixedTimeStep; }
        void setFixedTimeStep(float value) { this->fixedTimeStep = value; }
        const kavtypes::Vector3& getUp() const { return this->up; }

        // Steps of fixed_time_step when that is above 0, else one step of timeDelta; nothing while disabled.
        void update(float timeDelta);
        void draw(float x, float y, const tesra::Color& color);
        // Deletes the particles and restarts the emitters; the pre-update runs again at the next step.
        void reset();
        // Takes the emitter's current particle, which it made with _createParticle, applying the affectors
        // over the time offset.
        void addNewParticle(float timeOffset);
        Particle* getCurrentParticle() const { return this->currentParticle; }
        void setCurrentParticle(Particle* value) { this->currentParticle = value; }

    protected:
        // Emitters make their particles in the space's store.
        friend class Emitter;

        float preUpdate = 0.0f;
        float fixedTimeStep = 0.0f;
        kavtypes::Vector3 up = kavtypes::Vector3(0.0f, 1.0f, 0.0f);
        System* system = nullptr;
        std::vector<std::unique_ptr<Emitter>> emitters;
        ParticleQueue particles;
        // The movements of a run of particles while the affectors go over it one after another.
        std::vector<kavtypes::Vector3> runMovements;
        int alive = 0;
        bool started = false;
        kavtypes::Vector3 movement;
        Particle* currentParticle = nullptr;
        float timeRemainder = 0.0f;
        // Particles plus a step's own share, summed over every step: the measure the bounds on a frame's work
        // count in.
        long long work = 0;
        bool preUpdating = false;
        long long preUpdateStart = 0;
        // The part of work that pre-updates did.
        long long preUpdateWork = 0;
        bool stepsCutReported = false;

        void _step(float timeDelta);
        // Frees the dead particles wherever they lie, in the store and in the emitters' lists.
        void _compact();
        // The system's file, for warnings.
        hstring _filename() const;
        // Whether every affector may go over whole runs of particles (see Affector::updatesRuns).
        bool _affectorsTakeRuns() const;
        void _stepRun(Particle* first, int count, float timeDelta);
        void _applyAffectors(Particle* particle, float timeDelta);
        // A new default particle at the back of the store, for the emitter to fill in before it hands it
        // to addNewParticle.
        Particle* _createParticle() { return particles.pushBack(); }

    private:
        static const PropertyTable<Space>& _properties();
    };
} // namespace tesraparticle
