#include <cmath>

#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/ForceField.h>
#include <tesraparticle/tesraparticle.h>

#include "ForceFieldCircles.h"

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

        harray<PropertyInfo> ForceField::getPropertyDescriptions() const
        {
            static const harray<PropertyInfo> own = {PropertyInfo("direction", PropertyInfo::COLOR)};
            return Space::getPropertyDescriptions() + own;
        }

        void ForceField::update(Particle* particle, float timeDelta, kavtypes::Vector3& movement)
        {
            kavtypes::Vector3 d = this->_getCenter() - particle->position;
            float q = d.squaredLength();
            if (this->radius * this->radius < q)
            {
                return;
            }
            float f = (this->radius - std::sqrt(q)) / this->radius;
            movement += this->direction * (f * this->_getRandom() * f * timeDelta);
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

        hstring ForceField::getProperty(const hstring& name)
        {
            if (name == "direction")
                return gvec3_to_str(this->direction);
            return Space::getProperty(name);
        }

        bool ForceField::setProperty(const hstring& name, const hstring& value)
        {
            if (name == "direction")
            {
                this->direction = str_to_gvec3(value);
                return true;
            }
            return Space::setProperty(name, value);
        }
    } // namespace Affectors
} // namespace tesraparticle
