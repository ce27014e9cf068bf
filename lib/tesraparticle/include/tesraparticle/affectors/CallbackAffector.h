#pragma once

#include <functional>

#include <quortypes/hdict.h>
#include <tesraparticle/Affector.h>

namespace tesraparticle
{
    namespace Affectors
    {
        // Hands every update to a function of the host; keeps any other property as free text.
        class CallbackAffector : public Affector
        {
        public:
            typedef std::function<void(CallbackAffector*, Particle*, float, kavtypes::Vector3&)> Callback;

            explicit CallbackAffector(const hstring& name = "") : Affector(name) {}

            static Affector* createInstance(const hstring& name) { return new CallbackAffector(name); }

            void update(Particle* particle, float timeDelta, kavtypes::Vector3& movement) override;
            hstring getProperty(const hstring& name) override;
            bool setProperty(const hstring& name, const hstring& value) override;

            void setCallback(Callback value) { this->callback = value; }

        protected:
            Callback callback;
            hdict<hstring> values;
        };
    } // namespace Affectors
} // namespace tesraparticle
