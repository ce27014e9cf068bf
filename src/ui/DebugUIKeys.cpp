#include "DebugUI.h"

#include <chrono>
#include <cmath>
#include <deque>
#include <mutex>

#include <fintu/Renderer.h>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/EditBox.h>
#include <tesraui/ImageBox.h>
#include <tesraui/tesraui.h>

#include "ActionMap.h"
#include "Config.h"
#include "EngineObjects.h"
#include "Scene.h"
#include "Session.h"
#include "ScriptTexts.h"
#include "lua/LuaInterface.h"
#include "Variables.h"
#include "DebugNames.h"
#include "objects/ActionMapObject.h"
#include "objects/LineObject.h"
#include "ui/DebugCursor.h"
#include "ui/DebugCommon.h"
#include "GameUiHost.h"

namespace vumo
{
    namespace
    {
        bool isConsoleKey(int key)
        {
            switch (key)
            {
            case 37:
            case 39:
            case 8:
            case 13:
            case 46:
            case 16:
            case 162:
            case 163:
            case 17:
            case 36:
            case 35:
                return true;
            default:
                return false;
            }
        }
    } // namespace

    // Keys.

    bool DebugUI::onKeyDown(int keyCode)
    {
        if (!this->isDebugMode())
        {
            return true;
        }
        const bool console = this->isConsoleOpen();
        if (DebugCommon::isShiftKey(keyCode))
        {
            this->shiftPressed = true;
            this->shareModifiers();
        }
        else if (DebugCommon::isCtrlKey(keyCode))
        {
            this->ctrlPressed = true;
            this->shareModifiers();
        }
        else if (DebugCommon::isAltKey(keyCode))
        {
            this->altPressed = true;
        }
        else if (keyCode == 32)
        {
            if (!this->isPanelVisible() && !console)
            {
                this->spacePressed = true;
            }
        }
        else if (console && keyCode == 38)
        {
            this->browseHistory(-1);
        }
        else if (console && keyCode == 40)
        {
            this->browseHistory(1);
        }
        return (!console || isConsoleKey(keyCode));
    }

    bool DebugUI::onKeyUp(int keyCode)
    {
        if (!this->isDebugMode())
        {
            return true;
        }
        const bool console = this->isConsoleOpen();
        if (DebugCommon::isShiftKey(keyCode))
        {
            this->shiftPressed = false;
            this->shareModifiers();
        }
        else if (DebugCommon::isCtrlKey(keyCode))
        {
            this->ctrlPressed = false;
            this->shareModifiers();
        }
        else if (DebugCommon::isAltKey(keyCode))
        {
            this->altPressed = false;
        }
        else if (keyCode == 32)
        {
            this->spacePressed = false;
        }
        else if (keyCode == 112)
        {
            if (this->isPanelVisible())
            {
                this->hidePanel();
            }
            else if (!console)
            {
                this->showPanel();
            }
        }
        else if (keyCode == 9)
        {
            if (this->isPanelVisible())
            {
                this->hidePanel();
            }
            else if (!console)
            {
                this->createConsole();
            }
            else
            {
                this->closeConsole();
            }
        }
        else if (keyCode == 81)
        {
            // A "q" typed into the console is text, never a request to quit.
            tesraui::Dataset* dataset = this->ui.getDataset();
            tesraui::Object* focused = (dataset != nullptr ? dataset->getFocusedObject() : nullptr);
            if (!console && this->ui.isDeveloperModeEnabled() &&
                dynamic_cast<tesraui::EditBox*>(focused) == nullptr && tesra::window != nullptr)
            {
                tesra::window->terminateMainLoop();
            }
        }
        else if (!console)
        {
            if (keyCode == 113)
            {
                tesraui::setDebugEnabled(!tesraui::isDebugEnabled());
            }
            else if (keyCode == 116)
            {
                setActionMapDebugEnabled(!isActionMapDebugEnabled());
            }
            else if (keyCode == 117)
            {
                this->printSceneName();
            }
            else if (keyCode == 119)
            {
                // At the next frame's start, as a script's reset: the key is still being handled.
                Scene* scene = Session::getActiveScene();
                if (scene != nullptr)
                {
                    Session::queueScript(ObjectTexts::queuedSceneReset(scene->getFullName()), true);
                }
            }
            else if (keyCode == 67 && this->ctrlPressed)
            {
                this->copyActionMapColor();
            }
        }
        return (!console || isConsoleKey(keyCode));
    }

    void DebugUI::releaseKeys()
    {
        this->shiftPressed = false;
        this->altPressed = false;
        this->ctrlPressed = false;
        this->spacePressed = false;
        this->shareModifiers();
    }

    void DebugUI::shareModifiers()
    {
        if (MultiTouchDebugCursor* cursor = MultiTouchDebugCursor::getInstance())
        {
            cursor->setModifiers(this->shiftPressed, this->ctrlPressed);
        }
    }

} // namespace vumo
