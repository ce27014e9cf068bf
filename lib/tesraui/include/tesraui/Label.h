#pragma once

#include <tesraui/LabelBase.h>
#include <tesraui/Object.h>

namespace tesraui
{
    // Plain text in the tree; raises "MouseDown" and "Click". Shows "Label: " and its name until given a
    // text.
    class Label : public Object, public LabelBase
    {
    public:
        Label(const hstring& name, kavtypes::Rectangle rect);
        ~Label() override;

        static Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        hstring getClassName() const override { return "Label"; }
        Dataset* getDataset() const override { return Object::getDataset(); }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        void notifyEvent(const hstring& type, void* args) override;
        bool triggerEvent(const hstring& name, float x, float y, unsigned int keyCode,
                          const hstring& extra = "") override;
        bool triggerEvent(const hstring& name, int buttonCode, const hstring& extra = "") override;
        bool triggerEvent(const hstring& name, unsigned int keyCode, const hstring& extra = "") override;
        bool triggerEventInTurn(const hstring& name, unsigned int keyCode,
                                const hstring& extra = "") override;
        bool onMouseDown(unsigned int keyCode) override;
        bool onMouseUp(unsigned int keyCode) override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        void _draw() override;
    };
} // namespace tesraui
