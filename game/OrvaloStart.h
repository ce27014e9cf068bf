#pragma once

#include "Scene.h"

// The landing page: the more-games screen over an empty scene. Once the player has closed the screen it
// passes on to the start scene it stood in for.
class OrvaloStart : public vumo::Scene
{
public:
    using vumo::Scene::Scene;

    // The configured start scene the landing page replaced; emptied once the page has passed on to it.
    static hstring& savedStartScene();

    hstring getScript() override { return "scene.setBackground('null')"; }
    void onActivate() override;
    void onUpdate(float timeDelta) override;
};
