#pragma once

#include <tesraparticle/Affector.h>

namespace tesraparticle
{
    namespace Affectors
    {
        // Turns particles at a steady speed.
        class Rotator : public Affector
        {
        public:
            explicit Rotator(const hstring& name = "") : Affector(name) {}

            static Affector* createInstance(const hstring& name) { return new Rotator(name); }

            harray<PropertyInfo> getPropertyDescriptions() const override;
            void update(Particle* particle, float timeDelta, kavtypes::Vector3& movement) override;
            bool updatesRuns() const override;
            void updateRun(Particle* first, int count, float timeDelta,
                           kavtypes::Vector3* movements) override;
            hstring getProperty(const hstring& name) override;
            bool setProperty(const hstring& name, const hstring& value) override;

            float getRotationSpeed() const { return this->rotationSpeed; }
            void setRotationSpeed(float value) { this->rotationSpeed = value; }

        protected:
            // Degrees per second.
            float rotationSpeed = 1.0f;

        private:
            static const PropertyTable<Rotator>& _properties();
        };
    } // namespace Affectors
} // namespace tesraparticle
