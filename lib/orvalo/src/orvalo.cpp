#include <memory>

#include <fintu/Renderer.h>
#include <fintuttf/FontTtf.h>
#include <pirk/Cfg.h>
#include <pirk/util.h>
#include <quortypes/Dir.h>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/ResourceDir.h>
#include <quortypes/exception.h>
#include <tesraui/LabelBase.h>
#include <tesraui/exception.h>
#include <tesraui/tesraui.h>

#include <orvalo/UpsellImageSlider.h>
#include <orvalo/UpsellImageSliderStatic.h>
#include <orvalo/UpsellTextSlider.h>
#include <orvalo/orvalo.h>

#include "State.h"

namespace orvalo
{
    const hstring logTag = "orvalo";

    namespace
    {
        const char* const sliderTypes[] = {"UpsellImageSlider", "UpsellImageSliderStatic",
                                           "UpsellTextSlider"};

        bool screenExists()
        {
            return state().moreGamesScreen.get() != nullptr || state().upsellScreen.get() != nullptr;
        }

        // False for a file without a category.
        bool readGameCfg(const hstring& path, Game& game)
        {
            harray<pirk::CfgCategory> categories = pirk::parseCfgResource(path);
            if (categories.size() == 0)
            {
                return false;
            }
            const hdict<hstring>& values = categories[0].values;
            game.UrlTorvin = values.tryGet("UrlTorvin", "");
            game.UrlStore = values.tryGet("UrlStore", "");
            game.UrlRateMe = values.tryGet("UrlRateMe", "");
            game.UrlFacebookShare = values.tryGet("UrlFacebookShare", "");
            return true;
        }
    } // namespace

    State& state()
    {
        static State instance;
        return instance;
    }

    tesraui::Image* WatchedDataset::getImage(const hstring& name)
    {
        if (state().imageNameHook != nullptr)
        {
            state().imageNameHook(this, name);
        }
        return tesraui::Dataset::getImage(name);
    }

    void setImageNameHook(ImageNameHook hook)
    {
        state().imageNameHook = hook;
    }

    void letGo(tesraui::Object* object)
    {
        if (object == nullptr)
        {
            return;
        }
        object->setOutsideHolder(nullptr);
        if (tesraui::Dataset* dataset = object->getDataset())
        {
            dataset->destroyObject(object);
        }
        else
        {
            delete object;
        }
    }

    void HeldDataset::destroy()
    {
        // Watched, not owned: the registry may have deleted the dataset already (see HeldDataset).
        delete this->get();
        *this = HeldDataset();
    }

    WatchedDataset* loadDataset(std::unique_ptr<WatchedDataset> dataset, hstring* why)
    {
        try
        {
            dataset->load();
        }
        catch (const quortypes::exception& e)
        {
            quortypes::Log::error(logTag, e.getMessage());
            if (why != nullptr)
            {
                *why = e.getMessage();
            }
            return nullptr;
        }
        return dataset.release();
    }

    hstring withoutSourceMark(const hstring& message)
    {
        if (message.startsWith("[") && message.contains("] "))
        {
            return message.subString(message.find("] ") + 2);
        }
        return message;
    }

    bool Game::operator==(const Game& other) const
    {
        return this->id == other.id && this->UrlTorvin == other.UrlTorvin &&
               this->UrlStore == other.UrlStore && this->UrlRateMe == other.UrlRateMe &&
               this->UrlFacebookShare == other.UrlFacebookShare;
    }

    void init(const hstring& gameId, const hstring& systemPath, const hstring& gamesPath,
              const hstring& upsellFilename)
    {
        initData(gameId, systemPath, gamesPath);
        setUpsellFilename(upsellFilename);
    }

    void initData(const hstring& gameId, const hstring& systemPath, const hstring& gamesPath)
    {
        State& s = state();
        registerObjectFactories();
        s.systemPath = quortypes::Dir::normalize(systemPath);
        s.gamesPath = quortypes::Dir::normalize(gamesPath);
        // A second start reads the games afresh.
        s.games.clear();
        s.currentGame = Game();
        if (s.systemPath != "")
        {
            if (quortypes::ResourceDir::exists(s.systemPath))
            {
                const hstring file = quortypes::Dir::joinPath(s.systemPath, "orvalo.dts");
                if (quortypes::Resource::exists(file))
                {
                    s.dataset.destroy();
                    auto made = std::make_unique<WatchedDataset>(file, "orvalo");
                    made->setTextsPath("texts");
                    if (WatchedDataset* dataset = loadDataset(std::move(made)))
                    {
                        s.dataset = HeldDataset(dataset);
                    }
                }
                else
                {
                    quortypes::Log::error(logTag, "Dataset could not be found in system path: " + file);
                }
            }
            else
            {
                quortypes::Log::warn(logTag, "System path could not be found: " + s.systemPath);
            }
        }
        if (s.gamesPath == "")
        {
            return;
        }
        if (!quortypes::ResourceDir::exists(s.gamesPath))
        {
            quortypes::Log::warn(logTag, "Games path could not be found: " + s.gamesPath);
            return;
        }
        for (const hstring& name : quortypes::ResourceDir::directories(s.gamesPath))
        {
            const hstring file = s.gamesPath + "/" + name + "/game.cfg";
            if (!quortypes::Resource::exists(file))
            {
                quortypes::Log::warn(logTag, "Could not find 'game.cfg' in: " + name);
                continue;
            }
            Game game;
            game.id = name;
            if (!readGameCfg(file, game))
            {
                quortypes::Log::errorf(logTag, "CFG file '%s' in '%s' is malformed!", "game.cfg",
                                       name.c_str());
                continue;
            }
            s.games.push_back(game);
            if (game.id == gameId)
            {
                s.currentGame = game;
            }
        }
        if (s.currentGame.id == "")
        {
            throw quortypes::exception(formatString("Game ID '%s' does not match any directory in '%s'!",
                                                    gameId.c_str(), s.gamesPath.c_str()),
                                       __FILE__, __LINE__);
        }
    }

    void registerObjectFactories()
    {
        quortypes::Log::write(logTag, "Initializing Orvalo.");
        const tesraui::ObjectFactory factories[] = {&UpsellImageSlider::createInstance,
                                                    &UpsellImageSliderStatic::createInstance,
                                                    &UpsellTextSlider::createInstance};
        for (int i = 0; i < 3; ++i)
        {
            try
            {
                tesraui::registerObjectFactory(sliderTypes[i], factories[i]);
            }
            catch (const tesraui::_ObjectFactoryExistsException&)
            {
                // A second start finds them in place.
            }
        }
    }

    void setUpsellFilename(const hstring& filename)
    {
        state().upsellFilename = quortypes::Dir::normalize(filename);
        if (filename != "" && !quortypes::Resource::exists(state().upsellFilename))
        {
            quortypes::Log::warn(logTag, "Upsell filename could not be found: " + filename);
        }
    }

    hstring getSystemPath()
    {
        return state().systemPath;
    }

    hstring getGamesPath()
    {
        return state().gamesPath;
    }

    hstring getUpsellFilename()
    {
        return state().upsellFilename;
    }

    const harray<Game>& getGames()
    {
        return state().games;
    }

    const Game& getCurrentGame()
    {
        return state().currentGame;
    }

    hstring getRateLink()
    {
        return state().currentGame.UrlRateMe;
    }

    void rateApp()
    {
        const Game& game = state().currentGame;
        if (game.UrlRateMe != "")
        {
            pirk::openUrl(game.UrlRateMe);
        }
        else
        {
            quortypes::Log::errorf(logTag, "The current game '%s' does not have a Rate-Me URL defined!",
                                   game.id.c_str());
        }
    }

    void loadFonts()
    {
        const State& s = state();
        if (s.systemPath == "" || fintu::renderer == nullptr)
        {
            return;
        }
        const hstring fontsPath = s.systemPath + "/fonts";
        if (!quortypes::ResourceDir::exists(fontsPath) || fintu::renderer->hasFont("orvalo") ||
            !screenExists())
        {
            return;
        }
        const hstring localization = tesraui::getLocalization();
        const hstring file = fontsPath + fontFile();
        fintu::Font* font = nullptr;
        try
        {
            if (localization.startsWith("ru") || localization.startsWith("ko"))
            {
                font = new fintuttf::FontTtf(file, "orvalo", 120, 0.5f, 120, 10, true);
            }
            else if (localization.startsWith("ja"))
            {
                font = new fintuttf::FontTtf(file, "orvalo", 90, 0.5f, 90, true);
            }
            else if (localization.startsWith("zh"))
            {
                font = new fintuttf::FontTtf(file, "orvalo", 100, 0.5f, 100, true);
            }
            else
            {
                font = new fintuttf::FontTtf(file, "orvalo", 120, 0.5f, 120, 10, true);
            }
        }
        catch (const quortypes::exception& e)
        {
            // The screens then draw their texts in the default font.
            quortypes::Log::error(logTag, e.getMessage());
            return;
        }
        fintu::renderer->registerFont(font);
    }

    hstring fontFile()
    {
        const hstring localization = tesraui::getLocalization();
        if (localization.startsWith("ru"))
        {
            return "/ptsans.ttf";
        }
        if (localization.startsWith("ja"))
        {
            return "/ume-tgs5.ttf";
        }
        if (localization.startsWith("ko"))
        {
            return "/UnDotum.ttf";
        }
        if (localization.startsWith("zh"))
        {
            return "/simhei.ttf";
        }
        return "/SourceSansPro-Regular.ttf";
    }

    void warnOfMissingFont(tesraui::Dataset* dataset, const hstring& file)
    {
        // Without its face a text in the font draws nothing, and the text renderer's own warning names only
        // the font: the maker learns here which file it comes from.
        if (fintu::renderer == nullptr || fintu::renderer->hasFont("orvalo"))
        {
            return;
        }
        for (const auto& entry : dataset->getObjects())
        {
            const tesraui::LabelBase* label = dynamic_cast<const tesraui::LabelBase*>(entry.second);
            if (label != nullptr && (label->getFont() == "orvalo" || label->getFont().startsWith("orvalo:")))
            {
                quortypes::Log::warn(logTag, "'" + file + "' writes in the font 'orvalo', whose face '" +
                                                 state().systemPath + "/fonts" + fontFile() +
                                                 "' is missing: its texts in that font stay empty.");
                return;
            }
        }
    }

    void unloadFonts()
    {
        if (fintu::renderer != nullptr && fintu::renderer->hasFont("orvalo") && !screenExists())
        {
            fintu::renderer->destroyFont(fintu::renderer->getFont("orvalo"));
        }
    }

    void destroy()
    {
        State& s = state();
        quortypes::Log::write(logTag, "Destroying Orvalo.");
        if (fintu::renderer != nullptr && fintu::renderer->hasFont("orvalo"))
        {
            fintu::renderer->destroyFont(fintu::renderer->getFont("orvalo"));
        }
        if (s.dataset.get() != nullptr)
        {
            s.dataset.destroy();
            s.systemPath = "";
            s.gamesPath = "";
            s.upsellFilename = "";
            for (const char* type : sliderTypes)
            {
                tesraui::unregisterObjectFactory(type);
            }
        }
        s.games.clear();
        s.imageNameHook = nullptr;
    }
} // namespace orvalo
