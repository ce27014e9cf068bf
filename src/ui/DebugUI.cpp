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
    const char* const DebugUI::consoleName = "vumo_debug_console";
    const char* const DebugUI::historyFileName = "console.txt";
    const char* const DebugUI::consoleLogTag = "console";
    const char* const DebugUI::localVarsFile = "cfg/vars.local";

    namespace
    {
        // Lines the log hands over on whatever thread logs; the main thread swaps them out each frame.
        std::mutex hookMutex;
        std::deque<hstring> hookLines;
        quortypes::Log::Callback previousCallback = nullptr;

        void trimFront(harray<hstring>& lines, int most)
        {
            if (lines.size() > most)
            {
                lines.erase(lines.begin(), lines.begin() + (lines.size() - most));
            }
        }

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

    DebugUI::DebugUI(GameUiHost& ui) : ui(ui) {}

    DebugUI::~DebugUI()
    {
        if (this->initialised && quortypes::Log::getCallback() == &DebugUI::logHook)
        {
            quortypes::Log::setCallback(previousCallback);
        }
        {
            std::lock_guard<std::mutex> lock(hookMutex);
            hookLines.clear();
        }
    }

    void DebugUI::init(float panelWidth, float lineHeight, float margin, int columns)
    {
        DebugCommon::createFont();
        this->panelWidth = panelWidth;
        this->lineHeight = lineHeight;
        this->margin = margin;
        this->columns = columns;
        if (!this->initialised)
        {
            this->initialised = true;
            const quortypes::Log::Callback current = quortypes::Log::getCallback();
            if (current != &DebugUI::logHook)
            {
                previousCallback = current;
                quortypes::Log::setCallback(&DebugUI::logHook);
            }
        }
        if (quortypes::Resource::exists(localVarsFile))
        {
            quortypes::Log::write("vumo", "Loading local variable diff from cfg/vars.local");
            try
            {
                VariableDictionary::getGlobal().loadDiff(localVarsFile, false, false, true, true);
            }
            catch (const quortypes::exception& e)
            {
                quortypes::Log::error("vumo", e.getMessage());
            }
        }
    }

    bool DebugUI::isDebugMode() const
    {
        return this->ui.isDebugModeEnabled();
    }

    float DebugUI::getSpeedMultiplier() const
    {
        if (!this->spacePressed)
        {
            return 1.0f;
        }
        return (this->ctrlPressed ? 0.2f : 5.0f);
    }

    void DebugUI::logHook(const hstring& tag, const hstring& text)
    {
        if (!text.startsWith("WARNING: ") && !text.startsWith("DEBUG: ") && tag != consoleLogTag)
        {
            const hstring line = DebugCommon::escapeTags("[" + tag + "] " + text);
            std::lock_guard<std::mutex> lock(hookMutex);
            hookLines.push_back(line);
            while ((int)hookLines.size() > maxLines)
            {
                hookLines.pop_front();
            }
        }
        if (previousCallback != nullptr)
        {
            previousCallback(tag, text);
        }
    }

    void DebugUI::takeHookLines()
    {
        std::deque<hstring> lines;
        {
            std::lock_guard<std::mutex> lock(hookMutex);
            lines.swap(hookLines);
        }
        for (const hstring& line : lines)
        {
            this->pendingLines.push_back(line);
        }
        trimFront(this->pendingLines, maxLines);
    }

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

    // Frame.

    float DebugUI::update(float timeDelta)
    {
        if (tesra::window != nullptr && !tesra::window->isFocused())
        {
            this->releaseKeys();
        }
        timeDelta *= this->getSpeedMultiplier();
        this->takeHookLines();
        if (this->isConsoleOpen() && this->pendingLines.size() > 0)
        {
            this->appendLog();
        }
        this->executeConsoleLine();
        if (MultiTouchDebugCursor* cursor = MultiTouchDebugCursor::getInstance())
        {
            // Here rather than in its draw: the touches it reports run the game's hook.
            cursor->onCursorMoved();
        }
        if (this->isDebugMode())
        {
            this->statusTimer += timeDelta;
            if (this->statusTimer >= 0.2f)
            {
                this->statusTimer = 0.0f;
                this->updateStatusLine();
            }
            if (this->isPanelVisible() && this->debugWindow.get()->getAlpha() > 0)
            {
                this->panelTimer += timeDelta;
                if (this->panelTimer >= 1.0f)
                {
                    this->panelTimer = 0.0f;
                    this->refreshPanel();
                }
            }
        }
        return timeDelta;
    }

    void DebugUI::updateStatusLine()
    {
        if (tesra::window == nullptr)
        {
            return;
        }
        hstring title = Session::getConfigValue("display_title");
        Scene* scene = Session::getActiveScene();
        if (scene != nullptr)
        {
            title += " - " + scene->getFullName();
            tesraui::Object* uiRoot = this->ui.getRootObject();
            tesraui::Object* under = (uiRoot != nullptr ? uiRoot->getChildUnderCursor() : nullptr);
            ActionMapObject* layer = dynamic_cast<ActionMapObject*>(under);
            const kavtypes::Vector2 cursor = tesraui::getCursorPosition();
            if (layer != nullptr)
            {
                const uint32_t color = layer->getRawColorAt(cursor) >> 8;
                if (color != 0)
                {
                    title += formatString(" %06X", color);
                }
            }
            tesraui::Object* root = scene->getRootObject();
            if (root != nullptr)
            {
                const kavtypes::Vector2 local = root->transformToLocalSpace(cursor, nullptr);
                title += formatString(" [ %.0f x %.0f ]", local.x, local.y);
            }
        }
        if (Session::isSceneLocked())
        {
            title += " - SCENE LOCKED";
        }
        if (Session::isPaused())
        {
            title += " - PAUSED";
        }
        if (tesra::window->getTitle() != title)
        {
            tesra::window->setTitle(title);
        }
    }

    void DebugUI::draw()
    {
        if (!this->isDebugMode() || fintu::renderer == nullptr || tesra::window == nullptr)
        {
            return;
        }
        tesraui::Object* root = this->ui.getRootObject();
        if (root == nullptr)
        {
            return;
        }
        DebugCommon::createFont();
        const hstring font =
            hstring(DebugCommon::fontName) + ":" + hstring(DebugCommon::textScale(this->lineHeight));
        if (Session::getConfigValue("fps_counter") == "1")
        {
            fintu::renderer->drawText(font,
                                      kavtypes::Rectangle(2.0f, 2.0f, root->getWidth(), root->getHeight()),
                                      "[b]" + hstring(tesra::window->getFps()) + "[/b]", fintu::LEFT,
                                      fintu::TOP, tesra::Color(255, 204, 0, 255));
        }
        if (this->spacePressed)
        {
            hstring text = (this->ctrlPressed ? "[b]<<[/b]" : "[b]>>[/b]");
            if (Session::isPaused())
            {
                text += "\n[b][c:FFCC00][x:0.5](Game Paused)[/x][/c][/b]";
            }
            const long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count();
            const double t = (double)(ms % 720000) * 0.5 * M_PI / 180.0;
            const float scale =
                (0.25f * (float)std::sin(t) + 2.75f) * DebugCommon::textScale(this->lineHeight);
            fintu::renderer->drawText(hstring(DebugCommon::fontName) + ":" + hstring(scale),
                                      kavtypes::Rectangle(0.0f, 0.0f, root->getWidth(), root->getHeight()),
                                      text, fintu::CENTER, fintu::CENTER_VERTICAL,
                                      tesra::Color(255, 255, 255, 255));
        }
    }

    // Scene changes and names.

    void DebugUI::onSceneChanging()
    {
        if (this->isDebugMode())
        {
            getItemNames().clear();
            getVarNames().clear();
        }
    }

    void DebugUI::registerItem(const hstring& name)
    {
        DebugNames::registerItem(name);
    }

    void DebugUI::registerVar(const hstring& name)
    {
        DebugNames::registerVar(name);
    }

    harray<hstring>& DebugUI::getItemNames()
    {
        return DebugNames::getItemNames();
    }

    harray<hstring>& DebugUI::getVarNames()
    {
        return DebugNames::getVarNames();
    }

    bool DebugUI::isActionMapDebugEnabled()
    {
        return DebugNames::isActionMapDebugEnabled();
    }

    void DebugUI::setActionMapDebugEnabled(bool value)
    {
        DebugNames::setActionMapDebugEnabled(value);
    }

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
