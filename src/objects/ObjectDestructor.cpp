#include "ObjectDestructor.h"

namespace vumo
{
    tesraui::Object* ObjectDestructor::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new ObjectDestructor(name, rect);
    }

    const PropertyTable<ObjectDestructor>& ObjectDestructor::_properties()
    {
        static const PropertyTable<ObjectDestructor> table = {
            {"delay", PropertyInfo::FLOAT,
             [](ObjectDestructor& destructor) { return hstring(destructor.delay); },
             [](ObjectDestructor& destructor, const hstring& value) { destructor.delay = value.toFloat(); }},
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_OWN_FIRST(ObjectDestructor, TimedObject, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(ObjectDestructor, TimedObject, _properties)

    void ObjectDestructor::update(float timeDelta)
    {
        TimedObject::update(timeDelta);
        // Without a parent the countdown waits for one.
        if (parent != nullptr && _countDown(timeDelta))
        {
            pending.queue(this, parent, "ObjectDestructor");
        }
    }
} // namespace vumo
