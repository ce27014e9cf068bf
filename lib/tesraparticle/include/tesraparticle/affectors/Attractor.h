#pragma once

#include <tesraparticle/affectors/SpaceAffector.h>

namespace tesraparticle
{
    namespace Affectors
    {
        // Pulls particles within its radius towards its centre, harder the closer they are.
        class Attractor : public Space
        {
        public:
            explicit Attractor(const hstring& name = "") : Space(name) {}

            static Affector* createInstance(const hstring& name) { return new Attractor(name); }

            harray<PropertyInfo> getPropertyDescriptions() const override;
            void update(Particle* particle, float timeDelta, kavtypes::Vector3& movement) override;
            bool updatesRuns() const override;
            void updateRun(Particle* first, int count, float timeDelta,
                           kavtypes::Vector3* movements) override;
            hstring getProperty(const hstring& name) override;
            bool setProperty(const hstring& name, const hstring& value) override;

            float getForce() const { return this->force; }
            void setForce(float value) { this->force = value; }
            float getExponent() const { return this->exponent; }
            void setExponent(float value) { this->exponent = value; }

        protected:
            float force = 1.0f;
            float exponent = 2.0f;

        private:
            static const PropertyTable<Attractor>& _properties();
        };
    } // namespace Affectors
} // namespace tesraparticle
