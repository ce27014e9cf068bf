#include <memory>

#include <tesra/InputMode.h>

#include "EngineTestSupport.h"
#include "EventDelegate.h"
#include "GameUiHost.h"
#include "ui/DebugCursor.h"
#include "ui/DebugUI.h"

using namespace enginetest;

// The users of the game UI that are handed it by their owner (the window's event delegate by the session,
// the debug tools by the UI) reach that UI and no other, whatever the engine below has installed.
namespace
{
    // Notes each call in a journal shared by every UI of a test, under its own name.
    class JournalUi : public GameUiHost
    {
    public:
        JournalUi(const std::string& name, Lines& journal) : name(name), journal(journal) {}

        bool debug = false;
        int idiom = 0;
        bool overlayShown = false;
        bool mayClose = true;

        bool OnKeyDown(int key) override { return this->note("key down " + std::to_string(key)); }
        bool OnKeyUp(int key) override { return this->note("key up " + std::to_string(key)); }
        void OnChar(unsigned int c) override { this->note("char " + std::to_string(c)); }
        void OnPointerScroll(float, float y) override { this->note("scroll " + std::to_string((int)y)); }
        bool OnPointerPressed(float, float, int button) override
        {
            return this->note("pressed " + std::to_string(button));
        }
        bool OnPointerReleased(float, float, int button) override
        {
            return this->note("released " + std::to_string(button));
        }
        void OnTouch(const harray<kavtypes::Vector2>& touches) override
        {
            this->note("touches " + std::to_string(touches.size()));
        }
        bool OnInputModeChanged(int mode) override
        {
            return this->note("input mode " + std::to_string(mode));
        }
        void OnFocusChanged(bool focused) override { this->note(focused ? "focus" : "no focus"); }
        void OnLowMemoryWarning() override { this->note("low memory"); }
        bool OnWindowClose(bool) override
        {
            this->note("close?");
            return this->mayClose;
        }
        void update(float time) override { this->note("update " + std::to_string((int)(time * 100.0f))); }
        void draw() override { this->note("draw"); }
        bool isDebugModeEnabled() override { return this->debug; }
        int getUIIdiom() override { return this->idiom; }
        bool isErrorOverlayShown() const override { return this->overlayShown; }

    private:
        std::string name;
        Lines& journal;

        bool note(const std::string& call)
        {
            this->journal.push_back(this->name + ": " + call);
            return true;
        }
    };

    // The process's one event delegate, given back as it was found; a UI installed below as the engine's.
    class GameUiUsers : public ::testing::Test
    {
    protected:
        Lines journal;
        JournalUi installed{"installed", journal};
        VumoTesraEventDelegate& events = VumoTesraEventDelegate::getInstance();

        void SetUp() override { setGameUiHost(&this->installed); }
        void TearDown() override
        {
            this->events.setUi(nullptr);
            this->events.reset();
            setGameUiHost(nullptr);
        }
    };
} // namespace

TEST_F(GameUiUsers, TheEventDelegateFeedsTheUiTheSessionHandedIt)
{
    JournalUi handed("handed", journal);
    handed.idiom = GameUiInventory::IDIOM_PC;
    handed.mayClose = false;
    events.setUi(&handed);
    LogCapture log;
    events.onKeyDown(65);
    events.onKeyUp(65);
    events.onChar(97);
    events.onMouseScroll(0.0f, 2.0f);
    events.onMouseDown(1);
    events.onMouseUp(1);
    events.onWindowFocusChanged(false);
    events.onLowMemoryWarning();
    events.onInputModeChanged(tesra::InputMode::MOUSE);
    events.onUpdate(0.5f);
    EXPECT_FALSE(events.onQuit(true)) << "the UI's answer";
    EXPECT_EQ(journal,
              Lines({"handed: key down 65", "handed: key up 65", "handed: char 97", "handed: scroll 2",
                     "handed: pressed 1", "handed: released 1", "handed: no focus", "handed: low memory",
                     "handed: input mode 0", "handed: update 10", "handed: draw", "handed: close?"}));
    EXPECT_EQ(log.take(), Lines({"vumo: input mode changed: mouse"}));

    // Given back, the UI hears nothing more.
    journal.clear();
    events.setUi(nullptr);
    events.onKeyDown(65);
    events.onUpdate(0.5f);
    EXPECT_TRUE(events.onQuit(true));
    EXPECT_EQ(journal, Lines());
}

TEST_F(GameUiUsers, BeforeTheSessionHandsItAUiTheEventDelegateRunsNothingAndKeepsTheInputMode)
{
    LogCapture log;
    events.onKeyDown(65);
    events.onMouseDown(1);
    events.onTouch(harray<kavtypes::Vector2>({kavtypes::Vector2(1.0f, 1.0f)}));
    events.onUpdate(0.5f);
    events.onWindowSizeChanged(100, 80, false);
    events.onInputModeChanged(tesra::InputMode::MOUSE);
    EXPECT_TRUE(events.onQuit(true)) << "with no UI to ask, the window may close";
    EXPECT_EQ(journal, Lines()) << "the UI installed below is not the delegate's";
    EXPECT_EQ(events.getPendingInputMode(), "mouse");
    EXPECT_EQ(log.take(),
              Lines({"vumo: Ignoring onWindowSizeChanged call, ui is NULL",
                     "vumo: input mode changed: mouse. UI not initialised at this state, queing callback"}));
}

TEST_F(GameUiUsers, TheDebugToolsAskAndTouchTheUiThatOwnsThem)
{
    JournalUi owner("owner", journal);
    owner.debug = true;
    owner.idiom = GameUiInventory::IDIOM_PC;
    owner.overlayShown = true;
    DebugUI debug(owner);
    EXPECT_EQ(debug.getDebugCursorMode(), "vumo_debug_cursor") << "the owner's debug mode, idiom and overlay";
    owner.debug = false;
    EXPECT_EQ(debug.getDebugCursorMode(), "");

    auto cursor =
        std::make_unique<MultiTouchDebugCursor>(owner, "touches", kavtypes::Rectangle(0, 0, 10, 10));
    cursor->setActive(true);
    cursor->setModifiers(false, true);
    cursor->onCursorMoved();
    // A cursor that goes while it touches lets go.
    cursor.reset();
    EXPECT_EQ(journal, Lines({"owner: touches 2", "owner: touches 3", "owner: touches 0"}));
}
