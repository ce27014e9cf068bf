#pragma once

#include <tesraui/Object.h>

namespace vumo
{
    // Its children stand still while the session is paused.
    class PausableObject : public tesraui::Object
    {
    public:
        PausableObject(const hstring& name, kavtypes::Rectangle rect) : tesraui::Object(name, rect) {}
        ~PausableObject() override = default;
        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);
        hstring getClassName() const override { return "PausableObject"; }
        void update(float timeDelta) override;
    };
} // namespace vumo
