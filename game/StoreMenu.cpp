#include "StoreMenu.h"

#include <orvalo/UpsellScreen.h>
#include <orvalo/orvalo.h>
#include <quortypes/Log.h>
#include <tesraui/Event.h>
#include <tesraui/ImageBox.h>

#include "Config.h"
#include "Session.h"
#include "lua/LuaInterface.h"
#include "ui/UI.h"

const hstring StoreMenu::logTag = "TorvinStoreMenu";

void StoreMenu::onActivate()
{
    orvalo::setUpsellFilename(Session::getConfigValue("upsell"));
    orvalo::UpsellScreen* screen = orvalo::createUpsellScreen(this->getRootObject(), "dummy");
    if (screen == nullptr)
    {
        if (UI::getInstance() != nullptr)
        {
            UI::getInstance()->showErrorOverlay(
                "Unable to show StoreMenu, failed creating UpsellScreen object.");
        }
        return;
    }
    if (tesraui::Object* later = orvalo::getUpsellLaterButton())
    {
        later->registerEvent("Click", new tesraui::MemberCallbackEvent(&StoreMenu::onLaterClicked, this));
    }
    if (tesraui::Object* restore = orvalo::getUpsellRestoreButton())
    {
        restore->registerEvent("Click", new tesraui::MemberCallbackEvent(&StoreMenu::onRestoreClicked, this));
    }
    if (tesraui::Object* unlock = orvalo::getUpsellUnlockButton())
    {
        unlock->registerEvent("Click", new tesraui::MemberCallbackEvent(&StoreMenu::onBuyClicked, this));
    }
}

void StoreMenu::onObjectsEnding()
{
    if (orvalo::getUpsellScreen() != nullptr)
    {
        orvalo::destroyUpsellScreen();
    }
}

void StoreMenu::onDeactivate()
{
    // Normally gone already; a screen that was never made has been reported when it failed.
    onObjectsEnding();
}

void StoreMenu::onLaterClicked(tesraui::EventArgs*)
{
    Session::changeScene("MainMenu", 0.5f, "fade");
}

void StoreMenu::onBuyClicked(tesraui::EventArgs*)
{
    if (!LuaInterface::isFunction("chapter.onBuy"))
    {
        quortypes::Log::write(logTag, "chapter.onBuy() not defined, ignoring buy button click event.");
        return;
    }
    // A failing handler is reported like any script error; the store stays usable.
    if (UI::getInstance() != nullptr)
    {
        UI::getInstance()->execute("chapter.onBuy()");
    }
    else
    {
        LuaInterface::execute("chapter.onBuy()");
    }
}
