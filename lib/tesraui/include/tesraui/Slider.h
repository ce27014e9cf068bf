#pragma once

#include <tesraui/ImageBox.h>

namespace tesraui
{
    // A horizontal value from 0 to 1, set by pressing and dragging with any mouse key; every change made
    // by the pointer queues "Set". Drawn as a framed bar filled with its image up to the value.
    class Slider : public ImageBox
    {
    public:
        Slider(const hstring& name, kavtypes::Rectangle rect);
        ~Slider() override;

        static Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        hstring getClassName() const override { return "Slider"; }
        bool onMouseDown(unsigned int keyCode) override;
        bool onMouseUp(unsigned int keyCode) override;
        bool onMouseMove() override;
        void _mouseCancel() override;
        void update(float timeDelta) override;
        void _draw() override;

        bool isPushed() const { return pushed; }
        float getValue() const { return value; }

    protected:
        bool pushed = false;
        float value = 0.0f;

        // The value under the cursor's local x, kept within 0 to 1.
        float _valueAtCursor() const;
    };
} // namespace tesraui
