#pragma once

#include <kavtypes/Vector3.h>
#include <tesraparticle/ActiveObject.h>

namespace tesraparticle
{
    // An active object placed in a space.
    class SpaceObject : public ActiveObject
    {
    public:
        explicit SpaceObject(const hstring& name);

        harray<PropertyInfo> getPropertyDescriptions() const override;
        bool setProperty(const hstring& name, const hstring& value);

        const kavtypes::Vector3& getPosition() const { return this->position; }
        void setPosition(const kavtypes::Vector3& value) { this->position = value; }

    protected:
        kavtypes::Vector3 position;

    private:
        static const PropertyTable<SpaceObject>& _properties();
    };
} // namespace tesraparticle
