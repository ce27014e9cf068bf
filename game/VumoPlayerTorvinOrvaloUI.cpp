#include "VumoPlayerTorvinOrvaloUI.h"

#include <algorithm>

#include <orvalo/orvalo.h>
#include <quortypes/Log.h>
#include <quortypes/ResourceDir.h>
#include <quortypes/exception.h>
#include <tesraui/tesraui.h>

#include "Chapter.h"
#include "objects/ColorImage.h"
#include "Config.h"
#include "OrvaloStart.h"
#include "Session.h"
#include "StoreMenu.h"
#include "lua/LuaInterface.h"

using namespace vumo;

namespace
{
    const char* const gamesFolder = "data/orvalo/games";
    const char* const systemFolder = "data/orvalo/system";
} // namespace

const hstring VumoPlayerTorvinOrvaloUI::logTag = "vumoplayer";

UI* createGameUI()
{
    if (Session::hasConfigValue("locale"))
    {
        tesraui::setLocalization(Session::getConfigValue("locale"));
    }
    return new VumoPlayerTorvinOrvaloUI();
}

hstring VumoPlayerTorvinOrvaloUI::chooseGamesPath()
{
    const hstring configured = Session::getConfigValue("orvalo_games_path");
    if (configured != "")
    {
        return configured;
    }
    if (!quortypes::ResourceDir::exists(gamesFolder))
    {
        return "";
    }
    harray<hstring> names = quortypes::ResourceDir::directories(gamesFolder);
    if (names.size() == 0)
    {
        return "";
    }
    // The listing's order is the file system's; byte order makes the choice the same everywhere.
    std::sort(names.begin(), names.end());
    if (names.size() > 1 && std::find(names.begin(), names.end(), hstring("test")) != names.end())
    {
        return hstring(gamesFolder) + "/test";
    }
    return hstring(gamesFolder) + "/" + names[0];
}

void VumoPlayerTorvinOrvaloUI::init()
{
    hstring gamesPath = chooseGamesPath();
    if (quortypes::ResourceDir::exists(systemFolder))
    {
        if (gamesPath != "")
        {
            gamesPath += "/games";
        }
        // The promotion datasets take a flat colour "0xRRGGBB" for an image as the chapters do.
        orvalo::setImageNameHook(&ColorImage::registerIfColorName);
        orvalo::init(Session::getConfigValue("orvalo_id"), systemFolder, gamesPath,
                     Session::getConfigValue("upsell"));
        orvalo::registerLuaFunctions(LuaInterface::state);
    }
    else
    {
        quortypes::Log::write(logTag, "Unable to find orvalo games path, disabling orvalo features.");
    }
    if (Session::getConfigValue("landing_page") == "1" && orvalo::getSystemPath() != "")
    {
        try
        {
            Chapter* menu = Session::getChapter("menu");
            menu->registerScene(std::make_unique<OrvaloStart>(menu, "OrvaloStart", ""));
            OrvaloStart::savedStartScene() = Session::getConfigValue("scene");
            Session::setConfigValue("scene", "menu.OrvaloStart");
        }
        catch (const quortypes::exception& e)
        {
            // Without a "menu" chapter to hold it there is no landing page; the game starts where it is
            // configured to.
            quortypes::Log::error(logTag, "The landing page (landing_page: 1) needs the chapter 'menu' (" +
                                              Chapter::getFolder("menu") +
                                              "/menu.datadef) to stand in: " + e.getMessage());
        }
    }
    // Before the start scene is checked, so that the store can be it as it can be the target of any switch.
    this->installStoreMenu();
    UI::init();
}

void VumoPlayerTorvinOrvaloUI::onChapterLoaded(Chapter* chapter)
{
    UI::onChapterLoaded(chapter);
    // Also when another chapter loads: the "menu" chapter left for it has lost its scenes, and the store
    // must stay a target that a switch from anywhere can find before the chapter loads again.
    installStoreMenu();
}

void VumoPlayerTorvinOrvaloUI::installStoreMenu()
{
    Chapter* menu = nullptr;
    try
    {
        menu = Session::getChapter("menu");
    }
    catch (const quortypes::exception&)
    {
        return;
    }
    if (menu->hasScene("StoreMenu") && dynamic_cast<StoreMenu*>(menu->getScene("StoreMenu")) == nullptr)
    {
        menu->unregisterScene("StoreMenu");
    }
    if (!menu->hasScene("StoreMenu"))
    {
        menu->registerScene(std::make_unique<StoreMenu>(menu, "StoreMenu", ""));
    }
}
