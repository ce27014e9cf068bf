#pragma once

#include "ObjectDestructorEvent.h"
#include "VumoObject.h"

// Deletes its parent, and with it everything under the parent, itself included, once its delay has run
// out. With the default delay 0 the parent goes in the first frame after attachment.
class ObjectDestructor : public VumoObject
{
public:
    ObjectDestructor(const hstring& name, kavtypes::Rectangle rect) : VumoObject(name, rect) {}
    ~ObjectDestructor() override;
    static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);
    hstring getClassName() const override { return "ObjectDestructor"; }

    harray<PropertyInfo> getPropertyDescriptions() const override;
    hstring getProperty(const hstring& name) override;
    bool setProperty(const hstring& name, const hstring& value) override;
    void update(float timeDelta) override;

    float getDelay() const { return this->delay; }

protected:
    float delay = 0.0f;
    PendingDestruction pending;
};
