#pragma once

#include <quortypes/hstring.h>

#include "ui/UI.h"

// The game's own UI: starts the promotion library when its data are there, puts the landing page before
// the configured start scene and gives the "menu" chapter its store scene.
class VumoPlayerTorvinOrvaloUI : public vumo::UI
{
public:
    static const hstring logTag;

    ~VumoPlayerTorvinOrvaloUI() override = default;
    void init() override;
    void onChapterLoaded(vumo::Chapter* chapter) override;

    // The games folder the promotion library reads, before "/games" is appended: "orvalo_games_path" when
    // set, else one of the folders of "data/orvalo/games" ("test" among several, else the first by name);
    // "" when there is none.
    static hstring chooseGamesPath();
    // Replaces a "StoreMenu" scene loaded from a file by the code one; nothing when the chapter is missing.
    static void installStoreMenu();
};

// The UI factory the program entry hands to engine start-up.
vumo::UI* createGameUI();
