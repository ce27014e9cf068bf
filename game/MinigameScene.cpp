#include "MinigameScene.h"

#include <quortypes/Log.h>
#include <yim/AudioManager.h>
#include <yim/yim.h>

#include "Session.h"

using namespace vumo;

MinigameScene::MinigameScene(Chapter* chapter, const hstring& name, const hstring& fileName)
    : Scene(chapter, name, fileName)
{
}

void MinigameScene::onUpdate(float timeDelta)
{
    Scene::onUpdate(timeDelta);
    if (solveTimer >= 0.0f)
    {
        solveTimer -= timeDelta;
        if (solveTimer < 0.0f)
        {
            solveTimer = -1.0f;
        }
    }
}

void MinigameScene::onPointerPressed()
{
    if (acceptsPointer())
    {
        Scene::onPointerPressed();
    }
}

void MinigameScene::onPointerReleased()
{
    if (acceptsPointer())
    {
        Scene::onPointerReleased();
    }
}

void MinigameScene::onPointerMove(float x, float y)
{
    if (acceptsPointer())
    {
        Scene::onPointerMove(x, y);
    }
}

void MinigameScene::playSound(const hstring& name)
{
    if (yim::manager == nullptr)
    {
        return;
    }
    try
    {
        yim::manager->play(name, 0.0f, false, 1.0f);
    }
    catch (const quortypes::exception& e)
    {
        quortypes::Log::error(Session::logTag, e.getMessage());
    }
}

bool MinigameScene::_end()
{
    if (solveTimer > 0.0f)
    {
        return false;
    }
    solveTimer = 2.0f;
    playSound("ui.minigame_solved");
    return true;
}

void MinigameScene::solve()
{
    if (_end())
    {
        runScript("OnSolved()");
    }
}

void MinigameScene::skip()
{
    _end();
}
