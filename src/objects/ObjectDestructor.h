#pragma once

#include <quortypes/PropertyTable.h>

#include "TimedObject.h"

namespace vumo
{
    // Deletes its parent, and with it everything under the parent, itself included, once its delay has run
    // out. With the default delay 0 the parent goes in the first frame after attachment.
    class ObjectDestructor : public TimedObject
    {
    public:
        ObjectDestructor(const hstring& name, kavtypes::Rectangle rect) : TimedObject(name, rect) {}
        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);
        hstring getClassName() const override { return "ObjectDestructor"; }

        harray<PropertyInfo> getPropertyDescriptions() const override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        void update(float timeDelta) override;

    private:
        static const PropertyTable<ObjectDestructor>& _properties();
    };
} // namespace vumo
