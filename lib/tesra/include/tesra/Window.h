#pragma once

#include <deque>
#include <map>
#include <memory>

#include <kavtypes/Vector2.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <tesra/Cursor.h>
#include <tesra/InputMode.h>
#include <tesra/Timer.h>

namespace tesra
{

    class ControllerDelegate;
    class KeyboardDelegate;
    class MouseDelegate;
    class SystemDelegate;
    class TouchDelegate;
    class UpdateDelegate;

    // The abstract window: runs the main loop, measures frame time and frame rate, keeps
    // the input the platform queues and hands it to the delegates once a frame.
    class Window
    {
    public:
        struct Options
        {
            bool resizable = false;
            bool fpsCounter = false; // the frame rate is shown in the title
            bool reserved = false;   // kept for other platforms, no effect here

            hstring toString() const;
        };

        enum KeyEventType
        {
            KEY_DOWN = 0,
            KEY_UP = 1
        };
        enum MouseEventType
        {
            MOUSE_DOWN = 0,
            MOUSE_UP = 1,
            MOUSE_CANCEL = 2,
            MOUSE_MOVE = 3,
            MOUSE_SCROLL = 4
        };
        enum TouchEventType
        {
            TOUCH_DOWN = 0,
            TOUCH_UP = 1,
            TOUCH_CANCEL = 2,
            TOUCH_MOVE = 3
        };
        enum ControllerEventType
        {
            CONTROLLER_DOWN = 0,
            CONTROLLER_UP = 1
        };

        Window();
        virtual ~Window();
        Window(const Window&) = delete;
        Window& operator=(const Window&) = delete;

        virtual bool create(int width, int height, bool fullscreen, const hstring& title, Options options);
        virtual bool destroy();
        virtual void unassign() {}

        virtual void setTitle(const hstring& title);
        virtual bool isCursorVisible() const;
        virtual void setCursorVisible(bool value);
        virtual void setCursor(Cursor* value);
        virtual bool isCursorInside() const;
        virtual void setResolution(int width, int height, bool fullscreen);
        virtual void setResolution(int width, int height);
        virtual int getWidth() const = 0;
        virtual int getHeight() const = 0;
        virtual void* getBackendId() const = 0;
        virtual void presentFrame() {}

        virtual bool updateOneFrame();
        virtual void checkEvents();
        virtual void terminateMainLoop();
        virtual void beginKeyboardHandling() {}
        virtual void terminateKeyboardHandling() {}
        virtual hstring findCursorFile(const hstring& filename) const;
        virtual hstring getParam(const hstring& param) const;
        virtual void setParam(const hstring& param, const hstring& value);

        virtual void handleMouseEvent(MouseEventType type, float x, float y, int button);
        virtual void handleKeyEvent(KeyEventType type, int keyCode, unsigned int charCode);
        virtual void handleTouchEvent(const harray<kavtypes::Vector2>& touches);
        virtual void handleControllerButtonEvent(ControllerEventType type, int button);
        virtual void handleControllerAxisEvent(ControllerEventType type, int axis, float value);
        virtual bool handleQuitRequest(bool canCancel);
        virtual void handleFocusChangeEvent(bool focused);
        virtual void handleActivityChangeEvent(bool active);
        virtual void handleVirtualKeyboardChangeEvent(bool visible, float heightRatio);
        virtual void handleLowMemoryWarning();

        virtual void queueKeyEvent(KeyEventType type, int keyCode, unsigned int charCode);
        // clicks counts the presses of a quick series at one spot, as the system counts them: 2 for the
        // second press of a double click. The platform that cannot tell gives 1.
        virtual void queueMouseEvent(MouseEventType type, float x, float y, int button, int clicks = 1);
        virtual void queueTouchEvent(TouchEventType type, float x, float y, int index);
        virtual void queueControllerButtonEvent(ControllerEventType type, int button);
        virtual void queueControllerAxisEvent(ControllerEventType type, int axis, float value);

        virtual void enterMainLoop();
        virtual bool performUpdate(float timeDelta);
        virtual float calculateTimeDelta();
        virtual void applyResolution(int width, int height, bool fullscreen);
        virtual Cursor* createCursorObject() = 0;
        virtual void updateCursor() {}

        kavtypes::Vector2 getSize() const;
        void setFullscreen(bool value);
        void setInputMode(InputMode value);
        // Loads the named cursor with the first cursor extension that exists as a
        // resource; null when none exists or the file cannot be loaded.
        std::unique_ptr<Cursor> createCursor(const hstring& name);

        const hstring& getName() const { return name; }
        bool isCreated() const { return created; }
        const hstring& getTitle() const { return title; }
        bool isFullscreen() const { return fullscreen; }
        const Options& getOptions() const { return options; }
        bool isFocused() const { return focused; }
        bool isRunning() const { return running; }
        int getFps() const { return fps; }
        float getFpsResolution() const { return fpsResolution; }
        void setFpsResolution(float value) { fpsResolution = value; }
        float getTimeDeltaMaxLimit() const { return timeDeltaMaxLimit; }
        void setTimeDeltaMaxLimit(float value) { timeDeltaMaxLimit = value; }
        const kavtypes::Vector2& getCursorPosition() const { return cursorPosition; }
        // The clicks of the press being handed to the delegates, or of the last one: 1 for a single press, 2
        // for the second of a double click, and so on.
        int getPressClicks() const { return pressClicks; }
        Cursor* getCursor() const { return cursor; }
        bool isVirtualKeyboardVisible() const { return virtualKeyboardVisible; }
        float getVirtualKeyboardHeightRatio() const { return virtualKeyboardHeightRatio; }
        InputMode getInputMode() const { return inputMode; }
        const std::map<InputMode, InputMode>& getInputModeTranslations() const
        {
            return inputModeTranslations;
        }
        void setInputModeTranslations(const std::map<InputMode, InputMode>& value)
        {
            inputModeTranslations = value;
        }
        const harray<hstring>& getCursorExtensions() const { return cursorExtensions; }
        void setCursorExtensions(const harray<hstring>& value) { cursorExtensions = value; }
        bool isMultiTouchActive() const { return multiTouchActive; }
        const harray<kavtypes::Vector2>& getTouches() const { return touches; }
        const std::map<int, int>& getControllerEmulationKeys() const { return controllerEmulationKeys; }
        void setControllerEmulationKeys(const std::map<int, int>& value) { controllerEmulationKeys = value; }

        UpdateDelegate* getUpdateDelegate() const { return updateDelegate; }
        void setUpdateDelegate(UpdateDelegate* value) { updateDelegate = value; }
        KeyboardDelegate* getKeyboardDelegate() const { return keyboardDelegate; }
        void setKeyboardDelegate(KeyboardDelegate* value) { keyboardDelegate = value; }
        MouseDelegate* getMouseDelegate() const { return mouseDelegate; }
        void setMouseDelegate(MouseDelegate* value) { mouseDelegate = value; }
        TouchDelegate* getTouchDelegate() const { return touchDelegate; }
        void setTouchDelegate(TouchDelegate* value) { touchDelegate = value; }
        ControllerDelegate* getControllerDelegate() const { return controllerDelegate; }
        void setControllerDelegate(ControllerDelegate* value) { controllerDelegate = value; }
        SystemDelegate* getSystemDelegate() const { return systemDelegate; }
        void setSystemDelegate(SystemDelegate* value) { systemDelegate = value; }

    protected:
        struct KeyInputEvent
        {
            KeyEventType type;
            int keyCode;
            unsigned int charCode;
        };
        struct MouseInputEvent
        {
            MouseEventType type;
            kavtypes::Vector2 position;
            int button;
            int clicks;
        };
        struct ControllerButtonInputEvent
        {
            ControllerEventType type;
            int button;
        };
        struct ControllerAxisInputEvent
        {
            ControllerEventType type;
            int axis;
            float value;
        };

        void resetState();

        hstring name = "Generic";
        bool created = false;
        hstring title;
        bool fullscreen = true;
        Options options;
        bool focused = true;
        bool running = true;
        // Set by an end asked for before the loop runs (during start-up), so that the loop is not entered.
        bool endRequested = false;
        int fps = 0;
        int fpsCount = 0;
        float fpsTimer = 0.0f;
        float fpsResolution = 0.5f;
        float timeDeltaMaxLimit = 0.2f;
        kavtypes::Vector2 cursorPosition;
        int pressClicks = 1;
        Cursor* cursor = nullptr;
        bool cursorVisible = false;
        bool virtualKeyboardVisible = false;
        float virtualKeyboardHeightRatio = 0.0f;
        InputMode inputMode = InputMode::MOUSE;
        std::map<InputMode, InputMode> inputModeTranslations;
        harray<hstring> cursorExtensions;
        bool multiTouchActive = false;
        harray<kavtypes::Vector2> touches;
        std::deque<KeyInputEvent> keyEvents;
        std::deque<MouseInputEvent> mouseEvents;
        std::deque<harray<kavtypes::Vector2>> touchEvents;
        std::deque<ControllerButtonInputEvent> controllerButtonEvents;
        std::deque<ControllerAxisInputEvent> controllerAxisEvents;
        Timer timer;
        std::map<int, int> controllerEmulationKeys;

        UpdateDelegate* updateDelegate = nullptr;
        KeyboardDelegate* keyboardDelegate = nullptr;
        MouseDelegate* mouseDelegate = nullptr;
        TouchDelegate* touchDelegate = nullptr;
        ControllerDelegate* controllerDelegate = nullptr;
        SystemDelegate* systemDelegate = nullptr;
    };

} // namespace tesra
