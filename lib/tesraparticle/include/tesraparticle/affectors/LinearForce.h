#pragma once

#include <tesraparticle/Affector.h>

namespace tesraparticle
{
    namespace Affectors
    {
        // Accelerates particles along its direction.
        class LinearForce : public Affector
        {
        public:
            explicit LinearForce(const hstring& name = "") : Affector(name) {}

            static Affector* createInstance(const hstring& name) { return new LinearForce(name); }

            harray<PropertyInfo> getPropertyDescriptions() const override;
            void update(Particle* particle, float timeDelta, kavtypes::Vector3& movement) override;
            bool updatesRuns() const override;
            void updateRun(Particle* first, int count, float timeDelta,
                           kavtypes::Vector3* movements) override;
            hstring getProperty(const hstring& name) override;
            bool setProperty(const hstring& name, const hstring& value) override;

            const kavtypes::Vector3& getDirection() const { return this->direction; }
            void setDirection(const kavtypes::Vector3& value) { this->direction = value; }

        protected:
            kavtypes::Vector3 direction = kavtypes::Vector3(0.0f, -1.0f, 0.0f);

        private:
            static const PropertyTable<LinearForce>& _properties();
        };
    } // namespace Affectors
} // namespace tesraparticle
