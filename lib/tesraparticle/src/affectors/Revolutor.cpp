#include <cmath>
#include <typeinfo>

#include <kavtypes/Matrix3.h>
#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/Revolutor.h>
#include <tesraparticle/tesraparticle.h>

#include "FiniteStep.h"
#include "LiveParticles.h"

namespace tesraparticle
{
    namespace Affectors
    {
        QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(Revolutor, Space, _properties)
        QUORTYPES_PROPERTY_TABLE_GET_SET(Revolutor, Space, _properties)

        const PropertyTable<Revolutor>& Revolutor::_properties()
        {
            static const PropertyTable<Revolutor> table = {
                {"axis", PropertyInfo::COLOR, [](Revolutor& r) { return gvec3_to_str(r.axis); },
                 [](Revolutor& r, const hstring& value) { r.axis = str_to_gvec3(value); }},
                {"evolution_speed", PropertyInfo::FLOAT,
                 [](Revolutor& r) { return hstring(r.evolutionSpeed); },
                 [](Revolutor& r, const hstring& value) { r.evolutionSpeed = value.toFloat(); }},
                {"clockwise", PropertyInfo::BOOL,
                 [](Revolutor& r) { return hstring(r.clockwise == -360.0f ? "1" : "0"); },
                 [](Revolutor& r, const hstring& value) { r.setClockwise(value.toBool()); }},
            };
            return table;
        }

        namespace
        {
            // The revolutor's fields, as copies that stores into particles cannot touch.
            struct Turn
            {
                kavtypes::Vector3 center;
                float radius;
                kavtypes::Vector3 axis;
                float evolutionSpeed;
                float clockwise;
            };

            // The random number is drawn only for a particle the turn reaches.
            template <class Draw>
            inline void revolve(Particle& particle, const Turn& turn, float timeDelta,
                                kavtypes::Vector3& movement, Draw draw)
            {
                kavtypes::Vector3 d = particle.position - turn.center;
                float q = d.squaredLength();
                if (!(turn.radius * turn.radius > q))
                {
                    return;
                }
                float degrees = (1.0f - std::sqrt(q) / turn.radius) * draw() * turn.evolutionSpeed *
                                turn.clockwise * timeDelta;
                kavtypes::Matrix3 rotation;
                rotation.setRotation(turn.axis, degrees);
                takeFiniteStep(movement,
                               movement + ((turn.center + rotation.transform(d)) - particle.position));
            }
        } // namespace

        void Revolutor::update(Particle* particle, float timeDelta, kavtypes::Vector3& movement)
        {
            revolve(*particle, {_getCenter(), radius, axis, evolutionSpeed, clockwise}, timeDelta, movement,
                    [this] { return _getRandom(); });
        }

        bool Revolutor::updatesRuns() const
        {
            return typeid(*this) == typeid(Revolutor);
        }

        void Revolutor::updateRun(Particle* first, int count, float timeDelta, kavtypes::Vector3* movements)
        {
            const Turn turn = {_getCenter(), radius, axis, evolutionSpeed, clockwise};
            forLiveParticles(
                first, count, movements,
                [&](Particle& particle, kavtypes::Vector3& movement)
                { revolve(particle, turn, timeDelta, movement, [this] { return _getRandom(); }); });
        }
    } // namespace Affectors
} // namespace tesraparticle
