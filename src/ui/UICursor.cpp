#include "UI.h"

#include <memory>
#include <utility>

#include <quortypes/Log.h>
#include <quortypes/ResourceDir.h>
#include <tesra/Cursor.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/tesraui.h>

#include "EngineObjects.h"
#include "Session.h"
#include "lua/LuaInterface.h"
#include "ui/DebugUI.h"
#include "ScriptTexts.h"
#include "ui/ZoomController.h"

namespace vumo
{
    namespace
    {
        const char* const cursorsFolder = "data/ui/cursors";
    } // namespace

    void UI::createSystemCursors()
    {
        if (!quortypes::ResourceDir::exists(cursorsFolder))
        {
            // The folder is optional: a game that draws its own pointer, or keeps the system's, has none. A
            // script that names a system cursor all the same is told so in the overlay. A game that draws its
            // own pointer needs none, and hears nothing of it.
            if (!LuaInterface::isHook("ui.createCursor"))
            {
                quortypes::Log::write(Session::logTag,
                                      hstring(cursorsFolder) + " not found, skipping system cursor creation");
            }
            return;
        }
        quortypes::Log::write(Session::logTag, "creating system cursors");
        for (const hstring& entry : quortypes::ResourceDir::contents(cursorsFolder))
        {
            std::unique_ptr<tesra::Cursor> cursor =
                (tesra::window != nullptr ? tesra::window->createCursor(hstring(cursorsFolder) + "/" + entry)
                                          : nullptr);
            if (cursor != nullptr)
            {
                quortypes::Log::write(Session::logTag, "  - " + entry);
                this->systemCursors[entry] = std::move(cursor);
            }
        }
    }

    kavtypes::Vector2 UI::getCursorPosition() const
    {
        kavtypes::Vector2 cursor = tesraui::getCursorPosition();
        if (this->rootObject == nullptr)
        {
            return cursor;
        }
        const kavtypes::Rectangle bounds = this->rootObject->getBoundingRect();
        if (bounds.w == 0.0f || bounds.h == 0.0f)
        {
            return cursor;
        }
        const kavtypes::Vector2 size = this->rootObject->getSize();
        return kavtypes::Vector2((cursor.x - bounds.x) * size.x / bounds.w,
                                 (cursor.y - bounds.y) * size.y / bounds.h);
    }

    void UI::setCursorPosition(float x, float y)
    {
        kavtypes::Vector2 cursor(x, y);
        if (this->rootObject != nullptr)
        {
            const kavtypes::Rectangle bounds = this->rootObject->getBoundingRect();
            const kavtypes::Vector2 size = this->rootObject->getSize();
            if (size.x != 0.0f && size.y != 0.0f)
            {
                cursor =
                    kavtypes::Vector2(x * bounds.w / size.x + bounds.x, y * bounds.h / size.y + bounds.y);
            }
        }
        tesraui::setCursorPosition(cursor);
    }

    bool UI::updateCursorPosition()
    {
        if (this->getUIIdiom() != IDIOM_PC && !this->pointerDown && !this->zoomController->isPanning())
        {
            return false;
        }
        tesraui::updateCursorPosition();
        if (!this->isErrorOverlayShown() && LuaInterface::isHook("ui.updateCursorPosition"))
        {
            const kavtypes::Vector2 position = this->getCursorPosition();
            this->execute(HookTexts::updateCursorPosition(position.x, position.y));
        }
        return true;
    }

    void UI::destroyCursorObject()
    {
        tesraui::Container* cursor = this->getCursorObject();
        this->cursorObject = nullptr;
        if (cursor == nullptr || this->dataset == nullptr)
        {
            return;
        }
        const tesraui::LifeToken::Watch life = this->cursorLife;
        // No longer the cursor: the hook may destroy it itself, and so may a metamethod its lookup runs.
        cursor->setOutsideHolder(nullptr);
        const hstring name = cursor->getFullName();
        if (LuaInterface::isHook("ui.destroyCursor"))
        {
            this->execute(HookTexts::destroyCursor(name));
        }
        if (life.isAlive() && cursor->getDataset() != nullptr)
        {
            cursor->getDataset()->destroyObject(cursor);
        }
    }

    void UI::applySystemCursor(const hstring& name)
    {
        if (tesra::window == nullptr || name == "")
        {
            return;
        }
        if (name == "default")
        {
            tesra::window->setCursor(nullptr);
            return;
        }
        auto found = this->systemCursors.find(name);
        tesra::Cursor* cursor = (found != this->systemCursors.end() ? found->second.get() : nullptr);
        if (cursor == nullptr)
        {
            this->showErrorOverlay("Unable to set system cursor '" + name + "', cursor not found.");
            return;
        }
        tesra::window->setCursor(cursor);
    }

    void UI::updateCursor()
    {
        hstring mode = this->debugUI->getDebugCursorMode();
        const bool debugCursor = (mode != "");
        this->updateCursorPosition();
        hstring systemName = this->systemCursorName;
        if (!debugCursor && tesra::window != nullptr && LuaInterface::isHook("ui.getCursorMode"))
        {
            harray<hstring> results;
            if (this->executeWithReturnValues(HookTexts::cursorMode(), results))
            {
                mode = (results.size() > 0 && results[0] != "nil" ? results[0] : hstring());
                if (results.size() > 1)
                {
                    systemName = (results[1] != "nil" ? results[1] : hstring());
                }
            }
        }
        const bool pc = (this->getUIIdiom() == IDIOM_PC);
        if (mode != this->cursorMode || (pc && systemName != this->systemCursorName))
        {
            this->destroyCursorObject();
            if (mode != "" && this->dataset != nullptr && this->rootObject != nullptr)
            {
                if (debugCursor || LuaInterface::isHook("ui.createCursor"))
                {
                    tesraui::Container* cursor = new tesraui::Container(
                        EngineObjects::freeName(this->dataset.get(), "vumo_cursor"), kavtypes::Rectangle());
                    cursor->setOutsideHolder("the UI as its cursor");
                    cursor->setZOrder(cursorZOrder);
                    cursor->setClickThrough(true);
                    EngineObjects::attach(cursor, this->rootObject, this->dataset.get());
                    this->cursorObject = cursor;
                    this->cursorLife = cursor->watchLife();
                    if (debugCursor)
                    {
                        this->debugUI->fillCursor(cursor, mode);
                    }
                    else
                    {
                        this->execute(HookTexts::createCursor(mode, cursor->getFullName()));
                    }
                }
                else
                {
                    this->showErrorOverlay("Unable to create " + mode +
                                           " cursor UI, function ui.createCursor() doesn't exist.");
                }
            }
            this->cursorMode = mode;
        }
        if (pc && systemName != this->systemCursorName)
        {
            this->systemCursorName = systemName;
            this->applySystemCursor(systemName);
        }
        this->keepCursorOnTop();
        if (tesraui::Container* cursor = this->getCursorObject())
        {
            const kavtypes::Vector2 position = this->getCursorPosition();
            cursor->setPosition(position.x, position.y);
        }
        const bool visible = (this->systemCursorName != "");
        if (tesra::window != nullptr && tesra::window->isCursorVisible() != visible)
        {
            tesra::window->setCursorVisible(visible);
        }
    }
} // namespace vumo
