#include "Game.h"

#include <quortypes/Log.h>
#include <tesra/tesra.h>

#include "CampfireScene.h"
#include "Config.h"
#include "Session.h"

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
            Session::init(nullptr);
        });
}

void gameDestroy()
{
    Session::destroy();
}
