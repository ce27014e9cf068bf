#include <algorithm>
#include <memory>
#include <vector>

#include <quortypes/Log.h>
#include <quortypes/util.h>
#include <tesra/tesra.h>
#include <tesraparticle/Affector.h>
#include <tesraparticle/Emitter.h>
#include <tesraparticle/Particle.h>
#include <tesraparticle/Space.h>
#include <tesraparticle/System.h>
#include <tesraparticle/tesraparticle.h>

#include "ParticleLanes.h"

namespace tesraparticle
{
    namespace
    {
        // Truncation that stays defined for counts past the int range (and NaN, which counts none).
        int truncateCount(float value)
        {
            return value >= 2147483520.0f ? 2147483520 : (value > 0.0f ? (int)value : 0);
        }

        // The work of a step is counted as its particles plus what a step costs besides them, about as much
        // as sixteen particles. An update's steps stop at either bound (after the first step), losing the
        // time they would have covered, so that a tiny fixed_time_step or a crowded space slows down instead
        // of stalling the frame.
        const int STEP_WORK = 16;
        const int MAX_STEPS_PER_UPDATE = 100;
        const long long MAX_UPDATE_WORK = 250000;
        // The pre-update runs within one frame too; it stops early at this bound.
        const long long MAX_PRE_UPDATE_WORK = 1000000;
        // A store this large is compacted once half of it is dead particles: below it, or below half, what
        // they waste stays within a bound of what lives.
        const int MIN_COMPACTED = 4 * ParticleQueue::BlockSize;
    } // namespace

    Space::Space(const hstring& name) : SpaceObject(name != "" ? name : tesra::generateName("Space")) {}

    Space::Space(const Space& other)
        : SpaceObject(other.name), AffectorContainer(), preUpdate(other.preUpdate),
          fixedTimeStep(other.fixedTimeStep), up(other.up)
    {
        this->visible = other.visible;
        this->enabled = other.enabled;
        this->position = other.position;
        for (const std::unique_ptr<Emitter>& emitter : other.emitters)
        {
            this->addEmitter(new Emitter(*emitter));
        }
    }

    Space::~Space()
    {
        // The particles go before the emitters that list them, and the emitters in their order.
        particles.clear();
        for (std::unique_ptr<Emitter>& emitter : this->emitters)
        {
            emitter.reset();
        }
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(Space, SpaceObject, _properties)
    QUORTYPES_PROPERTY_TABLE_SET(Space, SpaceObject, _properties)

    const PropertyTable<Space>& Space::_properties()
    {
        static const PropertyTable<Space> table = {
            {"pre_update", PropertyInfo::FLOAT, nullptr,
             [](Space& s, const hstring& value) { s.preUpdate = value.toFloat(); }},
            {"fixed_time_step", PropertyInfo::FLOAT, nullptr,
             [](Space& s, const hstring& value) { s.fixedTimeStep = value.toFloat(); }},
            {"up", PropertyInfo::COLOR, nullptr,
             [](Space& s, const hstring& value) { s.up = str_to_gvec3(value); }},
        };
        return table;
    }

    bool Space::addEmitter(Emitter* emitter)
    {
        for (const std::unique_ptr<Emitter>& held : this->emitters)
        {
            if (held.get() == emitter)
            {
                return false;
            }
        }
        this->emitters.emplace_back(emitter);
        emitter->setSpace(this);
        return true;
    }

    harray<Emitter*> Space::getEmitters() const
    {
        harray<Emitter*> result;
        for (const std::unique_ptr<Emitter>& emitter : this->emitters)
        {
            result.push_back(emitter.get());
        }
        return result;
    }

    void Space::update(float timeDelta)
    {
        if (!this->enabled)
        {
            return;
        }
        if (this->fixedTimeStep <= 0.0f)
        {
            this->_step(timeDelta);
            return;
        }
        this->timeRemainder += timeDelta;
        int count = truncateCount(this->timeRemainder / this->fixedTimeStep);
        this->timeRemainder -= count * this->fixedTimeStep;
        // A first step may run the pre-update, which is bounded on its own.
        const long long start = work - preUpdateWork;
        for (int i = 0; i < count; ++i)
        {
            if (preUpdating)
            {
                // The pre-update's own bound; it reports the cut.
                if (work - preUpdateStart >= MAX_PRE_UPDATE_WORK)
                {
                    break;
                }
            }
            else if (i > 0 && (i >= MAX_STEPS_PER_UPDATE || work - preUpdateWork - start >= MAX_UPDATE_WORK))
            {
                if (!stepsCutReported)
                {
                    stepsCutReported = true;
                    quortypes::Log::warnf(logTag,
                                          "Space '%s' in '%s': %d steps of %g seconds in one update are too "
                                          "much work, running %d.",
                                          name.c_str(), _filename().c_str(), count, fixedTimeStep, i);
                }
                break;
            }
            this->_step(this->fixedTimeStep);
        }
    }

    hstring Space::_filename() const
    {
        return system != nullptr ? system->getFilename() : hstring();
    }

    void Space::_step(float timeDelta)
    {
        if (!this->started)
        {
            this->started = true;
            if (this->preUpdate > 0.0f)
            {
                preUpdating = true;
                preUpdateStart = work;
                int runs = truncateCount(this->preUpdate * 10.0f);
                for (int i = 0; i < runs && work - preUpdateStart < MAX_PRE_UPDATE_WORK; ++i)
                {
                    this->update(0.05f);
                }
                if (this->preUpdate != (float)runs && work - preUpdateStart < MAX_PRE_UPDATE_WORK)
                {
                    float rest = quortypes::modPositive(this->preUpdate, 0.05f);
                    if (rest > 0.0f)
                    {
                        this->update(rest);
                    }
                }
                preUpdating = false;
                preUpdateWork += work - preUpdateStart;
                if (work - preUpdateStart >= MAX_PRE_UPDATE_WORK)
                {
                    quortypes::Log::warnf(
                        logTag,
                        "Space '%s' in '%s': pre_update %g is too much work for one frame, stopped early.",
                        name.c_str(), _filename().c_str(), preUpdate);
                }
            }
        }
        this->alive = 0;
        const bool runs = _affectorsTakeRuns();
        if (runs)
        {
            particles.forEachRun([this, timeDelta](Particle* first, int count)
                                 { _stepRun(first, count, timeDelta); });
        }
        else
        {
            for (Particle* particle : this->particles)
            {
                particle->timer += timeDelta;
                if (!particle->isDead())
                {
                    this->movement.set(0.0f, 0.0f, 0.0f);
                    this->_applyAffectors(particle, timeDelta);
                    particle->position += this->movement + particle->direction * timeDelta;
                    ++this->alive;
                }
            }
        }
        // A sole emitter listing as many particles as the space has lists the space's particles (they are
        // made by its emitters). Over runs no affector touched a particle but its own, so their live count
        // still holds when the emitter would count them again, walking every record once more.
        const bool counted = runs && this->emitters.size() == 1 &&
                             this->emitters[0]->particles.size() == this->particles.size();
        const int deadBefore = this->particles.size() - this->alive;
        for (const std::unique_ptr<Emitter>& emitter : this->emitters)
        {
            emitter->_update(timeDelta, counted ? this->alive : -1);
        }
        int dead = 0;
        while (dead < this->particles.size() && this->particles[dead]->isDead())
        {
            ++dead;
        }
        if (dead > 0)
        {
            // A particle born dead (life 0 or less) is still listed by its emitter, which only drops dead
            // particles before it emits. Whatever dies here is at the front of its emitter's list too, as
            // both lists run in creation order.
            for (const std::unique_ptr<Emitter>& emitter : this->emitters)
            {
                emitter->_dropDeadParticles();
            }
        }
        particles.popFront(dead);
        // The particles dropped here were made or moved in this step too: a space whose particles are born
        // dead works as hard as one that keeps them.
        work += particles.size() + dead + STEP_WORK;
        // Dead particles behind a live one (a lasting glow made first) would otherwise pile up for as long as
        // it lives. Those born dead in this step are counted in the next.
        const int deadBehind = deadBefore - dead;
        if (this->particles.size() >= MIN_COMPACTED && deadBehind * 2 >= this->particles.size())
        {
            work += particles.size();
            this->_compact();
        }
    }

    void Space::_compact()
    {
        // The emitters let go of their dead first, while every record still lies where they point. Each
        // emitter's list then runs in the order of the store, so the record moved next is the next one of
        // one of the lists.
        std::vector<int> next(this->emitters.size(), 0);
        for (const std::unique_ptr<Emitter>& emitter : this->emitters)
        {
            hdeque<Particle*>& listed = emitter->particles;
            listed.erase(std::remove_if(listed.begin(), listed.end(),
                                        [](const Particle* particle) { return particle->isDead(); }),
                         listed.end());
        }
        this->particles.compact(
            [this, &next](Particle* from, Particle* to)
            {
                for (size_t e = 0; e < next.size(); ++e)
                {
                    hdeque<Particle*>& listed = this->emitters[e]->particles;
                    if (next[e] < listed.size() && listed[next[e]] == from)
                    {
                        listed[next[e]++] = to;
                        return;
                    }
                }
            });
    }

    bool Space::_affectorsTakeRuns() const
    {
        int drawing = 0;
        for (Affector* affector : affectors)
        {
            if (!affector->updatesRuns())
            {
                return false;
            }
            drawing += affector->drawsRandomNumbers() ? 1 : 0;
        }
        return drawing <= 1;
    }

    // The same work as one particle at a time, affector after affector over the run instead: each particle
    // still meets the affectors in their order, and no affector looks at another particle.
    void Space::_stepRun(Particle* first, int count, float timeDelta)
    {
        // One spare movement: the last one may be read as four floats.
        runMovements.resize(ParticleQueue::BlockSize + 1);
        kavtypes::Vector3* movements = runMovements.data();
        for (int i = 0; i < count; ++i)
        {
            first[i].timer += timeDelta;
            movements[i].set(0.0f, 0.0f, 0.0f);
        }
        for (Affector* affector : affectors)
        {
            affector->setSpace(this);
            affector->updateRun(first, count, timeDelta, movements);
        }
        int live = 0;
        for (int i = 0; i < count; ++i)
        {
            Particle& particle = first[i];
            if (!particle.isDead())
            {
#if TESRAPARTICLE_LANES
                // The three sums in the lanes of one register: four floats are read from where each vector
                // starts, all within the record (or the spare movement), and the fourth written back as read.
                float* position = &particle.position.x;
                const __m128 place = _mm_loadu_ps(position);
                const __m128 step =
                    _mm_add_ps(_mm_loadu_ps(&movements[i].x),
                               _mm_mul_ps(_mm_loadu_ps(&particle.direction.x), _mm_set1_ps(timeDelta)));
                const __m128 sum = _mm_add_ps(place, step);
                // sum's x, y and z, place's fourth float.
                const __m128 high = _mm_shuffle_ps(sum, place, _MM_SHUFFLE(3, 3, 2, 2));
                _mm_storeu_ps(position, _mm_shuffle_ps(sum, high, _MM_SHUFFLE(2, 0, 1, 0)));
#else
                particle.position += movements[i] + particle.direction * timeDelta;
#endif
                ++live;
            }
        }
        alive += live;
    }

    void Space::_applyAffectors(Particle* particle, float timeDelta)
    {
        for (Affector* affector : this->affectors)
        {
            affector->setSpace(this);
            affector->update(particle, timeDelta, this->movement);
        }
    }

    void Space::addNewParticle(float timeOffset)
    {
        Particle* particle = this->currentParticle;
        ++this->alive;
        this->movement.set(0.0f, 0.0f, 0.0f);
        this->_applyAffectors(particle, timeOffset);
        particle->position += this->movement + particle->direction * timeOffset;
    }

    void Space::draw(float x, float y, const tesra::Color& color)
    {
        if (!this->visible || color.a == 0)
        {
            return;
        }
        bool plain = (color == tesra::Color(255, 255, 255, 255));
        for (const std::unique_ptr<Emitter>& emitter : this->emitters)
        {
            if (plain)
            {
                emitter->draw(x, y);
            }
            else
            {
                emitter->draw(x, y, color);
            }
        }
    }

    void Space::reset()
    {
        particles.clear();
        this->alive = 0;
        this->started = false;
        for (const std::unique_ptr<Emitter>& emitter : this->emitters)
        {
            emitter->reset();
            emitter->clearParticles();
        }
    }
} // namespace tesraparticle
