#pragma once

#include <tesraui/Object.h>

namespace tesraui
{
    // Draws and updates through functions the host program sets, and reports mouse activity over it as
    // events; moves and scrolls are reported without being consumed.
    class CallbackObject : public Object
    {
    public:
        typedef void (*DrawCallback)(CallbackObject* object);
        typedef void (*UpdateCallback)(float timeDelta);

        CallbackObject(const hstring& name, kavtypes::Rectangle rect);
        ~CallbackObject() override;

        static Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        hstring getClassName() const override { return "CallbackObject"; }
        DrawCallback getDrawCallback() const { return drawCallback; }
        void setDrawCallback(DrawCallback value) { drawCallback = value; }
        UpdateCallback getUpdateCallback() const { return updateCallback; }
        void setUpdateCallback(UpdateCallback value) { updateCallback = value; }

        bool onMouseDown(unsigned int keyCode) override;
        bool onMouseUp(unsigned int keyCode) override;
        bool onMouseMove() override;
        bool onMouseScroll(float x, float y) override;
        void _mouseCancel() override;
        void update(float timeDelta) override;
        void _draw() override;

    protected:
        DrawCallback drawCallback = nullptr;
        UpdateCallback updateCallback = nullptr;
    };
} // namespace tesraui
