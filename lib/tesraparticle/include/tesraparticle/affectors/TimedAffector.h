#pragma once

#include <quortypes/PropertyTable.h>
#include <tesraparticle/Affector.h>
#include <tesraparticle/affectors/Timings.h>

namespace tesraparticle
{
    namespace Affectors
    {
        // The "timings" property shared by the affectors that set one particle value from points of its life.
        template <class T, PropertyInfo::Type timingsType> class TimedAffector : public Affector
        {
        public:
            explicit TimedAffector(const hstring& name) : Affector(name) {}

            harray<PropertyInfo> getPropertyDescriptions() const override
            {
                return _properties().describeAfter(Affector::getPropertyDescriptions());
            }

            hstring getProperty(const hstring& name) override
            {
                return _properties().get(*this, name, [&] { return Affector::getProperty(name); });
            }

            bool setProperty(const hstring& name, const hstring& value) override
            {
                return _properties().set(*this, name, value,
                                         [&] { return Affector::setProperty(name, value); });
            }

            const Timings<T>& getTimings() const { return this->timings; }

        protected:
            Timings<T> timings;

        private:
            static const PropertyTable<TimedAffector>& _properties()
            {
                static const PropertyTable<TimedAffector> table = {
                    {"timings", timingsType, [](TimedAffector& a) { return a.timings.toString(); },
                     [](TimedAffector& a, const hstring& value) { a.timings.set(value); }},
                };
                return table;
            }
        };
    } // namespace Affectors
} // namespace tesraparticle
