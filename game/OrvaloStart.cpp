#include "OrvaloStart.h"

#include "ButtonClicks.h"

#include <orvalo/MoreGamesScreen.h>
#include <orvalo/orvalo.h>
#include <tesraui/Container.h>

#include "Config.h"
#include "Session.h"
#include "GameUiHost.h"

using namespace vumo;

hstring& OrvaloStart::savedStartScene()
{
    static hstring scene;
    return scene;
}

void OrvaloStart::onActivate()
{
    Scene::onActivate();
    orvalo::MoreGamesScreen* screen = orvalo::createAndShowMoreGamesScreen(getGameUiHost().getRootObject());
    // The library has logged why there is no screen; the next update passes on to the start scene.
    if (screen != nullptr)
    {
        screen->setZOrder(0);
        // The page's buttons click as the game's own do; the splash passes its click on to Play.
        ButtonClicks::addTo(orvalo::getPlayButton());
        if (tesraui::Object* games = orvalo::getMoreGamesScreenButton("orvalo_mgs_scroll_area", "games"))
        {
            for (tesraui::Object* game : games->getChildren())
            {
                ButtonClicks::addTo(game);
            }
        }
    }
}

void OrvaloStart::onUpdate(float)
{
    hstring& saved = savedStartScene();
    if (saved == "" || orvalo::isMoreGamesScreenShown())
    {
        return;
    }
    Session::setConfigValue("scene", saved);
    orvalo::destroyMoreGamesScreen();
    const hstring target = saved;
    saved = "";
    Session::checkStartScene(target);
    Session::changeScene(target, 0.1f, "fade");
}
