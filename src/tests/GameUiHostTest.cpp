#include <memory>

#include "DebugNames.h"
#include "GameUiHost.h"
#include "LuaTestSupport.h"

using namespace vumo;

using namespace luatest;

namespace
{
    // A UI that only notes what the engine asked of it.
    class NotingUi : public GameUiHost
    {
    public:
        Lines calls;

        hstring getSelectedItem() override { return "key"; }
        void selectItem(const hstring& name) override { calls.push_back("select " + name); }
        void showErrorOverlay(const hstring& message) override { calls.push_back("overlay " + message); }
    };

    // Overlay calls noted; without an overlay the base's fallbacks run.
    class OverlayHost : public LuaInterface::Host
    {
    public:
        bool overlay = true;
        Lines shown;

        void showErrorOverlay(const hstring& message) override
        {
            if (overlay)
            {
                shown.push_back(message);
                return;
            }
            Host::showErrorOverlay(message);
        }
        void showErrorOverlayIfShown(const hstring& message) override
        {
            if (overlay)
            {
                shown.push_back(message);
            }
        }
    };

    struct ReportCase
    {
        const char* name;
        LuaInterface::ScriptErrorContext context;
        bool overlay;
        Lines log;
        Lines shown;
    };
} // namespace

TEST(GameUiHost, WithoutAUiTheEngineSeesNothingShownHeldOrRun)
{
    ASSERT_EQ(findGameUiHost(), nullptr);
    GameUiHost& none = getGameUiHost();
    harray<hstring> results;
    EXPECT_EQ(none.getSelectedItem(), "");
    EXPECT_EQ(none.getRootObject(), nullptr);
    EXPECT_EQ(none.getDataset(), nullptr);
    EXPECT_FALSE(none.isPointerDown());
    EXPECT_FALSE(none.isDebugModeEnabled());
    EXPECT_EQ(none.getUIIdiom(), 0);
    EXPECT_FALSE(none.executeWithReturnValues("return 1", results));
    EXPECT_EQ(results.size(), 0);
    EXPECT_EQ(none.displayDialog("a", "b"), 0.0f);
    EXPECT_EQ(none.OnSceneChanging("c.s"), "");
    EXPECT_TRUE(none.OnWindowClose(true)) << "with no UI to ask, the window may close";
    EXPECT_EQ(none.getDebugSpeedMultiplier(), 1.0f);
    EXPECT_FALSE(none.hasZoom());
    EXPECT_FALSE(none.panZoom(kavtypes::Vector2(1.0f, 1.0f)));
    EXPECT_EQ(none.getMaxZoomScale(), 1.0f);
    EXPECT_EQ(none.getZoomCursorFraction(), kavtypes::Vector2(-1.0f, -1.0f));
}

TEST(GameUiHost, AnInstalledUiAnswersUntilItGoes)
{
    auto ui = std::make_unique<NotingUi>();
    setGameUiHost(ui.get());
    EXPECT_EQ(findGameUiHost(), ui.get());
    EXPECT_EQ(getGameUiHost().getSelectedItem(), "key");
    getGameUiHost().selectItem("");
    EXPECT_EQ(ui->calls, Lines({"select "}));
    // A UI deleted without being uninstalled must not be called afterwards.
    ui.reset();
    EXPECT_EQ(findGameUiHost(), nullptr);
    EXPECT_EQ(getGameUiHost().getSelectedItem(), "");
    // Another UI going leaves the installed one alone.
    NotingUi installed;
    setGameUiHost(&installed);
    {
        NotingUi other;
    }
    EXPECT_EQ(findGameUiHost(), &installed);
    setGameUiHost(nullptr);
    EXPECT_EQ(findGameUiHost(), nullptr);
}

TEST(ScriptErrorReport, EachContextLogsOnceAndShowsItsPrefix)
{
    using LuaInterface::ScriptErrorContext;
    const ReportCase cases[] = {
        {"plain, overlay shown", ScriptErrorContext(), true, {}, {"boom"}},
        {"plain, no overlay: logged instead", ScriptErrorContext(), false, {"[vumo] ERROR: boom"}, {}},
        {"logged with a prefix and shown with another",
         ScriptErrorContext("scripting error: ", "In 'ns':\n\n"),
         true,
         {"[vumo] ERROR: scripting error: boom"},
         {"In 'ns':\n\nboom"}},
        {"logged with a prefix, no overlay: logged once",
         ScriptErrorContext("Scene scripting error: "),
         false,
         {"[vumo] ERROR: Scene scripting error: boom"},
         {}},
        {"logged by the caller, shown", ScriptErrorContext("", "", true), true, {}, {"boom"}},
        {"logged by the caller, no overlay: nothing more", ScriptErrorContext("", "", true), false, {}, {}},
    };
    for (const ReportCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        OverlayHost host;
        host.overlay = c.overlay;
        LogCapture log;
        host.reportScriptError(c.context, "boom");
        EXPECT_EQ(log.take(), c.log);
        EXPECT_EQ(host.shown, c.shown);
    }
}

TEST(DebugNames, NamesAreListedOnceAndNotWhileRegistrationIsOff)
{
    DebugNames::getItemNames().clear();
    DebugNames::registerItem("rope");
    DebugNames::registerItem("rope");
    DebugNames::setRegistrationOff(true);
    DebugNames::registerItem("key");
    DebugNames::setRegistrationOff(false);
    DebugNames::registerItem("lamp");
    EXPECT_EQ(DebugNames::getItemNames(), harray<hstring>({"rope", "lamp"}));
    DebugNames::getItemNames().clear();
}
