#pragma once

#include <tesraui/Object.h>

namespace tesraui
{
    // A rectangle filled with the object's colour; raises "MouseDown" and "Click".
    class ColoredQuad : public Object
    {
    public:
        ColoredQuad(const hstring& name, kavtypes::Rectangle rect);
        ~ColoredQuad() override;

        static Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        hstring getClassName() const override { return "ColoredQuad"; }
        bool onMouseDown(unsigned int keyCode) override;
        bool onMouseUp(unsigned int keyCode) override;
        void _draw() override;
    };
} // namespace tesraui
