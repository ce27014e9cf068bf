#pragma once

#include <quortypes/PropertyInfo.h>
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
                static const harray<PropertyInfo> own = {PropertyInfo("timings", timingsType)};
                return Affector::getPropertyDescriptions() + own;
            }

            hstring getProperty(const hstring& name) override
            {
                if (name == "timings")
                    return this->timings.toString();
                return Affector::getProperty(name);
            }

            bool setProperty(const hstring& name, const hstring& value) override
            {
                if (name == "timings")
                    this->timings.set(value);
                else
                    return Affector::setProperty(name, value);
                return true;
            }

            const Timings<T>& getTimings() const { return this->timings; }

        protected:
            Timings<T> timings;
        };
    } // namespace Affectors
} // namespace tesraparticle
