#include <cstdlib>
#include <memory>
#include <utility>

#include <pirk/util.h>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>
#include <tesraui/Container.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>
#include <tesraui/ImageBox.h>
#include <tesraui/ImageButton.h>
#include <tesraui/ScrollArea.h>
#include <tesraui/exception.h>

#include <orvalo/MoreGamesScreen.h>

#include "State.h"

namespace orvalo
{
    namespace
    {
        const hstring buttonPrefix = "orvalo_mgs_button_";
        const float buttonSpacing = 196.0f;

        void onThumbnailClick(tesraui::EventArgs* args)
        {
            const int index = args->object->getName().replaced(buttonPrefix, "").toInt();
            const harray<Game>& games = state().games;
            // A game without a store link opens nothing.
            if (index >= 0 && index < games.size() && games[index].UrlStore != "")
            {
                pirk::openUrl(games[index].UrlStore);
            }
        }

        void onPlayClick(tesraui::EventArgs*)
        {
            MoreGamesScreen* screen = heldMoreGamesScreen();
            if (screen != nullptr && !screen->hasDynamicAnimators() && isMoreGamesScreenShown())
            {
                hideMoreGamesScreen();
            }
        }

        void onSplashClick(tesraui::EventArgs*)
        {
            tesraui::Dataset* dataset = state().moreGamesDataset.get();
            tesraui::Object* play =
                dataset != nullptr ? dataset->tryGetObject("orvalo_mgs_button_play") : nullptr;
            if (play != nullptr)
            {
                play->triggerEvent("Click", (unsigned int)0, "");
            }
        }

        // One pass of Fisher and Yates over rand(), as the platform's old shuffle did.
        void shuffle(harray<Game>& games)
        {
            for (int i = 1; i < games.size(); ++i)
            {
                const int j = std::rand() % (i + 1);
                if (i != j)
                {
                    std::swap(games[i], games[j]);
                }
            }
        }

        // Deletes whatever a failed create left: the screen's datasets and the library's records of them.
        void releaseMoreGames()
        {
            State& s = state();
            s.moreGamesDataset.destroy();
            for (HeldDataset& dataset : s.gameDatasets)
            {
                dataset.destroy();
            }
            s.gameDatasets.clear();
        }

        // The screen's body without the two objects, which come last: throws on a dataset lacking a name it
        // needs.
        void buildContent(tesraui::Dataset* dataset)
        {
            State& s = state();
            dataset->getObject("orvalo_mgs_button_play")->registerEvent("Click", &onPlayClick);
            dataset->getObject("orvalo_mgs_button_splash")->registerEvent("Click", &onSplashClick);
            tesraui::Object* scrollArea = dataset->getObject("orvalo_mgs_scroll_area");
            tesraui::Object* logo = dataset->getObject("orvalo_mgs_game_logo");
            shuffle(s.games);
            int buttons = 0;
            for (int n = 0; n < s.games.size(); ++n)
            {
                const Game& game = s.games[n];
                const hstring file =
                    formatString("%s/%s/%s", s.gamesPath.c_str(), game.id.c_str(), "images.tex");
                if (game.UrlStore == "")
                {
                    quortypes::Log::warn(logTag, "No Store URL set for: " + game.id);
                }
                if (!quortypes::Resource::exists(file))
                {
                    quortypes::Log::writef(logTag, "Could not find '%s' for '%s'!", "images.tex",
                                           game.id.c_str());
                    continue;
                }
                WatchedDataset* images =
                    loadDataset(std::make_unique<WatchedDataset>(file, "orvalo_" + game.id));
                if (images == nullptr)
                {
                    continue;
                }
                s.gameDatasets.push_back(HeldDataset(images));
                if (game.id == s.currentGame.id)
                {
                    continue;
                }
                if (!images->getImages().hasKey("thumbnail/image"))
                {
                    quortypes::Log::errorf(logTag, "No thumbnail image in '%s'!", file.c_str());
                    continue;
                }
                tesraui::ImageButton* button = new tesraui::ImageButton(
                    buttonPrefix + hstring(n), kavtypes::Rectangle(0, buttons * buttonSpacing, -1, -1));
                scrollArea->addChildAndRegister(button);
                button->setImageByName("orvalo_" + game.id + ".thumbnail/image");
                button->registerEvent("Click", &onThumbnailClick);
                ++buttons;
            }
            scrollArea->setHeight(buttons * buttonSpacing);
            tesraui::ImageBox* logoBox = dynamic_cast<tesraui::ImageBox*>(logo);
            if (logoBox == nullptr)
            {
                throw quortypes::exception("The game logo of the More-Games Screen is no image box!",
                                           __FILE__, __LINE__);
            }
            try
            {
                logoBox->setImageByName("orvalo_" + s.currentGame.id + ".logo/image");
            }
            catch (const tesraui::_ResourceNotExistsException& e)
            {
                // The screen stands without the logo; only the current game's own images are wanting.
                quortypes::Log::error(logTag, e.getMessage());
            }
        }
    } // namespace

    MoreGamesScreen::MoreGamesScreen(const hstring& name, kavtypes::Rectangle rect)
        : tesraui::Object(name, rect)
    {
    }

    MoreGamesScreen* heldMoreGamesScreen()
    {
        State& s = state();
        if (s.moreGamesScreen.isLost())
        {
            s.moreGamesScreen = HeldScreen<MoreGamesScreen>();
            letGo(s.moreGamesContainer.get());
            s.moreGamesContainer.reset();
            releaseMoreGames();
            unloadFonts();
        }
        return s.moreGamesScreen.get();
    }

    MoreGamesScreen::~MoreGamesScreen()
    {
        State& s = state();
        // Deleted with its dataset or a chapter, at once; one destroyed by the tree and forgotten since is
        // no longer the library's.
        if (s.moreGamesScreen.holds(this))
        {
            s.moreGamesScreen = HeldScreen<MoreGamesScreen>();
            s.moreGamesContainer.reset();
            releaseMoreGames();
            unloadFonts();
        }
    }

    const PropertyTable<MoreGamesScreen>& MoreGamesScreen::_properties()
    {
        using Table = PropertyTable<MoreGamesScreen>;
        static const Table table = {
            Table::floatRow("appear_speed", &MoreGamesScreen::appearSpeed),
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(MoreGamesScreen, tesraui::Object, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(MoreGamesScreen, tesraui::Object, _properties)

    void MoreGamesScreen::update(float timeDelta)
    {
        tesraui::Object::update(timeDelta);
        State& s = state();
        if (!s.moreGamesScreen.holds(this))
        {
            return;
        }
        if (tesraui::Dataset* dataset = s.moreGamesDataset.get())
        {
            dataset->updateTextures(timeDelta);
        }
        for (const HeldDataset& held : s.gameDatasets)
        {
            if (tesraui::Dataset* dataset = held.get())
            {
                dataset->updateTextures(timeDelta);
            }
        }
    }

    void MoreGamesScreen::clearChildUnderCursor()
    {
        tesraui::Object::clearChildUnderCursor();
        State& s = state();
        if (!s.moreGamesScreen.holds(this))
        {
            return;
        }
        if (tesraui::Dataset* dataset = s.moreGamesDataset.get())
        {
            dataset->clearChildUnderCursorCaches();
        }
        for (const HeldDataset& held : s.gameDatasets)
        {
            if (tesraui::Dataset* dataset = held.get())
            {
                dataset->clearChildUnderCursorCaches();
            }
        }
    }

    MoreGamesScreen* createMoreGamesScreen(tesraui::Object* parent, hstring* why)
    {
        State& s = state();
        const hstring file = s.systemPath + "/more-games/more_games.gui";
        const auto refuse = [why](const hstring& reason) -> MoreGamesScreen*
        {
            if (why != nullptr)
            {
                *why = reason;
            }
            return nullptr;
        };
        if (s.games.size() == 0)
        {
            quortypes::Log::error(logTag, "No games have been loaded!");
            return refuse("No promoted game was read from the games folder '" + s.gamesPath + "'.");
        }
        if (s.systemPath == "")
        {
            quortypes::Log::error(logTag, "Can't create More-Games Screen, system path not set!");
            return refuse("The promotion data's system folder is not set.");
        }
        if (heldMoreGamesScreen() != nullptr)
        {
            quortypes::Log::error(logTag, "More-Games Screen already exists!");
            return refuse("A More-Games Screen is shown already.");
        }
        if (!quortypes::Resource::exists(file))
        {
            quortypes::Log::debug(logTag, "More-Games Screen dataset file does not exist: " + file);
            return refuse("The more-games dataset '" + file + "' does not exist.");
        }
        quortypes::Log::write(logTag, "Creating More-Games Screen.");
        auto made = std::make_unique<WatchedDataset>(file);
        made->setTextsPath("texts");
        hstring failure;
        WatchedDataset* dataset = loadDataset(std::move(made), &failure);
        if (dataset == nullptr)
        {
            return refuse("The more-games dataset '" + file +
                          "' could not be loaded: " + withoutSourceMark(failure));
        }
        // Every part the screen cannot do without, named at once.
        harray<hstring> lacks;
        for (const hstring& problem : {lack<tesraui::Object>(dataset, "orvalo_mgs_scroll_area", "object"),
                                       lack<tesraui::Object>(dataset, "orvalo_mgs_button_play", "object"),
                                       lack<tesraui::Object>(dataset, "orvalo_mgs_button_splash", "object"),
                                       lack<tesraui::ImageBox>(dataset, "orvalo_mgs_game_logo", "ImageBox")})
        {
            if (problem != "")
            {
                lacks.push_back(problem);
            }
        }
        if (lacks.size() > 0)
        {
            const hstring reason = "The more-games dataset '" + file +
                                   "' lacks what the screen needs: " + lacks.joined("; ") + ".";
            quortypes::Log::error(logTag, reason);
            delete dataset;
            return refuse(reason);
        }
        s.moreGamesDataset = HeldDataset(dataset);
        tesraui::Container* container = nullptr;
        MoreGamesScreen* screen = nullptr;
        try
        {
            if (parent->getDataset() == nullptr)
            {
                throw quortypes::exception("Can't create More-Games Screen, parent '" + parent->getName() +
                                               "' is in no dataset!",
                                           __FILE__, __LINE__);
            }
            buildContent(dataset);
            tesraui::Object* root = dataset->getRoot();
            if (root == nullptr)
            {
                throw quortypes::exception("More-Games Screen dataset has no root object: " + file, __FILE__,
                                           __LINE__);
            }
            const float height = root->getHeight();
            const float width = parent->getWidth() / parent->getHeight() * height;
            root->setWidth(width);
            const kavtypes::Rectangle rect(0, 0, width, height);
            container = new tesraui::Container("orvalo_mgs_container", rect);
            s.moreGamesContainer = HeldObject(container);
            container->setOutsideHolder(HeldScreen<MoreGamesScreen>::holderName);
            parent->addChildAndRegister(container);
            container->setZOrder(100000);
            container->setVisible(false);
            screen = new MoreGamesScreen("orvalo_mgs", rect);
            screen->setAppearSpeed(3.0f);
            s.moreGamesScreen = HeldScreen<MoreGamesScreen>(screen);
            loadFonts();
            warnOfMissingFont(dataset, file);
            parent->addChildAndRegister(screen);
            const float scale = parent->getHeight() / height;
            screen->setScale(scale, scale);
            screen->setCenter(0.0f, 0.0f);
            screen->setZOrder(100000);
            screen->addChild(root);
            screen->setAlpha(0);
        }
        catch (const quortypes::exception& e)
        {
            quortypes::Log::error(logTag, e.getMessage());
            if (why != nullptr)
            {
                *why = "The more-games dataset '" + file +
                       "' makes no screen: " + withoutSourceMark(e.getMessage());
            }
            // Nothing half-made stays behind. A deleted object leaves its parent and its dataset by itself.
            if (container != nullptr && s.moreGamesContainer.get() == container)
            {
                // Registered, the container is its dataset's, which lets an object be deleted directly.
                delete container;
            }
            s.moreGamesContainer.reset();
            s.moreGamesScreen = HeldScreen<MoreGamesScreen>();
            // The same for the screen; never registered, it was nobody's but this call's.
            delete screen;
            releaseMoreGames();
            unloadFonts();
            return nullptr;
        }
        return screen;
    }

    MoreGamesScreen* createAndShowMoreGamesScreen(tesraui::Object* parent, hstring* why)
    {
        MoreGamesScreen* screen = createMoreGamesScreen(parent, why);
        if (screen != nullptr)
        {
            screen->setAppearSpeed(0.0f);
            showMoreGamesScreen();
        }
        return screen;
    }

    bool showMoreGamesScreen()
    {
        MoreGamesScreen* screen = heldMoreGamesScreen();
        if (screen == nullptr)
        {
            quortypes::Log::error(logTag, "More-Games Screen does not exist!");
            return false;
        }
        if (screen->hasDynamicAnimators())
        {
            quortypes::Log::debug(logTag, "Can't show More-Games Screen, already showing/hiding!");
            return false;
        }
        if (isMoreGamesScreenShown())
        {
            quortypes::Log::debug(logTag, "Can't show More-Games Screen, already visible!");
            return false;
        }
        screen->setAlpha(255);
        const float speed = screen->getAppearSpeed();
        if (speed > 0.0f)
        {
            const float h = screen->getHeight();
            screen->animateY(h, -h, speed, 1, 0.0f, 0.25f);
        }
        else
        {
            screen->setY(0.0f);
        }
        if (tesraui::Object* container = state().moreGamesContainer.get())
        {
            container->setVisible(true);
        }
        return true;
    }

    bool hideMoreGamesScreen()
    {
        MoreGamesScreen* screen = heldMoreGamesScreen();
        if (screen == nullptr)
        {
            quortypes::Log::error(logTag, "More-Games Screen does not exist!");
            return false;
        }
        if (screen->hasDynamicAnimators())
        {
            quortypes::Log::debug(logTag, "Can't hide More-Games Screen, already showing/hiding!");
            return false;
        }
        if (!isMoreGamesScreenShown())
        {
            quortypes::Log::debug(logTag, "Can't hide More-Games Screen, already hidden!");
            return false;
        }
        const float speed = screen->getAppearSpeed();
        const float h = screen->getHeight();
        if (speed > 0.0f)
        {
            screen->animateY(h, -h, speed, 1, 0.25f, 0.25f);
            screen->setAlpha(255);
            screen->fadeAlpha(0, speed);
        }
        else
        {
            screen->setAlpha(0);
            screen->setY(h);
        }
        if (tesraui::Object* container = state().moreGamesContainer.get())
        {
            container->setVisible(false);
        }
        return true;
    }

    void destroyMoreGamesScreen()
    {
        State& s = state();
        MoreGamesScreen* screen = heldMoreGamesScreen();
        if (screen == nullptr)
        {
            quortypes::Log::error(logTag, "More-Games Screen does not exist!");
            return;
        }
        // The call may come from a handler of the screen's own buttons (a script's): everything goes the way
        // the tree's objects go, the content through its own dataset first, and is freed after the frame.
        tesraui::Object* container = s.moreGamesContainer.get();
        s.moreGamesContainer.reset();
        s.moreGamesScreen.release();
        if (tesraui::Dataset* content = s.moreGamesDataset.get())
        {
            if (tesraui::Object* root = content->getRoot())
            {
                content->destroyObject(root);
            }
        }
        letGo(container);
        letGo(screen);
        releaseMoreGames();
        unloadFonts();
    }

    bool isMoreGamesScreenCreated()
    {
        return heldMoreGamesScreen() != nullptr;
    }

    bool isMoreGamesScreenShown()
    {
        MoreGamesScreen* screen = heldMoreGamesScreen();
        tesraui::Object* container = state().moreGamesContainer.get();
        return screen != nullptr && container != nullptr && container->isVisible() &&
               container->getAlpha() > 0;
    }

    MoreGamesScreen* getMoreGamesScreen()
    {
        return heldMoreGamesScreen();
    }

    tesraui::Object* getMoreGamesScreenButton(const hstring& name, const hstring& label)
    {
        MoreGamesScreen* screen = heldMoreGamesScreen();
        tesraui::Dataset* dataset = state().moreGamesDataset.get();
        if (screen == nullptr || dataset == nullptr)
        {
            quortypes::Log::error(logTag,
                                  "Could not get '" + label + "' button, More-Games screen does not exist!");
            return nullptr;
        }
        tesraui::Object* button = dataset->tryGetObject(name);
        if (button == nullptr)
        {
            quortypes::Log::error(logTag, "Could not get '" + label + "' button!");
        }
        return button;
    }

    tesraui::Object* getPlayButton()
    {
        return getMoreGamesScreenButton("orvalo_mgs_button_play", "Play");
    }
} // namespace orvalo
