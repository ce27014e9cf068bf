#include <cmath>
#include <typeinfo>

#include <kavtypes/Matrix3.h>
#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/Revolutor.h>
#include <tesraparticle/tesraparticle.h>

#include "LiveParticles.h"

namespace tesraparticle
{
    namespace Affectors
    {
        harray<PropertyInfo> Revolutor::getPropertyDescriptions() const
        {
            static const harray<PropertyInfo> own = {PropertyInfo("axis", PropertyInfo::COLOR),
                                                     PropertyInfo("evolution_speed", PropertyInfo::FLOAT),
                                                     PropertyInfo("clockwise", PropertyInfo::BOOL)};
            return Space::getPropertyDescriptions() + own;
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
                movement += (turn.center + rotation.transform(d)) - particle.position;
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

        hstring Revolutor::getProperty(const hstring& name)
        {
            if (name == "axis")
                return gvec3_to_str(this->axis);
            if (name == "evolution_speed")
                return hstring(this->evolutionSpeed);
            if (name == "clockwise")
                return this->clockwise == -360.0f ? "1" : "0";
            return Space::getProperty(name);
        }

        bool Revolutor::setProperty(const hstring& name, const hstring& value)
        {
            if (name == "axis")
                this->axis = str_to_gvec3(value);
            else if (name == "evolution_speed")
                this->evolutionSpeed = value.toFloat();
            else if (name == "clockwise")
                this->setClockwise(value.toBool());
            else
                return Space::setProperty(name, value);
            return true;
        }
    } // namespace Affectors
} // namespace tesraparticle
