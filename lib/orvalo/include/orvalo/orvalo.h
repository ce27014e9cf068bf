#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

struct lua_State;

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
