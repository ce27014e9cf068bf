#pragma once

#include <kavtypes/Vector2.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>

namespace tesraui
{
    class Container;
    class Dataset;
} // namespace tesraui

namespace vumo
{
    class Chapter;

    // What the engine below the game UI needs of it, one interface for each kind of caller; the whole UI
    // (GameUiHost below) implements them all. Every default behaves as an engine with no UI: nothing is
    // shown, held or run. Only the whole UI is deleted, so the parts keep their destructors to themselves.

    // The UI as the session starts it and the window's event delegate runs it: built once the session has
    // started every library, then fed the window's input and one frame at a time.
    class GameUiFrame
    {
    public:
        virtual void init() {}
        virtual bool OnPointerPressed(float, float, int) { return false; }
        virtual void OnPointerMove(float, float) {}
        virtual void OnPointerScroll(float, float) {}
        virtual bool OnPointerReleased(float, float, int) { return false; }
        virtual void OnPointerCanceled(int) {}
        virtual bool OnKeyDown(int) { return false; }
        virtual bool OnKeyUp(int) { return false; }
        virtual void OnChar(unsigned int) {}
        virtual void OnTouch(const harray<kavtypes::Vector2>&) {}
        virtual bool OnInputModeChanged(int) { return false; }
        virtual void OnLowMemoryWarning() {}
        virtual void OnWindowSizeChanged(float, float) {}
        virtual bool OnWindowClose(bool) { return true; }
        virtual void OnFocusChanged(bool) {}
        virtual void update(float) {}
        virtual void draw() {}

    protected:
        virtual ~GameUiFrame() = default;
    };

    // The hooks the game's state calls as it changes: chapters loading, the scene switch and its
    // transitions, scenes resetting and activating, pause and achievements.
    class GameUiSceneHooks
    {
    public:
        virtual void OnBeginLoading(const hstring&) {}
        virtual void OnFinishLoading(const hstring&) {}
        virtual void OnUpdateLoading(float) {}
        virtual void onChapterLoaded(Chapter*) {}
        virtual void OnSceneResetting() {}
        virtual void OnSceneReset() {}
        virtual void OnSceneTransitionBegan(const hstring&, const hstring&, float) {}
        // Another full scene name redirects the switch; "" keeps the target.
        virtual hstring OnSceneChanging(const hstring&) { return ""; }
        virtual void OnSceneChanged() {}
        virtual void OnSceneTransitionEnded() {}
        virtual void OnSceneActivating() {}
        virtual void OnSceneActivated() {}
        virtual void OnGamePaused() {}
        virtual void OnGameUnpaused() {}
        virtual void OnAchievementUnlocked(const hstring&) {}

    protected:
        virtual ~GameUiSceneHooks() = default;
    };

    // What the inventory and the objects the player handles ask: the held item and its hooks, the held
    // pointer and the idiom.
    class GameUiInventory
    {
    public:
        enum Idiom
        {
            IDIOM_PC = 1,
            IDIOM_MOBILE = 2,
            IDIOM_TABLET = 3
        };

        // 0 without a UI: no idiom at all. Working it out may run the game's override.
        virtual int getUIIdiom() { return 0; }
        // The idiom as last worked out, or as the configuration says before the first time: for code where no
        // script may run, such as an object's factory in the middle of a dataset's load.
        virtual int getKnownUIIdiom() { return 0; }
        virtual bool isPointerDown() const { return false; }
        // Forgets a press whose release the UI will not see, as when a zoom's pan takes the pointer over.
        virtual void clearPointerDown() {}
        virtual hstring getSelectedItem() { return ""; }
        virtual void selectItem(const hstring&) {}
        virtual void OnItemAdded(const hstring&) {}
        virtual void OnItemRemoved(const hstring&) {}
        virtual void OnUseItemFail(const hstring&) {}

    protected:
        virtual ~GameUiInventory() = default;
    };

    // What the script tables and the Lua host reach: the UI's dataset and root, its Lua and its error
    // overlay.
    class GameUiScripts
    {
    public:
        virtual tesraui::Dataset* getDataset() const { return nullptr; }
        virtual tesraui::Container* getRootObject() const { return nullptr; }
        virtual void execute(const hstring&, bool systemMessage = false) { (void)systemMessage; }
        // False when the code did not run.
        virtual bool executeWithReturnValues(const hstring&, harray<hstring>&) { return false; }
        virtual void showErrorOverlay(const hstring&) {}
        virtual bool isErrorOverlayShown() const { return false; }

    protected:
        virtual ~GameUiScripts() = default;
    };

    // The zoom of the active scene, for the script table scene, the inventory pane's drag and the viewport.
    class GameUiZoom
    {
    public:
        virtual bool hasZoom() const { return false; }
        virtual bool isZoomPanning() const { return false; }
        virtual void focusPoint(float, float, float, float, bool) {}
        virtual void zoomOut(float) {}
        // Moves a zoomed-in scene by a distance in viewport sizes; false when no scene is zoomed in.
        virtual bool panZoom(kavtypes::Vector2) { return false; }
        // The active scene's "__maxZoomScale", 1.0 when it sets none.
        virtual float getMaxZoomScale() const { return 1.0f; }
        // The cursor's place in the viewport as fractions of its size; (-1, -1) without a viewport.
        virtual kavtypes::Vector2 getZoomCursorFraction() const { return kavtypes::Vector2(-1.0f, -1.0f); }

    protected:
        virtual ~GameUiZoom() = default;
    };

    // The whole game UI, as the session owns it. While it lives it is installed for the engine below it; the
    // window's event delegate and the tools the UI owns (debug tools, zoom) are handed it by their owners.
    class GameUiHost : public GameUiFrame,
                       public GameUiSceneHooks,
                       public GameUiInventory,
                       public GameUiScripts,
                       public GameUiZoom
    {
    public:
        ~GameUiHost() override;

        // What the dialog manager shows.
        virtual void startDialog() {}
        virtual void endDialog() {}
        virtual void displayDialogReplies(const harray<hstring>&) {}
        // The seconds the line stays.
        virtual float displayDialog(const hstring&, const hstring&) { return 0.0f; }

        // The developer's switches and what the debug tools change for the rest of the engine.
        virtual bool isDebugModeEnabled() { return false; }
        virtual bool isDeveloperModeEnabled() { return false; }
        // The debug tools' Alt key, with which they simulate touches of their own.
        virtual bool isDebugAltPressed() const { return false; }
        // The debug tools' game speed.
        virtual float getDebugSpeedMultiplier() const { return 1.0f; }

    protected:
        // Gives the engine back to the defaults if this UI is installed; a UI calls it at the end of its
        // destructor, so that nothing reaches it while its members and bases go.
        void uninstall();
    };

    // Null restores the defaults; the host is not owned.
    void setGameUiHost(GameUiHost* host);
    // The engine's way up to the game UI: the installed one, else the defaults.
    GameUiHost& getGameUiHost();
    // The installed UI; null while the defaults answer. Only for the few callers that do something else when
    // there is no UI at all.
    GameUiHost* findGameUiHost();
    // The game UI the session creates when the game brings none; made by the UI itself.
    GameUiHost* createDefaultGameUi();
} // namespace vumo
