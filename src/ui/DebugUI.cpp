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

} // namespace vumo
