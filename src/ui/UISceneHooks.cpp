#include "UI.h"

#include <cstdio>

#include <quortypes/Log.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Dataset.h>

#include "Scene.h"
#include "Session.h"
#include "lua/LuaInterface.h"
#include "ui/DebugUI.h"
#include "ScriptTexts.h"

namespace vumo
{
    namespace
    {
        hstring activeSceneName()
        {
            return (Session::getActiveScene() != nullptr ? Session::getActiveScene()->getFullName()
                                                         : hstring());
        }
    } // namespace

    void UI::OnBeginLoading(const hstring& chapter)
    {
        this->loading = true;
        if (!LuaInterface::isHook("ui.OnBeginLoading") || !LuaInterface::isHook("ui.OnFinishLoading"))
        {
            return;
        }
        this->execute(HookTexts::beginLoading(chapter), chapter == "ui");
        if (this->dataset != nullptr)
        {
            this->dataset->update(0.0f);
        }
        this->draw();
        if (tesra::rendersys != nullptr)
        {
            tesra::rendersys->presentFrame();
        }
    }

    void UI::OnFinishLoading(const hstring& chapter)
    {
        if (LuaInterface::isHook("ui.OnBeginLoading") && LuaInterface::isHook("ui.OnFinishLoading"))
        {
            this->execute(HookTexts::finishLoading(chapter));
            if (this->dataset != nullptr)
            {
                this->dataset->update(0.0f);
            }
        }
        this->loading = false;
    }

    void UI::OnUpdateLoading(float progress)
    {
        // Looked up before its text is made: a switch reports after every texture it loads, mostly to a game
        // without the hook.
        if (!LuaInterface::isHook("ui.OnUpdateLoading"))
        {
            return;
        }
        this->execute(HookTexts::updateLoading(progress));
        if (this->dataset != nullptr)
        {
            this->dataset->update(0.0f);
        }
        this->draw();
        if (tesra::rendersys != nullptr)
        {
            tesra::rendersys->presentFrame();
        }
    }

    hstring UI::getSelectedItem()
    {
        return this->selectedItem;
    }

    void UI::selectItem(const hstring& name)
    {
        if (name != this->selectedItem)
        {
            this->selectedItem = name;
        }
        this->dropPending = false;
    }

    void UI::OnUseItemFail(const hstring& item)
    {
        this->callHook("ui.OnUseItemFail", HookTexts::useItemFail(item));
    }

    void UI::OnGamePaused()
    {
        this->callHook("ui.OnGamePaused", HookTexts::gamePaused());
    }

    void UI::OnGameUnpaused()
    {
        this->callHook("ui.OnGameUnpaused", HookTexts::gameUnpaused());
    }

    void UI::OnSceneResetting()
    {
        this->callHook("ui.OnSceneResetting", HookTexts::sceneResetting());
        this->debugUI->onSceneChanging();
    }

    void UI::OnSceneReset()
    {
        this->callHook("ui.OnSceneReset", HookTexts::sceneReset());
        this->debugUI->onSceneChanged();
    }

    void UI::OnSceneTransitionBegan(const hstring& target, const hstring& transition, float duration)
    {
        this->callHook("ui.OnSceneTransitionBegan",
                       HookTexts::sceneTransitionBegan(target, transition, duration));
    }

    hstring UI::OnSceneChanging(const hstring& target)
    {
        const hstring current = activeSceneName();
        this->previousScene = current;
        hstring result;
        if (LuaInterface::isHook("ui.OnSceneChanging"))
        {
            harray<hstring> results;
            this->executeWithReturnValues(HookTexts::sceneChanging(target, current), results);
            // A hook that returns nothing keeps the target.
            result = (results.size() > 0 && results[0] != "nil" ? results[0] : hstring());
        }
        this->debugUI->onSceneChanging();
        return result;
    }

    void UI::OnSceneChanged()
    {
        this->callHook("ui.OnSceneChanged", HookTexts::sceneChanged(activeSceneName(), this->previousScene));
        this->debugUI->onSceneChanged();
    }

    void UI::OnSceneTransitionEnded()
    {
        this->callHook("ui.OnSceneTransitionEnded", HookTexts::sceneTransitionEnded());
    }

    void UI::OnSceneActivating()
    {
        this->callHook("ui.OnSceneActivating", HookTexts::sceneActivating(activeSceneName()));
    }

    void UI::OnSceneActivated()
    {
        this->callHook("ui.OnSceneActivated", HookTexts::sceneActivated(activeSceneName()));
    }

    void UI::OnAchievementUnlocked(const hstring& name)
    {
        if (!LuaInterface::isHook("ui.OnAchievementUnlocked"))
        {
            quortypes::Log::write(
                "ui", "WARNING: Unlocked an achievement but unable to notify UI since lua function "
                      "ui.OnAchievementUnlocked() is not defined");
            return;
        }
        this->execute(HookTexts::achievementUnlocked(name));
    }

    // Inventory and dialogs.

    void UI::OnItemAdded(const hstring& item)
    {
        this->callHook("ui.OnItemAdded", HookTexts::itemAdded(item));
    }

    void UI::OnItemRemoved(const hstring& item)
    {
        this->callHook("ui.OnItemRemoved", HookTexts::itemRemoved(item));
    }

    void UI::startDialog()
    {
        this->callHook("ui.startDialog", HookTexts::startDialog());
    }

    void UI::endDialog()
    {
        if (!this->callHook("ui.endDialog", HookTexts::endDialog()))
        {
            this->showErrorOverlay("ui.endDialog() not implemented!");
        }
    }

    void UI::displayDialogReplies(const harray<hstring>& replies)
    {
        if (!this->callHook("ui.displayDialogReplies", HookTexts::displayDialogReplies(replies)))
        {
            this->showErrorOverlay("ui.displayDialogReplies() not implemented!");
        }
    }

    float UI::displayDialog(const hstring& speaker, const hstring& text)
    {
        if (!LuaInterface::isHook("ui.displayDialog"))
        {
            this->showErrorOverlay("ui.displayDialog() not implemented!");
            return 10000.0f;
        }
        harray<hstring> results;
        if (!this->executeWithReturnValues(HookTexts::displayDialog(speaker, text), results))
        {
            return 10000.0f;
        }
        if (results.size() != 1)
        {
            this->showErrorOverlay(
                formatString("ui.displayDialog() must return only 1 float value, got %d", results.size()));
            return 10000.0f;
        }
        float seconds = 0.0f;
        if (sscanf(results[0].c_str(), "%f", &seconds) != 1)
        {
            seconds = 0.0f;
        }
        return seconds;
    }
} // namespace vumo
