#pragma once

#include <tesra/Color.h>
#include <tesraparticle/Affector.h>

namespace tesraparticle
{
    namespace Affectors
    {
        // Blends the particle colour from a start colour to an end colour over the particle life.
        class ColorChanger : public Affector
        {
        public:
            explicit ColorChanger(const hstring& name = "") : Affector(name) {}

            static Affector* createInstance(const hstring& name) { return new ColorChanger(name); }

            harray<PropertyInfo> getPropertyDescriptions() const override;
            void update(Particle* particle, float timeDelta, kavtypes::Vector3& movement) override;
            bool updatesRuns() const override;
            void updateRun(Particle* first, int count, float timeDelta,
                           kavtypes::Vector3* movements) override;
            bool drawsRandomNumbers() const override { return false; }
            hstring getProperty(const hstring& name) override;
            bool setProperty(const hstring& name, const hstring& value) override;

            const tesra::Color& getStartColor() const { return this->startColor; }
            void setStartColor(const tesra::Color& value) { this->startColor = value; }
            const tesra::Color& getEndColor() const { return this->endColor; }
            void setEndColor(const tesra::Color& value) { this->endColor = value; }

        protected:
            tesra::Color startColor = tesra::Color(255, 255, 255, 255);
            tesra::Color endColor = tesra::Color(255, 255, 255, 0);

        private:
            static const PropertyTable<ColorChanger>& _properties();
        };
    } // namespace Affectors
} // namespace tesraparticle
