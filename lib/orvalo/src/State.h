#pragma once

#include <memory>

#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <tesraui/Dataset.h>
#include <tesraui/LifeToken.h>
#include <tesraui/Object.h>

#include <orvalo/orvalo.h>

namespace orvalo
{
    class MoreGamesScreen;
    class UpsellScreen;

    // A dataset whose deletion the library can see: the UI framework deletes every dataset at its
    // shut-down, and a screen may go with its parent's tree, so the library never assumes it still owns one.
    class WatchedDataset : public tesraui::Dataset
    {
    public:
        using tesraui::Dataset::Dataset;
        tesraui::LifeToken::Watch watchLife() { return this->life.watch(); }
        // Lets the program's image name hook make the image first.
        tesraui::Image* getImage(const hstring& name) override;
    };

    // Holds a dataset for as long as nobody else has deleted it. A dataset unregisters itself in its
    // destructor and the UI framework deletes those still registered at its shut-down, so no unique_ptr can
    // hold one.
    class HeldDataset
    {
    public:
        HeldDataset() = default;
        explicit HeldDataset(WatchedDataset* dataset) : dataset(dataset), watch(dataset->watchLife()) {}
        tesraui::Dataset* get() const { return this->watch.isAlive() ? this->dataset : nullptr; }
        // Deletes the dataset unless it is gone already, and forgets it.
        void destroy();

    private:
        WatchedDataset* dataset = nullptr;
        tesraui::LifeToken::Watch watch;
    };

    // The same for an object of the tree.
    class HeldObject
    {
    public:
        HeldObject() = default;
        explicit HeldObject(tesraui::Object* object) : object(object), watch(object->watchLife()) {}
        tesraui::Object* get() const { return this->watch.isAlive() ? this->object : nullptr; }
        void reset() { *this = HeldObject(); }

    private:
        tesraui::Object* object = nullptr;
        tesraui::LifeToken::Watch watch;
    };

    struct State
    {
        hstring systemPath;
        hstring gamesPath;
        hstring upsellFilename;
        HeldDataset dataset;
        harray<Game> games;
        Game currentGame;
        // Nothing sets it: the screens play no sound.
        hstring clickSoundName;

        // The screens clear their own entries in their destructors.
        MoreGamesScreen* moreGamesScreen = nullptr;
        HeldObject moreGamesContainer;
        HeldDataset moreGamesDataset;
        harray<HeldDataset> gameDatasets;

        UpsellScreen* upsellScreen = nullptr;
        HeldDataset upsellDataset;

        ImageNameHook imageNameHook = nullptr;
    };

    State& state();

    // Loads a dataset; on failure logs the loader's message, hands it to why when given, deletes what was
    // made and returns null. A loaded dataset is left to the UI framework's registry, for a HeldDataset to
    // watch.
    WatchedDataset* loadDataset(std::unique_ptr<WatchedDataset> dataset, hstring* why = nullptr);

    // The face of the font "orvalo" for the current localisation, below the fonts folder ("/ptsans.ttf").
    hstring fontFile();
    // Warns, naming the face's file, when an object of the dataset (loaded from file) writes in the font
    // "orvalo" and that font could not be loaded.
    void warnOfMissingFont(tesraui::Dataset* dataset, const hstring& file);

    // What is wrong with the dataset's object of that name for the part it plays, "" when nothing is.
    template <class T> hstring lack(tesraui::Dataset* dataset, const hstring& name, const hstring& kind)
    {
        tesraui::Object* object = dataset->tryGetObject(name);
        if (object == nullptr)
        {
            return "no " + kind + " '" + name + "'";
        }
        if (dynamic_cast<T*>(object) == nullptr)
        {
            return "'" + name + "' is of type " + object->getClassName() + ", not " + kind;
        }
        return "";
    }

    // A message without the mark of the source file that raised it ("[Document:175] "), for the game maker.
    hstring withoutSourceMark(const hstring& message);
} // namespace orvalo
