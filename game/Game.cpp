#include "Game.h"

#include <orvalo/orvalo.h>
#include <quortypes/Log.h>
#include <tesra/tesra.h>

#include "CampfireScene.h"
#include "Config.h"
#include "Match3Scene.h"
#include "Session.h"
#include "VumoPlayerTorvinOrvaloUI.h"

using namespace vumo;

void gameInit(const harray<hstring>&)
{
    Session::guarded(
        []
        {
            try
            {
                Session::loadConfig(true);
            }
            catch (const quortypes::exception& e)
            {
                // An invalid "title" leaves the load as an exception; it ends the program like any
                // other configuration that cannot be used.
                quortypes::Log::error(Session::logTag, e.getMessage());
                tesra::showMessageBox("VUMO ERROR", e.getMessage(), tesra::MESSAGE_BUTTON_OK,
                                      tesra::MESSAGE_STYLE_CRITICAL |
                                          tesra::MESSAGE_STYLE_TERMINATE_ON_DISPLAY);
            }
            CampfireScene::registerType();
            Scene::registerFactory(Match3Scene::typeName, &Match3Scene::create);
            Session::init(&createGameUI);
        });
}

void gameDestroy()
{
    // The promotion screens live in the UI tree the engine takes down.
    if (orvalo::getSystemPath() != "")
    {
        orvalo::destroy();
    }
    Session::destroy();
}
