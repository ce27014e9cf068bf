#pragma once

#include <quortypes/PropertyTable.h>

#include "TimedObject.h"

namespace vumo
{
    // Raises "callback" once its delay has run out, then has itself deleted right after the callback, in the
    // same processing of its dataset's queue. A delay below 0 never fires.
    class DelayedCall : public TimedObject
    {
    public:
        DelayedCall(const hstring& name, kavtypes::Rectangle rect) : TimedObject(name, rect) {}
        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);
        hstring getClassName() const override { return "DelayedCall"; }

        harray<PropertyInfo> getPropertyDescriptions() const override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        void update(float timeDelta) override;

        void setDelay(float value) { this->delay = value; }

    private:
        static const PropertyTable<DelayedCall>& _properties();
    };
} // namespace vumo
