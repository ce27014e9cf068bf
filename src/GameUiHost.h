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

    // What the engine below the game UI needs of it: its dataset and root, the held item, its modes, the
    // hooks the session, the inventory and the dialogs call, and the window's input. The game UI installs
    // itself while it lives; the defaults behave as an engine with no UI: nothing is shown, held or run.
    class GameUiHost
    {
    public:
        enum Idiom
        {
            IDIOM_PC = 1,
            IDIOM_MOBILE = 2,
            IDIOM_TABLET = 3
        };

        virtual ~GameUiHost();

        // Builds the UI once the session has started every library.
        virtual void init() {}

        virtual tesraui::Dataset* getDataset() const { return nullptr; }
        virtual tesraui::Container* getRootObject() const { return nullptr; }
        virtual bool isPointerDown() const { return false; }
        // Forgets a press whose release the UI will not see, as when a zoom's pan takes the pointer over.
        virtual void clearPointerDown() {}
        virtual bool isDebugModeEnabled() { return false; }
        virtual bool isDeveloperModeEnabled() { return false; }
        // 0 without a UI: no idiom at all.
        virtual int getUIIdiom() { return 0; }
        virtual hstring getSelectedItem() { return ""; }
        virtual void selectItem(const hstring&) {}

        virtual void execute(const hstring&, bool systemMessage = false) { (void)systemMessage; }
        // False when the code did not run.
        virtual bool executeWithReturnValues(const hstring&, harray<hstring>&) { return false; }
        virtual void showErrorOverlay(const hstring&) {}
        virtual bool isErrorOverlayShown() const { return false; }

        virtual void OnItemAdded(const hstring&) {}
        virtual void OnItemRemoved(const hstring&) {}
        virtual void OnUseItemFail(const hstring&) {}
        virtual void OnAchievementUnlocked(const hstring&) {}
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

        virtual void startDialog() {}
        virtual void endDialog() {}
        virtual void displayDialogReplies(const harray<hstring>&) {}
        // The seconds the line stays.
        virtual float displayDialog(const hstring&, const hstring&) { return 0.0f; }

        // The window's input and frame.
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
        // The debug tools' Alt key, with which they simulate touches of their own.
        virtual bool isDebugAltPressed() const { return false; }
        // The debug tools' game speed.
        virtual float getDebugSpeedMultiplier() const { return 1.0f; }

        // The zoom of the active scene.
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
    };

    // Null restores the defaults; the host is not owned.
    void setGameUiHost(GameUiHost* host);
    GameUiHost& getGameUiHost();
    // The installed UI; null while the defaults answer.
    GameUiHost* findGameUiHost();
    // The game UI the session creates when the game brings none; made by the UI itself.
    GameUiHost* createDefaultGameUi();
} // namespace vumo
