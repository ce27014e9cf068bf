#pragma once

#include <kavtypes/Vector2.h>
#include <tesraparticle/Affector.h>

namespace tesraparticle
{
    namespace Affectors
    {
        // Blends the particle size from a start size to an end size over the particle life.
        class Resizer : public Affector
        {
        public:
            explicit Resizer(const hstring& name = "") : Affector(name) {}

            static Affector* createInstance(const hstring& name) { return new Resizer(name); }

            harray<PropertyInfo> getPropertyDescriptions() const override;
            void update(Particle* particle, float timeDelta, kavtypes::Vector3& movement) override;
            bool updatesRuns() const override;
            void updateRun(Particle* first, int count, float timeDelta,
                           kavtypes::Vector3* movements) override;
            bool drawsRandomNumbers() const override { return false; }
            hstring getProperty(const hstring& name) override;
            bool setProperty(const hstring& name, const hstring& value) override;

            const kavtypes::Vector2& getStartSize() const { return this->startSize; }
            void setStartSize(const kavtypes::Vector2& value) { this->startSize = value; }
            const kavtypes::Vector2& getEndSize() const { return this->endSize; }
            void setEndSize(const kavtypes::Vector2& value) { this->endSize = value; }

        protected:
            kavtypes::Vector2 startSize = kavtypes::Vector2(1.0f, 1.0f);
            kavtypes::Vector2 endSize = kavtypes::Vector2(0.0f, 0.0f);

        private:
            static const PropertyTable<Resizer>& _properties();
        };
    } // namespace Affectors
} // namespace tesraparticle
