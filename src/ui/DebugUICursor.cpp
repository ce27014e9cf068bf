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
    // Pointer and cursors.

    bool DebugUI::onPointerPressed(float, float, int button)
    {
        if (!this->isDebugMode())
        {
            return true;
        }
        if (button == 2 && this->isPanelVisible() && this->debugWindow.get()->isCursorInside())
        {
            this->debugWindow.get()->onMouseDown(1);
            return false;
        }
        MultiTouchDebugCursor* cursor = MultiTouchDebugCursor::getInstance();
        if (cursor != nullptr)
        {
            cursor->setActive(true);
            return false;
        }
        return true;
    }

    bool DebugUI::onPointerReleased(float x, float y, int button)
    {
        if (!this->isDebugMode())
        {
            return true;
        }
        if (button == 2 && this->isPanelVisible() && this->debugWindow.get()->isCursorInside())
        {
            const bool ctrl = this->ctrlPressed;
            this->ctrlPressed = true;
            this->debugWindow.get()->onMouseUp(1);
            this->ctrlPressed = ctrl;
            return false;
        }
        if (button == 1 && this->ctrlPressed && isActionMapDebugEnabled() && !this->isPanelVisible() &&
            this->moveRegionCentre(x, y))
        {
            return false;
        }
        MultiTouchDebugCursor* cursor = MultiTouchDebugCursor::getInstance();
        if (cursor != nullptr && cursor->isActive())
        {
            cursor->setActive(false);
            return false;
        }
        return true;
    }

    bool DebugUI::moveRegionCentre(float, float)
    {
        tesraui::Object* root = this->ui.getRootObject();
        if (root == nullptr)
        {
            return false;
        }
        const kavtypes::Vector2 cursor = tesraui::getCursorPosition();
        ActionMapObject* layer = dynamic_cast<ActionMapObject*>(root->getChildUnderPoint(cursor));
        if (layer == nullptr || layer->getMap() == nullptr)
        {
            return false;
        }
        const uint32_t color = layer->getRawColorAt(cursor);
        if (color == 0 || layer->getWidth() == 0.0f || layer->getHeight() == 0.0f)
        {
            return false;
        }
        ActionMap* map = layer->getMap();
        const kavtypes::Vector2 local = layer->transformToLocalSpace(cursor, nullptr);
        const int mapX = (int)(local.x * (float)map->getWidth() / layer->getWidth());
        const int mapY = (int)(local.y * (float)map->getHeight() / layer->getHeight());
        try
        {
            map->setRegionCenter(color, mapX, mapY);
            map->save();
        }
        catch (const quortypes::exception& e)
        {
            quortypes::Log::error("DebugUI", e.getMessage());
        }
        return true;
    }

    void DebugUI::onPointerMove()
    {
        MultiTouchDebugCursor* cursor = MultiTouchDebugCursor::getInstance();
        if (cursor != nullptr)
        {
            cursor->onCursorMoved();
        }
    }

    hstring DebugUI::getDebugCursorMode()
    {
        if (!this->isDebugMode())
        {
            return "";
        }
        if (this->altPressed)
        {
            return "vumo_debug_multitouch_cursor";
        }
        if (this->ui.getUIIdiom() != GameUiInventory::IDIOM_PC)
        {
            return "";
        }
        if (this->ui.isErrorOverlayShown() ||
            (this->isPanelVisible() && this->debugWindow.get()->getAlpha() > 0))
        {
            return "vumo_debug_cursor";
        }
        return "";
    }

    void DebugUI::fillCursor(tesraui::Container* cursor, const hstring& mode)
    {
        tesraui::Dataset* dataset = this->ui.getDataset();
        if (cursor == nullptr || dataset == nullptr)
        {
            return;
        }
        tesraui::Object* object = nullptr;
        if (mode == "vumo_debug_cursor")
        {
            LineObject* line = new LineObject(EngineObjects::freeName(dataset, cursor->getName() + "/arrow"),
                                              kavtypes::Rectangle(0.0f, 0.0f, 1.0f, 1.0f));
            line->setProperty("points", "0.0,0.0;1.0,0.5;0.5,1.0;0.0,0.0");
            line->setProperty("render_op", "line_strip");
            tesraui::Object* root = this->ui.getRootObject();
            const float size = (root != nullptr ? root->getHeight() / 50.0f : 16.0f);
            line->setScale(size, size);
            line->setCenter(0.0f, 0.0f);
            object = line;
        }
        else if (mode == "vumo_debug_multitouch_cursor")
        {
            tesraui::Object* root = this->ui.getRootObject();
            object = new MultiTouchDebugCursor(
                this->ui, EngineObjects::freeName(dataset, cursor->getName() + "/multitouch"),
                kavtypes::Rectangle(0.0f, 0.0f, root != nullptr ? root->getWidth() : 0.0f,
                                    root != nullptr ? root->getHeight() : 0.0f));
            this->shareModifiers();
        }
        if (object != nullptr)
        {
            object->setClickThrough(true);
            // The touch simulation reaches its cursor every frame: it goes only with the cursor.
            EngineObjects::attachPart(object, cursor, dataset);
        }
    }
} // namespace vumo
