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
        return _properties().getDescriptions();
    }

    hstring Affector::getProperty(const hstring& name)
    {
        return _properties().get(*this, name,
                                 [&]
                                 {
                                     quortypes::Log::warnf(logTag,
                                                           "Affector property '%s' does not exist in '%s'!",
                                                           name.c_str(), this->name.c_str());
                                     return hstring("");
                                 });
    }

    bool Affector::setProperty(const hstring& name, const hstring& value)
    {
        return _properties().set(*this, name, value,
                                 [&]
                                 {
                                     quortypes::Log::warnf(logTag,
                                                           "Affector property '%s' does not exist in '%s'!",
                                                           name.c_str(), this->name.c_str());
                                     return false;
                                 });
    }

    const PropertyTable<Affector>& Affector::_properties()
    {
        static const PropertyTable<Affector> table = {
            {"name", PropertyInfo::STRING, [](Affector& a) { return a.name; },
             [](Affector& a, const hstring& value) { a.name = value; }},
            {"randomness", PropertyInfo::FLOAT_RANGE,
             [](Affector& a)
             {
                 return a.randomnessMin == a.randomnessMax
                            ? hstring(a.randomnessMin)
                            : hstring(a.randomnessMin) + ";" + hstring(a.randomnessMax);
             },
             [](Affector& a, const hstring& value)
             {
                 harray<hstring> pieces = value.split(';');
                 a.randomnessMin = pieces[0].toFloat();
                 a.randomnessMax = pieces[pieces.size() - 1].toFloat();
             }},
        };
        return table;
    }

    float Affector::_drawRandom() const
    {
        return this->randomnessMin +
               quortypes::randomFloat(1.0f) * (this->randomnessMax - this->randomnessMin);
    }
} // namespace tesraparticle
