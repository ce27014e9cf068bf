#include <quortypes/Log.h>
#include <quortypes/util.h>
#include <tesra/tesra.h>
#include <tesraparticle/Affector.h>
#include <tesraparticle/Particle.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    Affector::Affector(const hstring& name) : name(name != "" ? name : tesra::generateName("Affector")) {}

    void Affector::updateRun(Particle* first, int count, float timeDelta, kavtypes::Vector3* movements)
    {
        for (int i = 0; i < count; ++i)
        {
            if (!first[i].isDead())
            {
                update(first + i, timeDelta, movements[i]);
            }
        }
    }

    harray<PropertyInfo> Affector::getPropertyDescriptions() const
    {
        static const harray<PropertyInfo> own = {PropertyInfo("name", PropertyInfo::STRING),
                                                 PropertyInfo("randomness", PropertyInfo::FLOAT_RANGE)};
        return own;
    }

    hstring Affector::getProperty(const hstring& name)
    {
        if (name == "name")
        {
            return this->name;
        }
        if (name == "randomness")
        {
            return this->randomnessMin == this->randomnessMax
                       ? hstring(this->randomnessMin)
                       : hstring(this->randomnessMin) + ";" + hstring(this->randomnessMax);
        }
        quortypes::Log::warnf(logTag, "Affector property '%s' does not exist in '%s'!", name.c_str(),
                              this->name.c_str());
        return "";
    }

    bool Affector::setProperty(const hstring& name, const hstring& value)
    {
        if (name == "name")
        {
            this->name = value;
            return true;
        }
        if (name == "randomness")
        {
            harray<hstring> pieces = value.split(';');
            this->randomnessMin = pieces[0].toFloat();
            this->randomnessMax = pieces[pieces.size() - 1].toFloat();
            return true;
        }
        quortypes::Log::warnf(logTag, "Affector property '%s' does not exist in '%s'!", name.c_str(),
                              this->name.c_str());
        return false;
    }

    float Affector::_drawRandom() const
    {
        return this->randomnessMin +
               quortypes::randomFloat(1.0f) * (this->randomnessMax - this->randomnessMin);
    }
} // namespace tesraparticle
