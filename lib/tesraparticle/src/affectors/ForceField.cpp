#include <cmath>
#include <typeinfo>

#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/ForceField.h>
#include <tesraparticle/tesraparticle.h>

#include "ForceFieldCircles.h"
#include "FiniteStep.h"
#include "LiveParticles.h"

namespace tesraparticle
{
    namespace Affectors
    {
        tesra::PlainVertex forceFieldCircles[3][91];

        void prepareForceFieldCircles()
        {
            for (int k = 0; k < 91; ++k)
            {
                float a = k * 0.069777f;
                float s = std::sin(a);
                float c = std::cos(a);
                forceFieldCircles[0][k].set(s, c, 0.0f);
                forceFieldCircles[1][k].set(0.0f, c, s);
                forceFieldCircles[2][k].set(c, 0.0f, s);
            }
        }

        QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(ForceField, Space, _properties)
        QUORTYPES_PROPERTY_TABLE_GET_SET(ForceField, Space, _properties)

        const PropertyTable<ForceField>& ForceField::_properties()
        {
            static const PropertyTable<ForceField> table = {
                {"direction", PropertyInfo::COLOR, [](ForceField& f) { return gvec3_to_str(f.direction); },
                 [](ForceField& f, const hstring& value) { f.direction = str_to_gvec3(value); }},
            };
            return table;
        }

        namespace
        {
            // The field's fields, as copies that stores into particles cannot touch.
            struct Field
            {
                kavtypes::Vector3 center;
                float radius;
                kavtypes::Vector3 direction;
            };

            // The random number is drawn only for a particle the field reaches.
            template <class Draw>
            inline void push(Particle& particle, const Field& field, float timeDelta,
                             kavtypes::Vector3& movement, Draw draw)
            {
                kavtypes::Vector3 d = field.center - particle.position;
                float q = d.squaredLength();
                if (field.radius * field.radius < q)
                {
                    return;
                }
                float f = (field.radius - std::sqrt(q)) / field.radius;
                // A radius of 0 makes the centre itself 0 / 0.
                takeFiniteStep(movement, movement + field.direction * (f * draw() * f * timeDelta));
            }
        } // namespace

        void ForceField::update(Particle* particle, float timeDelta, kavtypes::Vector3& movement)
        {
            push(*particle, {_getCenter(), radius, direction}, timeDelta, movement,
                 [this] { return _getRandom(); });
        }

        bool ForceField::updatesRuns() const
        {
            return typeid(*this) == typeid(ForceField);
        }

        void ForceField::updateRun(Particle* first, int count, float timeDelta, kavtypes::Vector3* movements)
        {
            const Field field = {_getCenter(), radius, direction};
            forLiveParticles(first, count, movements,
                             [&](Particle& particle, kavtypes::Vector3& movement) {
                                 push(particle, field, timeDelta, movement, [this] { return _getRandom(); });
                             });
        }

        void ForceField::draw()
        {
            if (tesra::rendersys == nullptr)
            {
                return;
            }
            kavtypes::Vector3 center = this->_getCenter();
            tesra::PlainVertex points[91];
            for (auto& circle : forceFieldCircles)
            {
                for (int k = 0; k < 91; ++k)
                {
                    points[k].set(center.x + circle[k].x * this->radius,
                                  center.y + circle[k].y * this->radius,
                                  center.z + circle[k].z * this->radius);
                }
                tesra::rendersys->render(tesra::RenderOperation::LINE_STRIP, points, 91, tesra::Color());
            }
            kavtypes::Vector3 end = center + this->direction;
            tesra::PlainVertex line[2] = {tesra::PlainVertex(center.x, center.y, center.z),
                                          tesra::PlainVertex(end.x, end.y, end.z)};
            tesra::rendersys->render(tesra::RenderOperation::LINE_STRIP, line, 2, tesra::Color());
        }
    } // namespace Affectors
} // namespace tesraparticle
