#include "SceneSwitchDestructor.h"

SceneSwitchDestructor::~SceneSwitchDestructor()
{
    if (tesraui::Event* event = this->pending.withdraw())
    {
        this->_deleteEvent(event);
    }
}

tesraui::Object* SceneSwitchDestructor::createInstance(const hstring& name, kavtypes::Rectangle rect)
{
    return new SceneSwitchDestructor(name, rect);
}

harray<PropertyInfo> SceneSwitchDestructor::getPropertyDescriptions() const
{
    harray<PropertyInfo> result = {PropertyInfo("chapter", PropertyInfo::STRING)};
    harray<PropertyInfo> base = VumoObject::getPropertyDescriptions();
    result.insert(result.end(), base.begin(), base.end());
    return result;
}

hstring SceneSwitchDestructor::getProperty(const hstring& name)
{
    if (name == "chapter")
    {
        return this->chapter;
    }
    return VumoObject::getProperty(name);
}

bool SceneSwitchDestructor::setProperty(const hstring& name, const hstring& value)
{
    if (name == "chapter")
    {
        this->chapter = value;
        return true;
    }
    return VumoObject::setProperty(name, value);
}

void SceneSwitchDestructor::notifyEvent(const hstring& type, void* args)
{
    VumoObject::notifyEvent(type, args);
    if (type == "SceneChanging" && this->parent != nullptr)
    {
        this->pending.queue(this->parent, "SceneSwitchDestructor");
    }
}
