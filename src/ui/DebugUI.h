#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <tesraui/LifeToken.h>

namespace tesraui
{
    class Container;
    class EditBox;
    class EventArgs;
    class Object;
    class TextImageButton;
} // namespace tesraui

namespace vumo
{
    class DebugConsoleLog;
    class GameUiHost;

    // The developer's tools inside the running game, all inert outside debug mode: game-speed keys, a Lua
    // console with history, a panel of item, variable and save-slot buttons, the status line in the window
    // title, an FPS counter, debug drawing toggles and the debug cursors. It owns the font "debug", which
    // the scripting-error overlay uses too. It serves the game UI that owns it, in whose dataset and root it
    // builds.
    class DebugUI
    {
    public:
        explicit DebugUI(GameUiHost& ui);
        virtual ~DebugUI();
        DebugUI(const DebugUI&) = delete;
        DebugUI& operator=(const DebugUI&) = delete;

        static const char* const consoleName;
        static const char* const historyFileName;
        // The log's tag for what the console reports itself: shown there already, it is not echoed back.
        static const char* const consoleLogTag;
        static const char* const localVarsFile;
        // The most lines any of the console's line lists keeps.
        static const int maxLines = 1000;
        // The most commands the history and its file keep: past them the file is written anew with the last
        // ones, so that it stays far below what a player's file may hold.
        static const int maxHistory = 100;
        // The longest command the history keeps, in bytes: a longer one runs but is neither kept nor written.
        static const int maxHistoryLine = 4096;

        virtual void init(float panelWidth, float lineHeight, float margin, int columns);
        // Returns the time step the rest of the frame runs with.
        virtual float update(float timeDelta);
        virtual void draw();
        // False keeps the input from the game.
        virtual bool onPointerPressed(float x, float y, int button);
        virtual bool onPointerReleased(float x, float y, int button);
        // The simulated touch follows the pointer.
        virtual void onPointerMove();
        virtual bool onKeyDown(int keyCode);
        virtual bool onKeyUp(int keyCode);
        // Empty: the game's scripts choose the cursor.
        virtual hstring getDebugCursorMode();
        virtual void fillCursor(tesraui::Container* cursor, const hstring& mode);
        virtual void onSceneChanging();
        virtual void onSceneChanged() {}

        float getSpeedMultiplier() const;
        bool isAltPressed() const { return this->altPressed; }
        bool isShiftPressed() const { return this->shiftPressed; }
        bool isCtrlPressed() const { return this->ctrlPressed; }
        bool isSpacePressed() const { return this->spacePressed; }
        // Shift, Alt, Ctrl and Space count as let go.
        void releaseKeys();

        // The names the panel offers; kept without a UI, so scripts may register before it exists.
        static void registerItem(const hstring& name);
        static void registerVar(const hstring& name);
        static harray<hstring>& getItemNames();
        static harray<hstring>& getVarNames();
        static bool isActionMapDebugEnabled();
        static void setActionMapDebugEnabled(bool value);

        // The console.
        bool isConsoleOpen() const;
        void createConsole();
        void closeConsole();
        void onConsoleSubmit(tesraui::EventArgs* args);
        void executeConsoleLine();
        void browseHistory(int step);
        const harray<hstring>& getHistory() const { return this->history; }
        // The lines waiting for the console's view and the lines it shows.
        const harray<hstring>& getPendingLines() const { return this->pendingLines; }
        const harray<hstring>& getConsoleLines() const { return this->consoleLines; }
        static void logHook(const hstring& tag, const hstring& text);

        void printSceneName();
        void copyActionMapColor();

        // The panel and the save slots.
        bool isPanelVisible() const;
        void showPanel();
        void hidePanel();
        static hstring getSlotPath();
        // The slot's file name, "" without one.
        static hstring findSlotFile(int slot);
        bool saveSlot(int slot);
        bool loadSlot(int slot);
        void refreshSlots();
        static const int slotCount = 5;

    protected:
        // The owner.
        GameUiHost& ui;
        hstring pendingCommand;
        float panelWidth = 300.0f;
        float lineHeight = 24.0f;
        float margin = 5.0f;
        int columns = 5;
        harray<hstring> pendingLines;
        bool shiftPressed = false;
        bool altPressed = false;
        bool ctrlPressed = false;
        bool spacePressed = false;
        // What the debug UI built, found through these rather than by names a game may also use. The window
        // and the open console are held; the panel, its buttons and the console's parts are their parts.
        tesraui::Watched<tesraui::Object> debugWindow;
        tesraui::Watched<tesraui::Object> panelRoot;
        harray<tesraui::Watched<tesraui::TextImageButton>> itemButtons;
        harray<tesraui::Watched<tesraui::TextImageButton>> varButtons;
        harray<tesraui::Watched<tesraui::TextImageButton>> slotButtons;
        harray<tesraui::Watched<tesraui::TextImageButton>> saveButtons;
        harray<tesraui::Watched<tesraui::TextImageButton>> loadButtons;
        tesraui::Watched<tesraui::Object> console;
        tesraui::Watched<DebugConsoleLog> consoleLog;
        tesraui::Watched<tesraui::EditBox> consoleInput;
        harray<hstring> history;
        int historyPosition = 0;
        // The history file was there but could not be read when the console opened: it is not written.
        bool historyUnreadable = false;
        harray<hstring> consoleLines;
        float statusTimer = 0.0f;
        float panelTimer = 0.0f;
        bool initialised = false;

        bool isDebugMode() const;
        void appendLog();
        void updateStatusLine();
        void takeHookLines();
        tesraui::Object* getConsoleObject() const;
        void buildPanel();
        void refreshPanel();
        void onItemButton(tesraui::EventArgs* args);
        void onVarButton(tesraui::EventArgs* args);
        void onSlotSave(tesraui::EventArgs* args);
        void onSlotLoad(tesraui::EventArgs* args);
        bool moveRegionCentre(float x, float y);
        // The touch simulation's cursor holds its own copy of Shift and Ctrl.
        void shareModifiers();
    };
} // namespace vumo
