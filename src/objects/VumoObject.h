#pragma once

#include <tesraui/Object.h>

namespace vumo
{
    // The common base of the engine's object kinds that draw nothing of their own.
    class VumoObject : public tesraui::Object
    {
    public:
        VumoObject(const hstring& name, kavtypes::Rectangle rect) : tesraui::Object(name, rect) {}
        ~VumoObject() override = default;
        hstring getClassName() const override { return "VumoObject"; }
    };
} // namespace vumo
