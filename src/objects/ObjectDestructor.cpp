#include "ObjectDestructor.h"

ObjectDestructor::~ObjectDestructor()
{
    if (tesraui::Event* event = this->pending.withdraw())
    {
        this->_deleteEvent(event);
    }
}

tesraui::Object* ObjectDestructor::createInstance(const hstring& name, kavtypes::Rectangle rect)
{
    return new ObjectDestructor(name, rect);
}

harray<PropertyInfo> ObjectDestructor::getPropertyDescriptions() const
{
    harray<PropertyInfo> result = {PropertyInfo("delay", PropertyInfo::FLOAT)};
    harray<PropertyInfo> base = VumoObject::getPropertyDescriptions();
    result.insert(result.end(), base.begin(), base.end());
    return result;
}

hstring ObjectDestructor::getProperty(const hstring& name)
{
    if (name == "delay")
    {
        return hstring(this->delay);
    }
    return VumoObject::getProperty(name);
}

bool ObjectDestructor::setProperty(const hstring& name, const hstring& value)
{
    if (name == "delay")
    {
        this->delay = value.toFloat();
        return true;
    }
    return VumoObject::setProperty(name, value);
}

void ObjectDestructor::update(float timeDelta)
{
    VumoObject::update(timeDelta);
    if (this->parent == nullptr || this->delay < 0.0f)
    {
        return;
    }
    this->delay -= timeDelta;
    if (this->delay < 0.0f)
    {
        this->pending.queue(this->parent, "ObjectDestructor");
    }
}
