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
    hstring why;
    orvalo::MoreGamesScreen* screen =
        orvalo::createAndShowMoreGamesScreen(getGameUiHost().getRootObject(), &why);
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
        return;
    }
    if (orvalo::getGames().size() == 0)
    {
        // What the library could not know: where the game keeps its games.
        why = orvalo::getGamesPath() == ""
                  ? hstring("The promoted games are missing: data/orvalo/games holds no folder of them.")
                  : "The promoted games are missing: '" + orvalo::getGamesPath() +
                        "' holds no folder with a game.cfg.";
    }
    // Once the player has read why, the next update passes on to the start scene.
    getGameUiHost().showErrorOverlay("The landing page (landing_page: 1 in cfg/vumo.cfg) cannot be shown.\n" +
                                     why);
}

void OrvaloStart::onUpdate(float)
{
    hstring& saved = savedStartScene();
    if (saved == "" || orvalo::isMoreGamesScreenShown())
    {
        return;
    }
    Session::setConfigValue("scene", saved);
    // A script may have ended the screen itself.
    if (orvalo::isMoreGamesScreenCreated())
    {
        orvalo::destroyMoreGamesScreen();
    }
    const hstring target = saved;
    saved = "";
    Session::checkStartScene(target);
    Session::changeScene(target, 0.1f, "fade");
}
