#pragma once

#include <tesraui/Container.h>

namespace vumo
{
    // Marks a place of the UI that takes dropped inventory items; the inventory pane is one.
    class ItemReceiver : public tesraui::Container
    {
    public:
        ItemReceiver(const hstring& name, kavtypes::Rectangle rect) : tesraui::Container(name, rect) {}
        ~ItemReceiver() override = default;
        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);
        hstring getClassName() const override { return "ItemReceiver"; }
    };
} // namespace vumo
