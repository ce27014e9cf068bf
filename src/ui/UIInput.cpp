#include "UI.h"

#include <algorithm>

#include <quortypes/Log.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>
#include <tesraui/Container.h>
#include <tesraui/ImageBox.h>
#include <tesraui/tesraui.h>
#include <yim/AudioManager.h>
#include <yim/yim.h>

#include "Config.h"
#include "Profile.h"
#include "Scene.h"
#include "Session.h"
#include "lua/LuaInterface.h"
#include "objects/ItemReceiver.h"
#include "objects/VumoViewportObject.h"
#include "ui/DebugUI.h"
#include "ScriptTexts.h"
#include "ui/UIWindowSize.h"
#include "ui/ZoomController.h"

namespace vumo
{
    namespace
    {
        bool isInside(tesraui::Object* object, tesraui::Object* ancestor)
        {
            return object != nullptr && ancestor != nullptr &&
                   (object == ancestor || object->isDescendantOf(ancestor));
        }

        // The scripts write "0" and "false" for nothing held, as the action maps and the pane read them.
        bool isItemHeld(const hstring& item)
        {
            return item != "" && item != "0" && item.lowered() != "false";
        }
    } // namespace

    bool UI::isCursorInScene()
    {
        Scene* scene = Session::getActiveScene();
        if (scene == nullptr || scene->getRootObject() == nullptr || this->rootObject == nullptr)
        {
            return false;
        }
        tesraui::Object* root = static_cast<tesraui::Object*>(scene->getRootObject());
        return isInside(this->rootObject->getChildUnderCursor(), root);
    }

    bool UI::isOnShownMessageBox(tesraui::Object* object) const
    {
        const MessageBox* box = this->getShownBox();
        return box != nullptr && box->boxLife.isAlive() && isInside(object, box->boxObject);
    }

    bool UI::takeScenePress(int button)
    {
        if (Session::getActiveScene() == nullptr || button < 0 || button >= 16 ||
            !this->pressedInScene[button])
        {
            return false;
        }
        this->pressedInScene[button] = false;
        return true;
    }

    UI::PressFate UI::takePressFate(int button)
    {
        if (button < 0 || button >= 16)
        {
            return PRESS_HANDED_ON;
        }
        const PressFate fate = this->pressFates[button];
        this->pressFates[button] = PRESS_HANDED_ON;
        return fate;
    }

    UI::PressFate UI::decidePressFate(int button, bool overlay)
    {
        // A player who double-clicks means one click: the first has answered, and a second on the same thing
        // would do it again (open a page twice, start a talk it just ended).
        tesraui::Object* under = this->rootObject->getChildUnderCursor();
        if (tesra::window != nullptr && tesra::window->getPressClicks() >= 2 && under != nullptr &&
            under == this->lastPressed.get())
        {
            return PRESS_DROPPED;
        }
        this->lastPressed = tesraui::Watched<tesraui::Object>(under);
        if (overlay)
        {
            return PRESS_HANDED_ON;
        }
        const hstring hook = (button == 1 ? "ui.OnPointerPressed" : "ui.OnAltPointerPressed");
        if (!LuaInterface::isHook(hook))
        {
            return PRESS_HANDED_ON;
        }
        harray<hstring> results;
        const bool ran = this->executeWithReturnValues(HookTexts::pointerPressed(button), results);
        return (ran && results.size() > 0 && results[0] == "true" ? PRESS_TAKEN : PRESS_HANDED_ON);
    }

    bool UI::OnPointerPressed(float x, float y, int button)
    {
        if (button == 1)
        {
            this->pointerDown = true;
        }
        this->takePressFate(button);
        const bool overlay = this->isErrorOverlayShown();
        if ((this->loading && !overlay) || this->rootObject == nullptr)
        {
            return false;
        }
        this->updateCursorPosition();
        if (!this->debugUI->onPointerPressed(x, y, button))
        {
            return false;
        }
        const PressFate fate = this->decidePressFate(button, overlay);
        if (button >= 0 && button < 16)
        {
            this->pressFates[button] = fate;
        }
        if (fate != PRESS_HANDED_ON)
        {
            // Neither the scene nor the UI's objects see the press, nor later its release.
            return true;
        }
        if (!overlay)
        {
            Scene* scene = Session::getActiveScene();
            if (scene != nullptr && button >= 0 && button < 16 && this->isCursorInScene())
            {
                this->pressedInScene[button] = true;
                if (button != 1)
                {
                    scene->onAltPointerPressed(button);
                    return false;
                }
                scene->onPointerPressed();
            }
        }
        if (this->rootObject == nullptr)
        {
            return false;
        }
        const bool pc = (this->getUIIdiom() == IDIOM_PC);
        // A touch lands where no pointer hovered before it, and a click may come with the move that brought
        // the pointer: the tree hit-tests the press where the cursor is now (Object::getChildUnderCursor).
        const bool result = this->rootObject->onMouseDown(button);
        if (pc)
        {
            this->zoomController->onPointerPressed(button);
        }
        return result;
    }

    bool UI::OnPointerReleased(float x, float y, int button)
    {
        if (button == 1)
        {
            this->pointerDown = false;
        }
        const PressFate fate = this->takePressFate(button);
        const bool overlay = this->isErrorOverlayShown();
        if ((this->loading && !overlay) || this->rootObject == nullptr)
        {
            return false;
        }
        this->updateCursorPosition();
        if (!this->debugUI->onPointerReleased(x, y, button))
        {
            return false;
        }
        if (fate == PRESS_DROPPED)
        {
            return true;
        }
        if (!overlay)
        {
            this->callHook(button == 1 ? "ui.OnPointerReleased" : "ui.OnAltPointerReleased",
                           HookTexts::pointerReleased(button));
            if (fate == PRESS_TAKEN)
            {
                // The game's hook took the press: its release is the game's too, and goes no further.
                return true;
            }
            if (button == 2 && this->selectedItem != "")
            {
                this->selectItem("");
                return true;
            }
            if (button == 1 && isItemHeld(this->selectedItem) && this->rootObject != nullptr)
            {
                tesraui::Object* under = this->rootObject->getChildUnderCursor();
                tesraui::Object* viewport = Session::getViewport();
                if (this->isOnShownMessageBox(under))
                {
                    // The box is modal: the click is its answer, and the hand keeps what it held.
                }
                else if (under != nullptr && !isInside(under, viewport))
                {
                    tesraui::Object* receiver = under;
                    // Kinds derived from ItemReceiver, such as the inventory pane, take drops too.
                    while (receiver != nullptr && dynamic_cast<ItemReceiver*>(receiver) == nullptr)
                    {
                        receiver = receiver->getParent();
                    }
                    if (receiver == nullptr)
                    {
                        this->selectItem("");
                        return true;
                    }
                }
                else if (!this->zoomController->isPanning())
                {
                    this->dropPending = true;
                }
            }
            if (this->takeScenePress(button))
            {
                Scene* scene = Session::getActiveScene();
                if (!this->isCursorInScene())
                {
                    scene->onPointerCanceled(button);
                }
                else if (button == 1)
                {
                    scene->onPointerReleased();
                }
                else
                {
                    scene->onAltPointerReleased(button);
                }
            }
        }
        if (this->rootObject == nullptr)
        {
            return true;
        }
        this->rootObject->onMouseUp(button);
        if (overlay)
        {
            return true;
        }
        if (this->getUIIdiom() == IDIOM_PC)
        {
            this->zoomController->onPointerReleased(button);
        }
        if (this->dropPending)
        {
            // A click handler queued by the release may still take the item.
            tesraui::processEvents();
            if (this->dropPending && isItemHeld(this->selectedItem))
            {
                const hstring item = this->selectedItem;
                this->OnUseItemFail(item);
                this->selectItem("");
            }
            this->dropPending = false;
        }
        return true;
    }

    void UI::OnPointerMove(float x, float y)
    {
        const bool overlay = this->isErrorOverlayShown();
        if (this->loading && !overlay)
        {
            return;
        }
        if (this->rootObject != nullptr && this->updateCursorPosition())
        {
            this->rootObject->onMouseMove();
            this->debugUI->onPointerMove();
            if (this->getUIIdiom() == IDIOM_PC)
            {
                this->zoomController->onPointerMove();
            }
        }
        if (!overlay && Session::getActiveScene() != nullptr)
        {
            Session::getActiveScene()->onPointerMove(x, y);
        }
    }

    void UI::OnPointerScroll(float x, float y)
    {
        if ((this->loading && !this->isErrorOverlayShown()) || this->rootObject == nullptr)
        {
            return;
        }
        this->updateCursorPosition();
        this->rootObject->onMouseScroll(x, y);
        if (this->getUIIdiom() == IDIOM_PC)
        {
            this->zoomController->onPointerScroll(x, y);
        }
    }

    void UI::OnPointerCanceled(int button)
    {
        if (button == 1)
        {
            this->pointerDown = false;
        }
        const PressFate fate = this->takePressFate(button);
        if (fate == PRESS_DROPPED)
        {
            return;
        }
        if (!this->isErrorOverlayShown())
        {
            this->callHook("ui.OnPointerCanceled", HookTexts::pointerCanceled(button));
        }
        if (fate == PRESS_TAKEN)
        {
            return;
        }
        if (this->takeScenePress(button))
        {
            Session::getActiveScene()->onPointerCanceled(button);
        }
        if (this->rootObject != nullptr)
        {
            this->rootObject->onMouseCancel(button);
        }
    }

    bool UI::OnKeyDown(int keyCode)
    {
        const bool overlay = this->isErrorOverlayShown();
        if ((this->loading && !overlay) || this->rootObject == nullptr || !this->debugUI->onKeyDown(keyCode))
        {
            return false;
        }
        this->rootObject->onKeyDown(keyCode);
        if (!overlay)
        {
            this->callHook("ui.OnKeyDown", HookTexts::keyDown(keyCode));
        }
        return true;
    }

    bool UI::OnKeyUp(int keyCode)
    {
        const bool overlay = this->isErrorOverlayShown();
        if ((this->loading && !overlay) || this->rootObject == nullptr || !this->debugUI->onKeyUp(keyCode))
        {
            return false;
        }
        this->rootObject->onKeyUp(keyCode);
        if (!overlay)
        {
            this->callHook("ui.OnKeyUp", HookTexts::keyUp(keyCode));
        }
        return true;
    }

    void UI::OnChar(unsigned int charCode)
    {
        if (!this->loading && this->rootObject != nullptr)
        {
            this->rootObject->onChar(charCode);
        }
    }

    void UI::OnTouch(const harray<kavtypes::Vector2>& touches)
    {
        this->touchCount = touches.size();
        if (this->pointerDown && this->touchCount != 1)
        {
            this->pointerDown = false;
        }
        if (this->loading)
        {
            return;
        }
        if (!this->isErrorOverlayShown() && LuaInterface::isHook("ui.OnTouch"))
        {
            harray<hstring> results;
            this->executeWithReturnValues(HookTexts::touch(touches), results);
            if (results.size() > 0 && (results[0] == "0" || results[0] == "false"))
            {
                return;
            }
        }
        this->zoomController->onTouch(touches);
    }

    bool UI::OnInputModeChanged(int mode)
    {
        hstring name;
        switch (mode)
        {
        case 0:
            name = "mouse";
            if (this->getUIIdiom() != IDIOM_PC)
            {
                Session::setConfigValue("target", "pc");
                this->idiomFrame = -1;
            }
            break;
        case 1:
            name = "touch";
            if (this->getUIIdiom() != IDIOM_TABLET)
            {
                Session::setConfigValue("target", "tablet");
                this->idiomFrame = -1;
            }
            break;
        case 2:
            name = "controller";
            break;
        default:
            quortypes::Log::error("ui", "Trying to set non-supported input mode!");
            return true;
        }
        if (!LuaInterface::isHook("ui.OnInputModeChanged"))
        {
            quortypes::Log::write("ui", "Input mode changed to '" + name +
                                            "'. Warning: Lua handler function not defined!");
            return false;
        }
        quortypes::Log::write("ui", "Input mode changed to '" + name + "', calling Lua handler function");
        this->execute(HookTexts::inputModeChanged(name));
        return true;
    }

    void UI::OnLowMemoryWarning()
    {
        quortypes::Log::write(Session::logTag, "Low memory warning received");
        Session::cleanMemory();
    }

    void UI::OnWindowSizeChanged(float width, float height)
    {
        if (!this->initialised)
        {
            if (this->rootObject != nullptr)
            {
                if (std::find(this->deferredCalls.begin(), this->deferredCalls.end(), "size") ==
                    this->deferredCalls.end())
                {
                    this->deferredCalls.push_back("size");
                }
                this->rootObject->setSize(width, height);
            }
            return;
        }
        if (this->callHook("ui.OnWindowSizeChanged", HookTexts::windowSizeChanged(width, height)))
        {
            return;
        }
        if (!this->windowSizeHookReported)
        {
            quortypes::Log::write(Session::logTag,
                                  "Ignoring ui.onWindowSizeChanged call, function not defined");
            this->windowSizeHookReported = true;
        }
        if (this->rootObject != nullptr && this->rootObject->getWidth() > 0.0f &&
            this->rootObject->getHeight() > 0.0f)
        {
            const kavtypes::Vector2 size = windowSize();
            this->rootObject->setScale(size.x / this->rootObject->getWidth(),
                                       size.y / this->rootObject->getHeight());
        }
    }

    void UI::saveProfile()
    {
        Profile* profile = Session::getProfile();
        if (profile == nullptr)
        {
            return;
        }
        try
        {
            profile->saveToFile();
        }
        catch (const quortypes::exception& e)
        {
            const hstring message = "Unable to save the profile: " + e.getMessage();
            quortypes::Log::error(Session::logTag, message);
            this->showErrorOverlay(message);
        }
    }

    bool UI::OnWindowClose(bool canCancel)
    {
        if (canCancel && this->callHook("ui.OnWindowClose", HookTexts::windowClose()))
        {
            // The script decides whether and when the game ends.
            return false;
        }
        // The game ends after this frame, and the end saves: a save here would miss the frame's change.
        return true;
    }

    void UI::OnFocusChanged(bool focused)
    {
        // Audio that a script suspended stays suspended when the focus comes back.
        if (yim::manager != nullptr)
        {
            if (focused)
            {
                if (this->audioSuspendedByFocus)
                {
                    yim::manager->resumeAudio();
                }
                this->audioSuspendedByFocus = false;
            }
            else if (!yim::manager->isSuspended())
            {
                yim::manager->suspendAudio();
                this->audioSuspendedByFocus = true;
            }
        }
        if (!focused)
        {
            // A key let go in another window never reaches us: the debug keys must not stay held until the
            // next frame notices, nor when the focus is back before it.
            this->debugUI->releaseKeys();
            const bool wasDown = this->pointerDown;
            if (wasDown)
            {
                this->OnPointerReleased(0.0f, 0.0f, 1);
            }
            if (wasDown || this->touchCount > 0)
            {
                this->OnTouch(harray<kavtypes::Vector2>());
            }
            this->saveProfile();
        }
        if (Session::getActiveScene() != nullptr)
        {
            this->callHook("ui.OnFocusChanged", HookTexts::focusChanged(focused));
        }
    }
} // namespace vumo
