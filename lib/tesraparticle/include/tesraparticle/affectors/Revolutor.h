#pragma once

#include <tesraparticle/affectors/SpaceAffector.h>

namespace tesraparticle
{
    namespace Affectors
    {
        // Turns particles within its radius about its axis through its centre.
        class Revolutor : public Space
        {
        public:
            explicit Revolutor(const hstring& name = "") : Space(name) {}

            static Affector* createInstance(const hstring& name) { return new Revolutor(name); }

            harray<PropertyInfo> getPropertyDescriptions() const override;
            void update(Particle* particle, float timeDelta, kavtypes::Vector3& movement) override;
            bool updatesRuns() const override;
            void updateRun(Particle* first, int count, float timeDelta,
                           kavtypes::Vector3* movements) override;
            hstring getProperty(const hstring& name) override;
            bool setProperty(const hstring& name, const hstring& value) override;

            const kavtypes::Vector3& getAxis() const { return this->axis; }
            void setAxis(const kavtypes::Vector3& value) { this->axis = value; }
            float getEvolutionSpeed() const { return this->evolutionSpeed; }
            void setEvolutionSpeed(float value) { this->evolutionSpeed = value; }
            bool isClockwise() const { return this->clockwise == -360.0f; }
            void setClockwise(bool value) { this->clockwise = value ? -360.0f : 360.0f; }

        protected:
            kavtypes::Vector3 axis = kavtypes::Vector3(0.0f, 1.0f, 0.0f);
            float evolutionSpeed = 1.0f;
            // Degrees a turn: -360 clockwise, 360 counter-clockwise.
            float clockwise = -360.0f;

        private:
            static const PropertyTable<Revolutor>& _properties();
        };
    } // namespace Affectors
} // namespace tesraparticle
