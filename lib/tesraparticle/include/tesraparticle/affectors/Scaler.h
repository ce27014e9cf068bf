#pragma once

#include <tesraparticle/Affector.h>

namespace tesraparticle
{
    namespace Affectors
    {
        // Blends the particle scale from a start scale to an end scale over the particle life.
        class Scaler : public Affector
        {
        public:
            explicit Scaler(const hstring& name = "") : Affector(name) {}

            static Affector* createInstance(const hstring& name) { return new Scaler(name); }

            harray<PropertyInfo> getPropertyDescriptions() const override;
            void update(Particle* particle, float timeDelta, kavtypes::Vector3& movement) override;
            bool updatesRuns() const override;
            void updateRun(Particle* first, int count, float timeDelta,
                           kavtypes::Vector3* movements) override;
            bool drawsRandomNumbers() const override { return false; }
            hstring getProperty(const hstring& name) override;
            bool setProperty(const hstring& name, const hstring& value) override;

            float getStartScale() const { return this->startScale; }
            void setStartScale(float value) { this->startScale = value; }
            float getEndScale() const { return this->endScale; }
            void setEndScale(float value) { this->endScale = value; }

        protected:
            float startScale = 1.0f;
            float endScale = 0.0f;

        private:
            static const PropertyTable<Scaler>& _properties();
        };
    } // namespace Affectors
} // namespace tesraparticle
