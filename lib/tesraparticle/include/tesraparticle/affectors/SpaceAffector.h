#pragma once

#include <kavtypes/Vector3.h>
#include <tesraparticle/Affector.h>

namespace tesraparticle
{
    namespace Affectors
    {
        // An affector with a place and a reach; its centre moves with the space that runs it.
        class Space : public Affector
        {
        public:
            explicit Space(const hstring& name = "") : Affector(name) {}

            harray<PropertyInfo> getPropertyDescriptions() const override;
            hstring getProperty(const hstring& name) override;
            bool setProperty(const hstring& name, const hstring& value) override;

            const kavtypes::Vector3& getPosition() const { return this->position; }
            void setPosition(const kavtypes::Vector3& value) { this->position = value; }
            float getRadius() const { return this->radius; }
            void setRadius(float value) { this->radius = value; }

        protected:
            kavtypes::Vector3 position;
            float radius = 10.0f;

            kavtypes::Vector3 _getCenter() const;

        private:
            static const PropertyTable<Space>& _properties();
        };
    } // namespace Affectors
} // namespace tesraparticle
