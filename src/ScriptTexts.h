#pragma once

#include <kavtypes/Vector2.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>

namespace vumo
{
    // The Lua texts with which the engine calls the game's hooks of the table "ui". Every piece of data goes
    // through the Lua host's literal helper, so a quote or a backslash in a name stays data; texts without
    // such characters come out as the plain quoted form the game's scripts have always seen. Numbers marked
    // "%f" are formatted with a "." whatever the process locale says.
    namespace HookTexts
    {
        // "%f" with a "." as the decimal point; NaN and the infinities as Lua expressions of them.
        hstring fixed(float value);
        // Text between single quotes, escaped where needed.
        hstring quoted(const hstring& text);

        hstring setup();
        hstring init();
        hstring update(float timeDelta);
        // Returns what the hook returns: true takes the press.
        hstring pointerPressed(int button);
        hstring pointerReleased(int button);
        hstring pointerCanceled(int button);
        hstring keyDown(int keyCode);
        hstring keyUp(int keyCode);
        hstring touch(const harray<kavtypes::Vector2>& touches);
        // mode is "mouse", "touch" or "controller"; this one hook takes its text between double quotes.
        hstring inputModeChanged(const hstring& mode);
        hstring windowSizeChanged(float width, float height);
        hstring windowClose();
        hstring focusChanged(bool focused);
        hstring beginLoading(const hstring& chapter);
        hstring finishLoading(const hstring& chapter);
        hstring updateLoading(float progress);
        hstring achievementUnlocked(const hstring& name);
        hstring useItemFail(const hstring& item);
        hstring sceneResetting();
        hstring sceneReset();
        hstring sceneTransitionBegan(const hstring& target, const hstring& transition, float duration);
        hstring sceneChanging(const hstring& target, const hstring& current);
        hstring sceneChanged(const hstring& current, const hstring& previous);
        hstring sceneTransitionEnded();
        hstring sceneActivating(const hstring& scene);
        hstring sceneActivated(const hstring& scene);
        hstring gamePaused();
        hstring gameUnpaused();
        hstring localizationChanged(const hstring& previous);
        // For its one result: only "1" allows a sync.
        hstring canSaveGame();
        // Run inside the environment "ui".
        hstring idiomOverride();
        hstring clearIdiomOverride();
        hstring cursorMode();
        hstring createCursor(const hstring& mode, const hstring& cursorFullName);
        hstring destroyCursor(const hstring& cursorFullName);
        hstring updateCursorPosition(float x, float y);
        hstring setRootObject();
        hstring setViewport(const hstring& viewportFullName);
        // Inventory and dialogs.
        hstring itemAdded(const hstring& item);
        hstring itemRemoved(const hstring& item);
        hstring startDialog();
        hstring endDialog();
        hstring displayDialogReplies(const harray<hstring>& replies);
        hstring displayDialog(const hstring& speaker, const hstring& text);
        // A line for the debug tools' console.
        hstring debugPrint(const hstring& message);
        // The error overlay's quit, through the script table as the game's own quit goes.
        hstring endProgram();
    } // namespace HookTexts

    // The Lua texts with which a scene calls the functions its script may define, and sets up and clears its
    // environment. Names pasted in are identifiers the scene registry checked; object names are literals.
    namespace SceneTexts
    {
        hstring activate();
        hstring deactivate();
        // "%f" as the process formats it, as the scenes' scripts have always seen.
        hstring update(float timeDelta);
        hstring pointerPressed();
        hstring pointerReleased();
        hstring altPointerPressed(int button);
        hstring altPointerReleased(int button);
        // Falls back to OnPointerReleased when the scene has no OnPointerCanceled.
        hstring pointerCanceled(int button);
        hstring createEnvironment(const hstring& fullName, const hstring& rootObjectFullName);
        hstring setChapterScene(const hstring& chapter, const hstring& fullName);
        // Points the global "chapter" at the chapter's table, named by the chapter's identifier.
        hstring setActiveChapter(const hstring& chapter);
        hstring clearEnvironment(const hstring& fullName);
        // The chapter's table, named by its identifier, whose names fall back to the globals.
        hstring createChapterTable(const hstring& chapter);
        // Calls a function of the active chapter's table by its identifier.
        hstring callChapterFunction(const hstring& identifier);
    } // namespace SceneTexts

    // The Lua texts with which a dialog's table "_dlg" is made and dropped; its names fall back to the
    // globals.
    namespace DialogTexts
    {
        hstring createTable();
        hstring dropTable();
    } // namespace DialogTexts

    // The Lua texts with which the inventory calls the game's item functions: an identifier is called by its
    // name, any other name through _G with a literal.
    namespace InventoryTexts
    {
        hstring callGlobal(const hstring& name);
        hstring callIfDefined(const hstring& identifier);
        hstring call(const hstring& identifier);
    } // namespace InventoryTexts

    // The Lua texts the engine's objects run.
    namespace ObjectTexts
    {
        // An action map's click with an item held: the region's table says whether it takes items, its first
        // function whether it used this one; otherwise the item use failed.
        hstring actionWithItem(const hstring& table, const hstring& item);
        // A click without an item: the region's first function, when the table exists.
        hstring action(const hstring& table);
        hstring queuedSceneReset(const hstring& sceneFullName);
        // time is the switch's duration as the script gave it; origin, when given, is the place of the script
        // that asked ("file:line: "), which a failure of the queued switch names.
        hstring queuedSceneSwitch(const hstring& name, const hstring& time, const hstring& effect,
                                  const hstring& origin = "");
        // Calls a global function for its results: an identifier by its name, any other name through _G.
        hstring callForResults(const hstring& function, bool identifier);
        // A sound play deferred to a callback, which fills a "%s" of its code with the caller's name: a "%"
        // of the sound's name is escaped. A fade time that is no number plays without a fade.
        hstring deferredSoundPlay(const hstring& name, float fadeTime);
        hstring setVersion(const hstring& version);
        // An event's code with each "%s" turned into the name of the object that raised it, as a literal.
        hstring fillCallerName(const hstring& code, const hstring& callerName);
        // Calls an animator's function at a path with the animator's full name and the time, for its value.
        hstring customAnimatorCall(const hstring& functionPath, const hstring& animatorFullName, float time);
    } // namespace ObjectTexts
} // namespace vumo
