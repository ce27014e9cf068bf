#include "DelayedCall.h"

DelayedCall::~DelayedCall()
{
    if (tesraui::Event* event = this->pending.withdraw())
    {
        this->_deleteEvent(event);
    }
}

tesraui::Object* DelayedCall::createInstance(const hstring& name, kavtypes::Rectangle rect)
{
    return new DelayedCall(name, rect);
}

harray<PropertyInfo> DelayedCall::getPropertyDescriptions() const
{
    harray<PropertyInfo> result = {PropertyInfo("delay", PropertyInfo::FLOAT)};
    harray<PropertyInfo> base = VumoObject::getPropertyDescriptions();
    result.insert(result.end(), base.begin(), base.end());
    return result;
}

hstring DelayedCall::getProperty(const hstring& name)
{
    if (name == "delay")
    {
        return hstring(this->delay);
    }
    return VumoObject::getProperty(name);
}

bool DelayedCall::setProperty(const hstring& name, const hstring& value)
{
    if (name == "delay")
    {
        this->delay = value.toFloat();
        return true;
    }
    return VumoObject::setProperty(name, value);
}

void DelayedCall::update(float timeDelta)
{
    VumoObject::update(timeDelta);
    if (this->delay < 0.0f)
    {
        return;
    }
    this->delay -= timeDelta;
    if (this->delay < 0.0f)
    {
        this->triggerEvent("callback", 0u, "");
        this->pending.queue(this, "DelayedCall");
    }
}
