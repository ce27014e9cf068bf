#pragma once

#include <memory>

#include <kavtypes/Vector2.h>
#include <quortypes/harray.h>
#include <quortypes/hdict.h>
#include <quortypes/hstring.h>
#include <tesraui/LifeToken.h>

#include "GameUiHost.h"
#include "ui/MessageBoxes.h"

namespace tesra
{
    class Cursor;
}

namespace tesraui
{
    class Container;
    class Dataset;
    class EventArgs;
} // namespace tesraui

namespace vumo
{
    class Chapter;
    class DebugUI;
    class Profile;
    class ZoomController;

    // The game's UI: owns the UI dataset "data/ui/ui.dts" with its root object, takes the window's input
    // and runs the game's script hooks of the table "ui". The game may derive its own class.
    class UI : public UIMessageBoxManager, public GameUiHost
    {
    public:
        // Becomes the one instance and the engine's game UI host.
        UI();
        ~UI() override;
        UI(const UI&) = delete;
        UI& operator=(const UI&) = delete;

        static UI* getInstance();
        static tesraui::Dataset* getUIDataset();
        // The pointer's least z-order: it draws over the rest of the root object's children.
        static const int cursorZOrder = 100000;
        // The two profile names that turn debug mode on, in lower case.
        static const char* const developerProfileNames[2];

        virtual void load();
        void init() override;
        bool isDebugModeEnabled() override;
        bool isDeveloperModeEnabled() override;
        // Room for a game's own switch; false here.
        virtual bool isFeatureEnabled() { return false; }
        void draw() override;
        void update(float timeDelta) override;
        int getUIIdiom() override;
        int getKnownUIIdiom() override;

        bool OnPointerPressed(float x, float y, int button) override;
        void OnPointerMove(float x, float y) override;
        void OnPointerScroll(float x, float y) override;
        bool OnPointerReleased(float x, float y, int button) override;
        void OnPointerCanceled(int button) override;
        bool OnKeyDown(int keyCode) override;
        bool OnKeyUp(int keyCode) override;
        void OnChar(unsigned int charCode) override;
        void OnTouch(const harray<kavtypes::Vector2>& touches) override;
        // 0 mouse, 1 touch, 2 controller; false when the scripts did not take it (it is offered again).
        bool OnInputModeChanged(int mode) override;
        void OnLowMemoryWarning() override;
        void OnWindowSizeChanged(float width, float height) override;
        // True when the window may close now.
        bool OnWindowClose(bool canCancel) override;
        void OnFocusChanged(bool focused) override;
        void OnBeginLoading(const hstring& chapter) override;
        void OnFinishLoading(const hstring& chapter) override;
        void OnUpdateLoading(float progress) override;
        hstring getSelectedItem() override;
        // Also clears a pending drop, so that a handler that uses the held item keeps the failure hook away.
        void selectItem(const hstring& name) override;
        // Runs "ui.OnAchievementUnlocked" with the name; without it, a warning.
        void OnAchievementUnlocked(const hstring& name) override;
        // Room for a game's own notice; nothing here.
        virtual void OnCustomNotice(const hstring&) {}
        void OnUseItemFail(const hstring& item) override;
        void OnSceneResetting() override;
        void OnSceneReset() override;
        void OnSceneTransitionBegan(const hstring& target, const hstring& transition,
                                    float duration) override;
        // The game may redirect the switch by returning another full scene name; "" keeps the target.
        hstring OnSceneChanging(const hstring& target) override;
        void OnSceneChanged() override;
        void OnSceneTransitionEnded() override;
        void onChapterLoaded(Chapter*) override {}
        void OnSceneActivating() override;
        void OnSceneActivated() override;
        void OnGamePaused() override;
        void OnGameUnpaused() override;

        // Runs Lua code in the global state; failures are reported, not thrown: with systemMessage in a
        // "Scripting Error!" box, otherwise in the scripting-error overlay.
        void execute(const hstring& code, bool systemMessage = false) override;
        // "ui.update" with the frame time, as its text would run it.
        void callUpdateHook(float timeDelta);
        // False when the code failed (reported as execute does).
        bool executeWithReturnValues(const hstring& code, harray<hstring>& results) override;
        void showErrorOverlay(const hstring& message) override;
        bool isErrorOverlayShown() const override;
        void onErrorQuit(tesraui::EventArgs* args);
        void onErrorContinue(tesraui::EventArgs* args);

        tesraui::Container* getRootObject() const override { return this->rootObject; }
        tesraui::Dataset* getDataset() const override { return this->dataset.get(); }
        const hstring& getPreviousScene() const { return this->previousScene; }
        bool isLoading() const { return this->loading; }
        bool isInitialised() const { return this->initialised; }
        bool isPointerDown() const override { return this->pointerDown; }
        // A press that turned into a pan is no longer a held pointer.
        void clearPointerDown() override { this->pointerDown = false; }
        tesraui::Container* getCursorObject() const
        {
            return (this->cursorLife.isAlive() ? this->cursorObject : nullptr);
        }
        const hstring& getCursorMode() const { return this->cursorMode; }
        const hstring& getSystemCursorName() const { return this->systemCursorName; }
        DebugUI* getDebugUI() const { return this->debugUI.get(); }
        ZoomController* getZoomController() const { return this->zoomController.get(); }
        bool isDebugAltPressed() const override;
        float getDebugSpeedMultiplier() const override;
        bool hasZoom() const override { return this->zoomController != nullptr; }
        bool isZoomPanning() const override;
        void focusPoint(float x, float y, float scale, float duration, bool animated) override;
        void zoomOut(float duration) override;
        bool panZoom(kavtypes::Vector2 viewports) override;
        float getMaxZoomScale() const override;
        kavtypes::Vector2 getZoomCursorFraction() const override;
        // The UI library's cursor position in the root object's coordinates, and back.
        kavtypes::Vector2 getCursorPosition() const;
        void setCursorPosition(float x, float y);
        void updateCursor();
        // The least z-order of `least` and above that puts an object over everything the game and its
        // libraries hung on the root object, at whatever z-order: the engine's own layers (message boxes, the
        // error overlay, the debug tools, the pointer) are left out. Over a game object at the greatest
        // z-order it is that one, and only placing the layer after its equals puts it over.
        int zOrderOverGame(int least) const;
        // Gives the engine's layer that z-order and, when it is a child of the root object, places it after
        // every game object of the same z-order.
        void raiseOverGame(tesraui::Object* layer, int least);
        // False when the cursor does not follow the pointer now (a touch screen without a touch).
        bool updateCursorPosition();

    protected:
        // What became of a button's press: handed on, taken by the game's press hook, or dropped as the
        // repeat of a click that already answered. The press's release, or its cancel, goes the same way.
        enum PressFate
        {
            PRESS_HANDED_ON,
            PRESS_TAKEN,
            PRESS_DROPPED
        };

        int frameCounter = 0;
        bool pointerDown = false;
        bool initialised = false;
        bool pressedInScene[16] = {};
        PressFate pressFates[16] = {};
        // What lay under the pointer at the last press handed on or taken.
        tesraui::Watched<tesraui::Object> lastPressed;
        harray<hstring> deferredCalls;
        int touchCount = 0;
        std::unique_ptr<tesraui::Dataset> dataset;
        tesraui::Container* rootObject = nullptr;
        tesraui::Container* cursorObject = nullptr;
        // Held while it is the cursor; "ui.destroyCursor" may destroy it.
        tesraui::LifeToken::Watch cursorLife;
        // The scripting-error overlay's background, while it stands.
        tesraui::Watched<tesraui::Object> errorOverlay;
        hstring cursorMode;
        hstring selectedItem;
        hstring previousScene;
        hstring systemCursorName;
        bool loading = true;
        bool dropPending = false;
        std::unique_ptr<DebugUI> debugUI;
        std::unique_ptr<ZoomController> zoomController;
        hdict<std::unique_ptr<tesra::Cursor>> systemCursors;

        bool windowSizeHookReported = false;
        bool audioSuspendedByFocus = false;
        int idiomFrame = -1;
        int idiom = IDIOM_MOBILE;
        bool idiomKnown = false;
        bool debugModeKnown = false;
        hstring debugModeProfileName;
        bool debugMode = false;

        // True when the object under the cursor lies in the active scene's tree.
        bool isCursorInScene();
        bool takeScenePress(int button);
        // The fate of the press of that button, which is forgotten: a release or a cancel ends the press.
        PressFate takePressFate(int button);
        // Decides what becomes of a press: the second click of a double click (or a later one) on what the
        // first press landed on is dropped; else the press hook may take it.
        PressFate decidePressFate(int button, bool overlay);
        // True when the object is the shown message box or lies in it.
        bool isOnShownMessageBox(tesraui::Object* object) const;
        bool callHook(const hstring& path, const hstring& code, bool systemMessage = false);
        void createSystemCursors();
        int computeIdiom();
        // Saves the active profile; a failure is reported in the overlay, the game goes on.
        void saveProfile();
        void destroyCursorObject();
        void applySystemCursor(const hstring& name);
        bool isOwnLayer(const tesraui::Object* object) const;
        // The pointer draws over everything on the root object.
        void keepCursorOnTop();

        // Inventory and dialogs: the hooks the inventory and the dialog manager call.
    public:
        void OnItemAdded(const hstring& item) override;
        void OnItemRemoved(const hstring& item) override;
        void startDialog() override;
        void endDialog() override;
        void displayDialogReplies(const harray<hstring>& replies) override;
        // The seconds the line stays; 10000 when the scripts cannot say.
        float displayDialog(const hstring& speaker, const hstring& text) override;
    };
} // namespace vumo
