#include "EventDelegate.h"

#include <cstdlib>

#include <quortypes/Log.h>
#include <tesra/RenderSystem.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>
#include <tesraui/Container.h>
#include <tesraui/tesraui.h>

#include "Profile.h"
#include "Session.h"
#include "SessionWork.h"
#include "GameUiHost.h"
#include "lua/Host.h"

namespace vumo
{
    namespace
    {
        const hstring supportText =
            "\n---------------\nPlease check if you're running the latest version of the game, it's possible "
            "this "
            "issue has previously been reported and fixed.\nIf not, please contact Tech Support responsible "
            "for "
            "your copy of the game.\n\nSorry for the inconvenience!";

        kavtypes::Vector2 windowCursor()
        {
            return tesra::window != nullptr ? tesra::window->getCursorPosition() : kavtypes::Vector2();
        }

        // Pointer input hit-tests the objects under the cursor, which read files that may be damaged: what
        // they throw is shown in the error overlay, as in the frame's update, and the game goes on. Anything
        // else, or anything before the UI has its dataset, still ends it.
        template <class F> void pointerGuarded(GameUiHost* ui, F f)
        {
            if (ui == nullptr)
            {
                return;
            }
            const Session::WorkUnderWay handling;
            Session::guarded(
                [&]
                {
                    try
                    {
                        f(*ui);
                    }
                    catch (const quortypes::exception& e)
                    {
                        if (ui->getDataset() == nullptr)
                        {
                            throw;
                        }
                        LuaInterface::getHost().reportScriptError({}, e.getMessage());
                    }
                });
        }

        // The call on the UI inside the fatal box's guard; nothing without a UI. Scene switches asked for
        // meanwhile wait for the next frame's start.
        template <class F> void forwardGuarded(GameUiHost* ui, F f)
        {
            if (ui != nullptr)
            {
                const Session::WorkUnderWay handling;
                Session::guarded([&] { f(*ui); });
            }
        }
    } // namespace

    namespace Session
    {
        void showFatalError(const hstring& message)
        {
            quortypes::Log::error(logTag, "\n----------------------\nEXCEPTION: " + message +
                                              "\n----------------------\n");
            // The player keeps what the last sync took; nothing of the game runs any more for it.
            saveProfileWithoutScripts();
            if (tesra::window != nullptr)
            {
                tesra::window->setMouseDelegate(nullptr);
                tesra::window->setKeyboardDelegate(nullptr);
            }
            tesra::showMessageBox("VUMO ERROR!",
                                  "An error has ocurred!\n\nDetails:\n" + message + supportText,
                                  tesra::MESSAGE_BUTTON_OK,
                                  tesra::MESSAGE_STYLE_CRITICAL | tesra::MESSAGE_STYLE_TERMINATE_ON_DISPLAY);
            // The terminating box ends the program; this only keeps the promise of not returning.
            quortypes::Log::mergeSegments(true);
            std::exit(1);
        }

        void showFatalError(const quortypes::exception& exception)
        {
            showFatalError(exception.getMessage());
        }

        void showFatalError(const std::exception& exception)
        {
            showFatalError(hstring(exception.what()));
        }
    } // namespace Session

    VumoTesraEventDelegate& VumoTesraEventDelegate::getInstance()
    {
        static VumoTesraEventDelegate instance;
        return instance;
    }

    void VumoTesraEventDelegate::reset()
    {
        this->pendingInputMode = "";
        this->retryTimer = 0.0f;
        this->pointerHeld = false;
    }

    void VumoTesraEventDelegate::emulateTouch(GameUiHost& host, bool pressed)
    {
        // With Alt held the debug UI simulates touches of its own.
        if (host.getUIIdiom() == GameUiInventory::IDIOM_PC || host.isDebugAltPressed())
        {
            return;
        }
        this->pointerHeld = pressed;
        harray<kavtypes::Vector2> points;
        if (pressed)
        {
            points.push_back(windowCursor());
        }
        this->onTouch(points);
    }

    void VumoTesraEventDelegate::onMouseDown(int button)
    {
        this->pointerButton(button, true);
    }

    void VumoTesraEventDelegate::onMouseUp(int button)
    {
        this->pointerButton(button, false);
    }

    void VumoTesraEventDelegate::pointerButton(int button, bool pressed)
    {
        pointerGuarded(this->ui,
                       [&](GameUiHost& host)
                       {
                           const kavtypes::Vector2 cursor = windowCursor();
                           if (pressed)
                           {
                               host.OnPointerPressed(cursor.x, cursor.y, button);
                           }
                           else
                           {
                               host.OnPointerReleased(cursor.x, cursor.y, button);
                           }
                           this->emulateTouch(host, pressed);
                       });
    }

    void VumoTesraEventDelegate::onMouseCancel(int button)
    {
        pointerGuarded(this->ui, [&](GameUiFrame& frame) { frame.OnPointerCanceled(button); });
    }

    void VumoTesraEventDelegate::onMouseMove()
    {
        pointerGuarded(this->ui,
                       [&](GameUiHost& host)
                       {
                           const kavtypes::Vector2 cursor = windowCursor();
                           host.OnPointerMove(cursor.x, cursor.y);
                           // Zooming, which also stops this, joins with the zoom controller.
                           if (this->pointerHeld)
                           {
                               this->emulateTouch(host, true);
                           }
                       });
    }

    void VumoTesraEventDelegate::onMouseScroll(float x, float y)
    {
        pointerGuarded(this->ui, [&](GameUiFrame& frame) { frame.OnPointerScroll(x, y); });
    }

    void VumoTesraEventDelegate::onKeyDown(int keyCode)
    {
        forwardGuarded(this->ui, [&](GameUiFrame& frame) { frame.OnKeyDown(keyCode); });
    }

    void VumoTesraEventDelegate::onKeyUp(int keyCode)
    {
        forwardGuarded(this->ui, [&](GameUiFrame& frame) { frame.OnKeyUp(keyCode); });
    }

    void VumoTesraEventDelegate::onChar(unsigned int charCode)
    {
        forwardGuarded(this->ui, [&](GameUiFrame& frame) { frame.OnChar(charCode); });
    }

    void VumoTesraEventDelegate::onTouch(const harray<kavtypes::Vector2>& touches)
    {
        pointerGuarded(this->ui,
                       [&](GameUiHost& host)
                       {
                           harray<kavtypes::Vector2> points = touches;
                           tesraui::Container* root = host.getRootObject();
                           if (root != nullptr && tesra::window != nullptr && tesra::window->getWidth() > 0 &&
                               tesra::window->getHeight() > 0)
                           {
                               const float sx = root->getWidth() / tesra::window->getWidth();
                               const float sy = root->getHeight() / tesra::window->getHeight();
                               for (kavtypes::Vector2& point : points)
                               {
                                   point.set(point.x * sx, point.y * sy);
                               }
                           }
                           host.OnTouch(points);
                       });
    }

    bool VumoTesraEventDelegate::onUpdate(float timeDelta)
    {
        forwardGuarded(this->ui,
                       [&](GameUiFrame& frame)
                       {
                           const float frameTime = (timeDelta > 0.1f ? 0.1f : timeDelta);
                           this->retryTimer -= frameTime;
                           if (this->retryTimer < 0.0f)
                           {
                               this->retryTimer = 1.0f;
                               if (this->pendingInputMode != "")
                               {
                                   quortypes::Log::write(Session::logTag,
                                                         "Calling defered input mode changed event");
                                   const hstring mode = this->pendingInputMode;
                                   this->pendingInputMode = "";
                                   this->onInputModeChanged(mode == "touch" ? tesra::InputMode::TOUCH
                                                                            : tesra::InputMode::MOUSE);
                               }
                           }
                           frame.update(frameTime);
                           frame.draw();
                           // The one point of the frame where no walk holds anything scripts destroyed.
                           tesraui::freeDestroyed();
                       });
        return true;
    }

    bool VumoTesraEventDelegate::onQuit(bool canCancel)
    {
        bool result = true;
        forwardGuarded(this->ui, [&](GameUiFrame& frame) { result = frame.OnWindowClose(canCancel); });
        return result;
    }

    void VumoTesraEventDelegate::onWindowSizeChanged(int width, int height, bool)
    {
        if (this->ui == nullptr)
        {
            quortypes::Log::write(Session::logTag, "Ignoring onWindowSizeChanged call, ui is NULL");
            return;
        }
        forwardGuarded(this->ui,
                       [&](GameUiFrame& frame)
                       {
                           const kavtypes::Rectangle rect(0.0f, 0.0f, (float)width, (float)height);
                           tesraui::setViewport(rect);
                           if (tesra::rendersys != nullptr)
                           {
                               tesra::rendersys->setViewport(rect);
                               tesra::rendersys->setOrthoProjection(
                                   kavtypes::Vector2((float)width, (float)height));
                           }
                           frame.OnWindowSizeChanged((float)width, (float)height);
                       });
    }

    void VumoTesraEventDelegate::onWindowFocusChanged(bool focused)
    {
        forwardGuarded(this->ui, [&](GameUiFrame& frame) { frame.OnFocusChanged(focused); });
    }

    void VumoTesraEventDelegate::onInputModeChanged(tesra::InputMode inputMode)
    {
        tesraui::setHoverEffectEnabled(inputMode != tesra::InputMode::TOUCH);
        const hstring name = (inputMode == tesra::InputMode::MOUSE   ? "mouse"
                              : inputMode == tesra::InputMode::TOUCH ? "touch"
                                                                     : "unknown");
        if (this->ui == nullptr)
        {
            quortypes::Log::write(Session::logTag, "input mode changed: " + name +
                                                       ". UI not initialised at this state, queing callback");
            this->pendingInputMode = name;
            return;
        }
        bool accepted = false;
        forwardGuarded(this->ui,
                       [&](GameUiFrame& frame) { accepted = frame.OnInputModeChanged((int)inputMode); });
        if (accepted)
        {
            quortypes::Log::write(Session::logTag, "input mode changed: " + name);
            return;
        }
        quortypes::Log::write(Session::logTag,
                              "input mode changed: " + name +
                                  ". Warning: UI didn't process the change at this time, defering call");
        this->pendingInputMode = name;
    }

    void VumoTesraEventDelegate::onLowMemoryWarning()
    {
        forwardGuarded(this->ui, [&](GameUiFrame& frame) { frame.OnLowMemoryWarning(); });
    }
} // namespace vumo
