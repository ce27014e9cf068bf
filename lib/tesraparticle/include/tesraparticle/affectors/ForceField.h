#pragma once

#include <tesraparticle/affectors/SpaceAffector.h>

namespace tesraparticle
{
    namespace Affectors
    {
        // Pushes particles within its radius along its direction, fully at its centre.
        class ForceField : public Space
        {
        public:
            explicit ForceField(const hstring& name = "") : Space(name) {}

            static Affector* createInstance(const hstring& name) { return new ForceField(name); }

            harray<PropertyInfo> getPropertyDescriptions() const override;
            void update(Particle* particle, float timeDelta, kavtypes::Vector3& movement) override;
            bool updatesRuns() const override;
            void updateRun(Particle* first, int count, float timeDelta,
                           kavtypes::Vector3* movements) override;
            hstring getProperty(const hstring& name) override;
            bool setProperty(const hstring& name, const hstring& value) override;

            void draw() override;

            const kavtypes::Vector3& getDirection() const { return this->direction; }
            void setDirection(const kavtypes::Vector3& value) { this->direction = value; }

        protected:
            kavtypes::Vector3 direction = kavtypes::Vector3(0.0f, 0.0f, 1.0f);

        private:
            static const PropertyTable<ForceField>& _properties();
        };
    } // namespace Affectors
} // namespace tesraparticle
