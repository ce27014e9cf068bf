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

    // A screen the library shows, held from outside the tree so that code which destroys objects on request
    // (a script's) leaves it alone, and watched, since the tree it hangs in may still take it with itself (a
    // scene's end destroys what hangs below its root). One the tree destroyed waits for the frame's free,
    // which deletes it: the library then only forgets it.
    template <class T> class HeldScreen
    {
    public:
        HeldScreen() = default;
        explicit HeldScreen(T* screen) : screen(screen), watch(screen->watchLife())
        {
            screen->setOutsideHolder(holderName);
        }
        // Null without a screen and once the tree destroyed it.
        T* get() const { return this->watch.isAlive() ? this->screen : nullptr; }
        // The identity alone, for the screen's destructor, when the watch already reads it as gone.
        bool holds(const tesraui::Object* object) const
        {
            return object != nullptr && this->screen == object;
        }
        // The tree destroyed it: what the library keeps for it is stale.
        bool isLost() const { return this->screen != nullptr && !this->watch.isAlive(); }
        // Forgets the screen and gives up the hold; the screen while it still stands.
        T* release()
        {
            T* live = this->get();
            if (live != nullptr)
            {
                live->setOutsideHolder(nullptr);
            }
            *this = HeldScreen();
            return live;
        }

        static constexpr const char* holderName = "the promotion library";

    private:
        T* screen = nullptr;
        tesraui::LifeToken::Watch watch;
    };

    // Destroys an object of the tree the way scripts' objects go: through its dataset, freed with the frame's
    // other frees where the program defers them. Nothing happens for null.
    void letGo(tesraui::Object* object);

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

        // The screens clear their own entries in their destructors; one the tree destroyed is forgotten
        // by the next call that asks for it (heldMoreGamesScreen, heldUpsellScreen).
        HeldScreen<MoreGamesScreen> moreGamesScreen;
        HeldObject moreGamesContainer;
        HeldDataset moreGamesDataset;
        harray<HeldDataset> gameDatasets;

        HeldScreen<UpsellScreen> upsellScreen;
        HeldDataset upsellDataset;

        ImageNameHook imageNameHook = nullptr;
    };

    State& state();

    // The screen while it stands; one the tree destroyed is forgotten first, with what the library kept for
    // it (its datasets, the font, the container), so that nothing of it is deleted twice.
    MoreGamesScreen* heldMoreGamesScreen();
    UpsellScreen* heldUpsellScreen();

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
