#include "Match3Scene.h"

#include <algorithm>

#include <tesraui/Object.h>

#include "GameUiHost.h"
#include "ScriptTexts.h"
#include "Session.h"

using namespace vumo;

// A frame of the duel: the board's steps (score, collapse, a new deal) as its cells come to rest, the clock,
// and the board's end.

bool Match3Scene::_isAnimating() const
{
    tesraui::Object* gui = _findObject("minigame_gui");
    if (gui != nullptr && gui->hasDynamicAnimators())
    {
        return true;
    }
    for (Match3Element* cell : cells)
    {
        if (cell->hasDynamicAnimators())
        {
            return true;
        }
    }
    return false;
}

void Match3Scene::onUpdate(float timeDelta)
{
    if (Session::isPaused())
    {
        timeDelta = 0.0f;
    }
    MinigameScene::onUpdate(timeDelta);
    if (leaveTo != "" && !getGameUiHost().isErrorOverlayShown())
    {
        // The first update comes once the error overlay is closed; the switch runs at the next frame's start.
        Session::queueScript(ObjectTexts::queuedSceneSwitch(leaveTo, "0.5", "fade"), true);
        leaveTo = "";
    }
    if (!finished && !cells.empty())
    {
        if (!_isAnimating())
        {
            busy = false;
            dealt = true;
            for (Match3Element* cell : cells)
            {
                cell->setZOrder(9001);
                cell->setAngle(0.0f);
                cell->setColor(tesra::Color());
                cell->setScale(1.0f, 1.0f);
            }
            if (!lost && !restartPending && checkPending)
            {
                checkPending = false;
                if (board.hasRun())
                {
                    scorePending = busy = true;
                }
            }
        }
        if (!busy)
        {
            if (collapsePending)
            {
                collapsePending = false;
                checkPending = busy = true;
                _collapseAndRefill();
            }
            else if (scorePending)
            {
                scorePending = false;
                collapsePending = busy = true;
                _scoreMatches();
            }
            else if (restartPending)
            {
                _resetBoard();
                tesraui::Object* gui = _findObject("minigame_gui");
                if (gui != nullptr)
                {
                    gui->setAlpha(0);
                    gui->fadeAlpha(255, 1.0f);
                }
                restartPending = false;
            }
            else if (lost)
            {
                lost = false;
                busy = restartPending = true;
                for (Match3Element* cell : cells)
                {
                    cell->scale(0.75f, 0.75f, 1.0f);
                    cell->fadeGreen(0, 4.0f);
                    cell->fadeBlue(0, 4.0f);
                    cell->fadeAlpha(0, 1.0f);
                }
                tesraui::Object* gui = _findObject("minigame_gui");
                if (gui != nullptr)
                {
                    gui->fadeAlpha(0, 1.0f);
                }
            }
        }
        if (health <= 0)
        {
            finished = true;
            solve();
        }
        else if (!lost && !restartPending && dealt && time > 0.0f)
        {
            // The time runs once the board can be played, not while its tiles pop in.
            timeLeft = std::max(timeLeft - timeDelta, 0.0f);
            if (timeLeft <= 0.0f)
            {
                lost = true;
                // A tile picked before the time ran out goes with the board.
                if (Match3Element* cell = getCell(selectedColumn, selectedRow))
                {
                    cell->scaleStop();
                }
                selectedColumn = selectedRow = -1;
                _markSelection();
                _updateHealthDisplay();
                // The scene's script may say so; it runs last, as whatever it does may end the scene.
                runScript("if type(OnLost) == 'function' then OnLost() end");
                return;
            }
        }
    }
    _updateHealthDisplay();
}

void Match3Scene::skip()
{
    MinigameScene::skip();
    finished = true;
    health = 0;
}
