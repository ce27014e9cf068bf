#include "StoreMenu.h"

#include "ButtonClicks.h"

#include <algorithm>
#include <utility>

#include <orvalo/UpsellScreen.h>
#include <orvalo/orvalo.h>
#include <quortypes/Log.h>
#include <tesraui/Event.h>
#include <tesraui/ImageBox.h>

#include "Config.h"
#include "ScriptTexts.h"
#include "Session.h"
#include "lua/LuaInterface.h"
#include "GameUiHost.h"

using namespace vumo;

const hstring StoreMenu::logTag = "TorvinStoreMenu";

void StoreMenu::onActivate()
{
    orvalo::setUpsellFilename(Session::getConfigValue("upsell"));
    orvalo::UpsellScreen* screen = orvalo::createUpsellScreen(this->getRootObject(), "dummy");
    if (screen == nullptr)
    {
        getGameUiHost().showErrorOverlay("Unable to show StoreMenu, failed creating UpsellScreen object.");
        return;
    }
    fitToRoot(screen);
    const std::pair<tesraui::Object*, void (StoreMenu::*)(tesraui::EventArgs*)> buttons[] = {
        {orvalo::getUpsellLaterButton(), &StoreMenu::onLaterClicked},
        {orvalo::getUpsellRestoreButton(), &StoreMenu::onRestoreClicked},
        {orvalo::getUpsellUnlockButton(), &StoreMenu::onBuyClicked},
    };
    for (const auto& button : buttons)
    {
        if (button.first != nullptr)
        {
            button.first->registerEvent("Click",
                                        std::make_shared<tesraui::MemberCallbackEvent>(button.second, this));
            // They click as the game's own buttons do.
            ButtonClicks::addTo(button.first);
        }
    }
}

void StoreMenu::fitToRoot(tesraui::Object* screen)
{
    // The screen's layout is made for one size; a window of another size would cut its buttons off, so it
    // is scaled as a whole to fit and centred on the free side.
    tesraui::Object* root = this->getRootObject();
    if (root == nullptr || screen->getWidth() <= 0.0f || screen->getHeight() <= 0.0f)
    {
        return;
    }
    const float scale =
        std::min(root->getWidth() / screen->getWidth(), root->getHeight() / screen->getHeight());
    if (scale <= 0.0f || scale == 1.0f)
    {
        return;
    }
    screen->setAnchors(false, false, false, false);
    screen->setCenter(0.0f, 0.0f);
    screen->setScale(scale, scale);
    screen->setX((root->getWidth() - screen->getWidth() * scale) / 2.0f);
    screen->setY((root->getHeight() - screen->getHeight() * scale) / 2.0f);
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
    if (!runChapterHandler("onBuy"))
    {
        quortypes::Log::write(logTag, "chapter.onBuy() not defined, ignoring buy button click event.");
    }
}

void StoreMenu::onRestoreClicked(tesraui::EventArgs*)
{
    // The game may say that there is nothing to restore; without a handler the button does nothing.
    runChapterHandler("onRestore");
}

bool StoreMenu::runChapterHandler(const hstring& name)
{
    const hstring call = "chapter." + name;
    if (!LuaInterface::isHook(call))
    {
        return false;
    }
    // A failing handler is reported like any script error; the store stays usable.
    getGameUiHost().execute(SceneTexts::callChapterFunction(name));
    return true;
}
