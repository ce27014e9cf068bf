#pragma once

#include "Scene.h"

// A scene with a fire burning low in it (the demo's hills, "<name>.campfire.scene"). The fire is a child of
// the scene's root object, so it comes and goes with the scene.
class CampfireScene : public vumo::Scene
{
public:
    using vumo::Scene::Scene;

    // Makes ".campfire.scene" files known; safe to call again.
    static void registerType();

    void onActivate() override;
};
