#pragma once

#include <quortypes/hstring.h>
#include <tesra/KeyboardDelegate.h>
#include <tesra/MouseDelegate.h>
#include <tesra/SystemDelegate.h>
#include <tesra/TouchDelegate.h>
#include <tesra/UpdateDelegate.h>

namespace vumo
{
    class GameUiHost;

    // The engine's one receiver of the window's input, frames and system notices: forwards each to the
    // game's UI and runs the frame. Whatever a forwarded call throws ends in the fatal error box. Before the
    // session hands it the UI (and after it takes it back) the input goes nowhere and no frame runs.
    class VumoTesraEventDelegate : public tesra::MouseDelegate,
                                   public tesra::KeyboardDelegate,
                                   public tesra::TouchDelegate,
                                   public tesra::UpdateDelegate,
                                   public tesra::SystemDelegate
    {
    public:
        static VumoTesraEventDelegate& getInstance();

        void onMouseDown(int button) override;
        void onMouseUp(int button) override;
        void onMouseCancel(int button) override;
        void onMouseMove() override;
        void onMouseScroll(float x, float y) override;
        void onKeyDown(int keyCode) override;
        void onKeyUp(int keyCode) override;
        void onChar(unsigned int charCode) override;
        void onTouch(const harray<kavtypes::Vector2>& touches) override;
        // Clamps the frame time to 0.1 seconds, retries a pending input mode once a second, then updates
        // and draws the UI.
        bool onUpdate(float timeDelta) override;
        bool onQuit(bool canCancel) override;
        void onWindowSizeChanged(int width, int height, bool fullscreen) override;
        void onWindowFocusChanged(bool focused) override;
        void onInputModeChanged(tesra::InputMode inputMode) override;
        void onLowMemoryWarning() override;

        // The session's UI from its construction to its destruction; null takes it back. Not owned.
        void setUi(GameUiHost* ui) { this->ui = ui; }
        const hstring& getPendingInputMode() const { return this->pendingInputMode; }
        // Forgets the pending input mode and the retry timer: a fresh start.
        void reset();

    protected:
        GameUiHost* ui = nullptr;
        hstring pendingInputMode;
        float retryTimer = 0.0f;
        bool pointerHeld = false;

        void emulateTouch(GameUiHost& host, bool pressed);
        void pointerButton(int button, bool pressed);
    };
} // namespace vumo
