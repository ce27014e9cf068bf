#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

namespace tesraui
{
    class Dataset;
    class Object;

    // Hover and press logic of button-like objects. A second base beside Object: the combining class
    // forwards the pure operations to its Object part, and its overrides of the shared names serve both
    // bases.
    class ButtonBase
    {
    public:
        ButtonBase();
        virtual ~ButtonBase();

        virtual hstring getName() const = 0;
        virtual bool isCursorInside() = 0;
        virtual int getFocusIndex() const = 0;
        virtual Object* getParent() const = 0;
        virtual Dataset* getDataset() const = 0;
        virtual bool onMouseDown(unsigned int keyCode);
        virtual bool onMouseUp(unsigned int keyCode);
        virtual bool onMouseCancel(unsigned int keyCode);
        virtual bool onMouseMove();
        virtual bool onButtonDown(int buttonCode);
        virtual bool onButtonUp(int buttonCode);
        virtual void _mouseCancel();
        // No properties of its own: "" and false.
        virtual hstring getProperty(const hstring& name);
        virtual bool setProperty(const hstring& name, const hstring& value);
        virtual void update(float timeDelta);
        // The focused button counts as under the pointer wherever it is; otherwise the button must be the
        // topmost object under the cursor, so a covered one is not hovered.
        virtual bool _checkHover();

        bool isHovered() const { return hovered; }
        bool isPushed() const { return pushed; }

        static const harray<unsigned int>& getAllowedKeys() { return allowedKeys; }
        static void setAllowedKeys(const harray<unsigned int>& keys) { allowedKeys = keys; }
        static const harray<int>& getAllowedButtons() { return allowedButtons; }
        static void setAllowedButtons(const harray<int>& buttons) { allowedButtons = buttons; }

    protected:
        bool hovered = false;
        bool pushed = false;

        static harray<unsigned int> allowedKeys;
        static harray<int> allowedButtons;

        bool _press(bool allowed);
        bool _release(bool allowed);
    };
} // namespace tesraui
