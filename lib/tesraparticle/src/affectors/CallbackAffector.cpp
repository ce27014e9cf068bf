#include <tesraparticle/affectors/CallbackAffector.h>

namespace tesraparticle
{
    namespace Affectors
    {
        void CallbackAffector::update(Particle* particle, float timeDelta, kavtypes::Vector3& movement)
        {
            if (this->callback)
            {
                this->callback(this, particle, timeDelta, movement);
            }
        }

        hstring CallbackAffector::getProperty(const hstring& name)
        {
            hstring value = Affector::getProperty(name);
            return this->values.hasKey(name) ? this->values[name] : value;
        }

        bool CallbackAffector::setProperty(const hstring& name, const hstring& value)
        {
            if (!Affector::setProperty(name, value))
            {
                this->values[name] = value;
            }
            return true;
        }
    } // namespace Affectors
} // namespace tesraparticle
