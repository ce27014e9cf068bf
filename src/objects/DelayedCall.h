#pragma once

#include "ObjectDestructorEvent.h"
#include "VumoObject.h"

// Raises "callback" once its delay has run out, then has itself deleted right after the callback, in the
// same processing of its dataset's queue. A delay below 0 never fires.
class DelayedCall : public VumoObject
{
public:
    DelayedCall(const hstring& name, kavtypes::Rectangle rect) : VumoObject(name, rect) {}
    ~DelayedCall() override;
    static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);
    hstring getClassName() const override { return "DelayedCall"; }

    harray<PropertyInfo> getPropertyDescriptions() const override;
    hstring getProperty(const hstring& name) override;
    bool setProperty(const hstring& name, const hstring& value) override;
    void update(float timeDelta) override;

    float getDelay() const { return this->delay; }
    void setDelay(float value) { this->delay = value; }

protected:
    float delay = 0.0f;
    PendingDestruction pending;
};
