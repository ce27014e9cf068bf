#include "SceneSwitchDestructor.h"

namespace vumo
{
    tesraui::Object* SceneSwitchDestructor::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new SceneSwitchDestructor(name, rect);
    }

    const PropertyTable<SceneSwitchDestructor>& SceneSwitchDestructor::_properties()
    {
        static const PropertyTable<SceneSwitchDestructor> table = {
            {"chapter", PropertyInfo::STRING,
             [](SceneSwitchDestructor& destructor) { return destructor.chapter; },
             [](SceneSwitchDestructor& destructor, const hstring& value) { destructor.chapter = value; }},
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_OWN_FIRST(SceneSwitchDestructor, TimedObject, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(SceneSwitchDestructor, TimedObject, _properties)

    void SceneSwitchDestructor::notifyEvent(const hstring& type, void* args)
    {
        TimedObject::notifyEvent(type, args);
        if (type == "SceneChanging" && this->parent != nullptr)
        {
            pending.queue(this, parent, "SceneSwitchDestructor");
        }
    }
} // namespace vumo
