#pragma once

#include "Scene.h"

// A scene holding a puzzle: solving or skipping it plays a sound and then ignores the pointer for two
// seconds. The timer starts at 0, so pointer input waits for the first update.
class MinigameScene : public vumo::Scene
{
public:
    MinigameScene(vumo::Chapter* chapter, const hstring& name, const hstring& fileName);

    void onUpdate(float timeDelta) override;
    void onPointerPressed() override;
    void onPointerReleased() override;
    void onPointerMove(float x, float y) override;
    virtual void solve();
    virtual void skip();

    float getSolveTimer() const { return solveTimer; }
    bool acceptsPointer() const { return solveTimer < 0.0f; }

    // Plays a sound once through the audio manager; a sound that cannot play is logged, never thrown, so
    // the game goes on without it.
    static void playSound(const hstring& name);

protected:
    hstring text;
    float solveTimer = 0.0f;

    bool _end();
};
