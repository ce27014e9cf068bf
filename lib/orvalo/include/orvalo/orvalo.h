#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

struct lua_State;

namespace tesraui
{
    class Dataset;
}

// Cross-promotion: the maker's other games (the more-games screen), the store scene's upsell screen and
// the link that rates the game, driven by a system folder of datasets and a folder of games.
namespace orvalo
{
    extern const hstring logTag;

    // One folder of the games path and the links of its "game.cfg".
    struct Game
    {
        hstring id;
        hstring UrlTorvin;
        hstring UrlStore;
        hstring UrlRateMe;
        hstring UrlFacebookShare;

        bool operator==(const Game& other) const;
        bool operator!=(const Game& other) const { return !(*this == other); }
    };

    // Called with every image name a promotion dataset is asked for, before it looks the name up, so that
    // the program can make an image of that name there first (the player's flat "0x" colours, as its
    // chapters have them). Null for none; destroy forgets it.
    typedef void (*ImageNameHook)(tesraui::Dataset* dataset, const hstring& name);
    void setImageNameHook(ImageNameHook hook);

    void init(const hstring& gameId, const hstring& systemPath, const hstring& gamesPath,
              const hstring& upsellFilename);
    // Throws quortypes::exception when no game folder is named gameId.
    void initData(const hstring& gameId, const hstring& systemPath, const hstring& gamesPath);
    void registerObjectFactories();
    void setUpsellFilename(const hstring& filename);
    hstring getSystemPath();
    hstring getGamesPath();
    hstring getUpsellFilename();
    // In the order of the games folder listing until a more-games screen shuffles them.
    const harray<Game>& getGames();
    const Game& getCurrentGame();
    hstring getRateLink();
    void rateApp();
    // The screens' font "orvalo": loaded while a screen exists, destroyed when the last one goes.
    void loadFonts();
    void unloadFonts();
    void destroy();
    // The script table "orvalo".
    void registerLuaFunctions(lua_State* L);
} // namespace orvalo
