#pragma once

#include <kavtypes/Vector2.h>
#include <quortypes/harray.h>
#include <quortypes/hdict.h>
#include <quortypes/hstring.h>

namespace tesra
{
    class Cursor;
}
namespace tesraui
{
    class Container;
    class Dataset;
} // namespace tesraui
class Chapter;

// The game's UI: owns the UI dataset "data/ui/ui.dts" with its root object, takes the window's input
// and runs the game's script hooks of the table "ui". The game may derive its own class.
class UI
{
public:
    enum Idiom
    {
        IDIOM_PC = 1,
        IDIOM_MOBILE = 2,
        IDIOM_TABLET = 3
    };

    // Becomes the one instance.
    UI();
    virtual ~UI();
    UI(const UI&) = delete;
    UI& operator=(const UI&) = delete;

    static UI* getInstance();
    static tesraui::Dataset* getUIDataset();

    virtual void load();
    virtual void init();
    virtual bool isDebugModeEnabled();
    virtual bool isDeveloperModeEnabled();
    virtual void draw();
    virtual void update(float timeDelta);
    virtual int getUIIdiom();

    virtual bool OnPointerPressed(float x, float y, int button);
    virtual void OnPointerMove(float x, float y);
    virtual void OnPointerScroll(float x, float y);
    virtual bool OnPointerReleased(float x, float y, int button);
    virtual void OnPointerCanceled(int button);
    virtual bool OnKeyDown(int keyCode);
    virtual bool OnKeyUp(int keyCode);
    virtual void OnChar(unsigned int charCode);
    virtual void OnTouch(const harray<kavtypes::Vector2>& touches);
    // 0 mouse, 1 touch, 2 controller; false when the scripts did not take it (it is offered again).
    virtual bool OnInputModeChanged(int mode);
    virtual void OnLowMemoryWarning();
    // Runs "ui.OnAchievementUnlocked" with the name; without it, a warning.
    virtual void OnAchievementUnlocked(const hstring& name);
    virtual void OnWindowSizeChanged(float width, float height);
    virtual bool OnWindowClose(bool canCancel);
    virtual void OnFocusChanged(bool focused);
    virtual void OnBeginLoading(const hstring& chapter);
    virtual void OnFinishLoading(const hstring& chapter);
    virtual void OnUpdateLoading(float progress);
    virtual void OnGamePaused();
    virtual void OnGameUnpaused();
    virtual void OnSceneResetting();
    virtual void OnSceneReset();
    virtual void OnSceneTransitionBegan(const hstring& target, const hstring& transition, float duration);
    // The game may redirect the switch by returning another full scene name; "" keeps the target.
    virtual hstring OnSceneChanging(const hstring& target);
    virtual void OnSceneChanged();
    virtual void OnSceneTransitionEnded();
    virtual void onChapterLoaded(Chapter*) {}
    virtual void OnSceneActivating();
    virtual void OnSceneActivated();

    // The inventory item held on the pointer; "" for none.
    virtual hstring getSelectedItem() { return this->selectedItem; }
    // Also ends a pending drop, so that a handler that used the item keeps the failure hook away.
    virtual void selectItem(const hstring& item);
    virtual void OnUseItemFail(const hstring& item);

    // Runs Lua code in the global state; failures are reported, not thrown: with systemMessage in a
    // "Scripting Error!" box, otherwise as an error line until the scripting-error overlay exists.
    void execute(const hstring& code, bool systemMessage = false);
    // False when the code failed (reported as execute does).
    bool executeWithReturnValues(const hstring& code, harray<hstring>& results);
    void showErrorOverlay(const hstring& message);

    tesraui::Container* getRootObject() const { return this->rootObject; }
    tesraui::Dataset* getDataset() const { return this->dataset; }
    const hstring& getPreviousScene() const { return this->previousScene; }
    bool isLoading() const { return this->loading; }
    bool isInitialised() const { return this->initialised; }
    bool isPointerDown() const { return this->pointerDown; }
    // The UI library's cursor position in the root object's coordinates.
    kavtypes::Vector2 getCursorPosition() const;

protected:
    int frameCounter = 0;
    bool pointerDown = false;
    bool initialised = false;
    harray<hstring> deferredCalls;
    int touchCount = 0;
    tesraui::Dataset* dataset = nullptr;
    tesraui::Container* rootObject = nullptr;
    bool loading = true;
    bool windowSizeHookReported = false;
    hdict<tesra::Cursor*> systemCursors;
    bool pressedInScene[16] = {};
    hstring previousScene;
    bool audioSuspendedByFocus = false;
    hstring selectedItem;
    bool dropPending = false;

    // True when the object under the cursor lies in the active scene's tree.
    bool isCursorInScene();
    bool takeScenePress(int button);

    bool callHook(const hstring& path, const hstring& code, bool systemMessage = false);
    void createSystemCursors();

    // Inventory and dialogs: the hooks the inventory and the dialog manager call.
public:
    virtual void OnItemAdded(const hstring& item);
    virtual void OnItemRemoved(const hstring& item);
    virtual void startDialog();
    virtual void endDialog();
    virtual void displayDialogReplies(const harray<hstring>& replies);
    // The seconds the line stays; 10000 when the scripts cannot say.
    virtual float displayDialog(const hstring& speaker, const hstring& text);
};
