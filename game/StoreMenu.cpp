#include "StoreMenu.h"

#include "ButtonClicks.h"

#include <algorithm>

#include <orvalo/UpsellScreen.h>
#include <orvalo/orvalo.h>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <tesraui/Event.h>
#include <tesraui/ImageBox.h>

#include "Chapter.h"
#include "Config.h"
#include "ScriptTexts.h"
#include "Session.h"
#include "Variables.h"
#include "lua/LuaInterface.h"
#include "GameUiHost.h"

using namespace vumo;

const hstring StoreMenu::logTag = "TorvinStoreMenu";
const hstring StoreMenu::laterScene = "MainMenu";

void StoreMenu::onActivate()
{
    this->leaveTo = "";
    const hstring upsell = Session::getConfigValue("upsell");
    orvalo::setUpsellFilename(upsell);
    hstring why;
    orvalo::UpsellScreen* screen = orvalo::createUpsellScreen(this->getRootObject(), "dummy", &why);
    if (screen == nullptr)
    {
        // What the library could not know: where the game keeps what it lacks.
        if (orvalo::getSystemPath() == "")
        {
            why = "The promotion data's folder data/orvalo/system is missing.";
        }
        else if (upsell == "")
        {
            why = "The configuration key 'upsell' (cfg/vumo.cfg) is not set: it names the store's dataset.";
        }
        else if (!quortypes::Resource::exists(orvalo::getUpsellFilename()))
        {
            why += " The configuration key 'upsell' (cfg/vumo.cfg) names it.";
        }
        getGameUiHost().showErrorOverlay("Unable to show StoreMenu, failed creating UpsellScreen object.\n" +
                                         why);
        this->leaveWhenRead();
        return;
    }
    fitToRoot(screen);
    harray<hstring> lacks;
    const auto bind = [&](tesraui::Object* button, const hstring& label, const hstring& name,
                          void (StoreMenu::*handler)(tesraui::EventArgs*))
    {
        if (button != nullptr)
        {
            button->registerEvent("Click", std::make_shared<tesraui::MemberCallbackEvent>(handler, this));
            // They click as the game's own buttons do.
            ButtonClicks::addTo(button);
        }
        else
        {
            lacks.push_back("no " + label + " button '" + name + "'");
        }
        return button != nullptr;
    };
    const bool later =
        bind(orvalo::getUpsellLaterButton(), "Later", "orvalo_us_button_later", &StoreMenu::onLaterClicked);
    bind(orvalo::getUpsellRestoreButton(), "Restore", "orvalo_us_button_restore",
         &StoreMenu::onRestoreClicked);
    bind(orvalo::getUpsellUnlockButton(), "Unlock", "orvalo_us_button_unlock", &StoreMenu::onBuyClicked);
    hstring problems;
    if (lacks.size() > 0)
    {
        problems +=
            "\nThe upsell dataset '" + orvalo::getUpsellFilename() + "' has " + lacks.joined(", ") + ".";
    }
    if (!this->getChapter()->hasScene(laterScene))
    {
        problems += "\nThe chapter '" + this->getChapter()->getName() + "' has no scene '" + laterScene +
                    "' (" + Chapter::getFolder(this->getChapter()->getName()) + "/scenes/" + laterScene +
                    ".scene), where Later leads: Later goes back to the scene before the store.";
    }
    if (problems != "")
    {
        getGameUiHost().showErrorOverlay("StoreMenu is shown without what it needs:" + problems);
    }
    if (!later)
    {
        // A store without its way out would keep the player.
        this->leaveWhenRead();
    }
}

hstring StoreMenu::sceneBefore() const
{
    const hstring previous = VariableDictionary::getGlobal().get("prev_scene").value();
    return previous != this->getFullName() ? previous : hstring();
}

void StoreMenu::leaveWhenRead()
{
    this->leaveTo = this->sceneBefore();
    if (this->leaveTo == "" && this->getChapter()->hasScene(laterScene))
    {
        this->leaveTo = this->getChapter()->getFullSceneName(laterScene);
    }
}

void StoreMenu::onUpdate(float timeDelta)
{
    if (this->leaveTo != "" && !getGameUiHost().isErrorOverlayShown())
    {
        // The first update comes once the error overlay is closed; the switch runs at the next frame's start.
        Session::queueScript(ObjectTexts::queuedSceneSwitch(this->leaveTo, "0.5", "fade"), true);
        this->leaveTo = "";
    }
    // Last: the scene's hook may end the scene.
    Scene::onUpdate(timeDelta);
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
    if (this->getChapter()->hasScene(laterScene))
    {
        Session::changeScene(laterScene, 0.5f, "fade");
        return;
    }
    // The overlay said so when the store opened; the player still gets out.
    if (this->sceneBefore() != "")
    {
        Session::changeScene(this->sceneBefore(), 0.5f, "fade");
    }
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
