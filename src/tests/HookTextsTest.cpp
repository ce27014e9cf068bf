#include <clocale>
#include <cmath>

#include <gtest/gtest.h>

#include "ScriptTexts.h"

using namespace vumo;

using namespace HookTexts;

TEST(HookTexts, PlainDataGivesTheTextsTheScriptsKnow)
{
    const std::pair<hstring, const char*> cases[] = {
        {setup(), "ui.setup()"},
        {init(), "ui.init()"},
        {update(0.016f), "if ui.update ~= nil then ui.update(0.016000) end"},
        {pointerPressed(1), "return ui.OnPointerPressed()"},
        {pointerPressed(3), "return ui.OnAltPointerPressed(3)"},
        {pointerReleased(1), "ui.OnPointerReleased()"},
        {pointerReleased(2), "ui.OnAltPointerReleased(2)"},
        {pointerCanceled(1), "ui.OnPointerCanceled(1)"},
        {keyDown(65), "ui.OnKeyDown(65)"},
        {keyUp(13), "ui.OnKeyUp(13)"},
        {touch({kavtypes::Vector2(1, 2.5f), kavtypes::Vector2(3, 4)}),
         "return ui.OnTouch({{x=1.000000,y=2.500000},{x=3.000000,y=4.000000}})"},
        {touch({}), "return ui.OnTouch({})"},
        {inputModeChanged("touch"), "ui.OnInputModeChanged(\"touch\")"},
        {windowSizeChanged(800, 600), "ui.OnWindowSizeChanged(800.000000,600.000000)"},
        {windowClose(), "ui.OnWindowClose()"},
        {focusChanged(true), "ui.OnFocusChanged(true)"},
        {focusChanged(false), "ui.OnFocusChanged(false)"},
        {beginLoading("meadow"), "ui.OnBeginLoading('meadow')"},
        {finishLoading("ui"), "ui.OnFinishLoading('ui')"},
        {updateLoading(0.2f), "ui.OnUpdateLoading(0.200000)"},
        {achievementUnlocked("first"), "ui.OnAchievementUnlocked('first')"},
        {useItemFail("key"), "ui.OnUseItemFail('key')"},
        {sceneResetting(), "ui.OnSceneResetting()"},
        {sceneReset(), "ui.OnSceneReset()"},
        {sceneTransitionBegan("c.b", "fade", 0.5f), "ui.OnSceneTransitionBegan('c.b','fade', 0.500000)"},
        {sceneChanging("c.b", ""), "return ui.OnSceneChanging('c.b','')"},
        {sceneChanged("c.b", "c.a"), "ui.OnSceneChanged('c.b','c.a')"},
        {sceneTransitionEnded(), "ui.OnSceneTransitionEnded()"},
        {sceneActivating("c.a"), "ui.OnSceneActivating('c.a')"},
        {sceneActivated("c.a"), "ui.OnSceneActivated('c.a')"},
        {gamePaused(), "ui.OnGamePaused()"},
        {gameUnpaused(), "ui.OnGameUnpaused()"},
        {localizationChanged("en"), "ui.OnLocalizationChanged('en')"},
        {canSaveGame(), "return ui.canSaveGame()"},
        {endProgram(), "vumo.endProgram()"},
        {idiomOverride(), "return getUIIdiomOverride()"},
        {clearIdiomOverride(), "ui.getUIIdiomOverride = nil"},
        {cursorMode(), "return ui.getCursorMode()"},
        {createCursor("hand", "ui.vumo_cursor"),
         "ui.createCursor('hand', object.getObject('ui.vumo_cursor'))"},
        {destroyCursor("ui.vumo_cursor"), "ui.destroyCursor(object.getObject('ui.vumo_cursor'))"},
        {updateCursorPosition(10, 20.5f), "ui.updateCursorPosition(10.000000,20.500000)"},
    };
    for (const auto& [text, expected] : cases)
    {
        EXPECT_EQ(text, expected);
    }
}

// Written with "%f", such a number reached the hook as nil, or as a script error ("-nan" is arithmetic on
// the global nan).
TEST(HookTexts, NumbersNoFloatHoldsReachTheScriptAsNumbers)
{
    const std::pair<hstring, const char*> cases[] = {
        {updateLoading(NAN), "ui.OnUpdateLoading((0/0))"},
        {sceneTransitionBegan("c.b", "fade", INFINITY), "ui.OnSceneTransitionBegan('c.b','fade', (1/0))"},
        {updateCursorPosition(-INFINITY, -NAN), "ui.updateCursorPosition((-1/0),(0/0))"},
        {touch({kavtypes::Vector2(INFINITY, 2.5f)}), "return ui.OnTouch({{x=(1/0),y=2.500000}})"},
        {ObjectTexts::customAnimatorCall("f", "a", INFINITY), "return f(\"a\", (1/0))"},
    };
    for (const auto& [text, expected] : cases)
    {
        EXPECT_EQ(text, expected);
    }
}

TEST(HookTexts, QuotesBackslashesAndLineBreaksInDataStayData)
{
    EXPECT_EQ(achievementUnlocked("it's"), "ui.OnAchievementUnlocked('it\\'s')");
    EXPECT_EQ(beginLoading("a\\b"), "ui.OnBeginLoading('a\\\\b')");
    EXPECT_EQ(sceneChanged("x') os.exit() --", ""), "ui.OnSceneChanged('x\\') os.exit() --','')");
    EXPECT_EQ(inputModeChanged("say \"hi\""), "ui.OnInputModeChanged(\"say \\\"hi\\\"\")");
    EXPECT_EQ(useItemFail("two\nlines").find('\n'), std::string::npos);
}

TEST(HookTexts, NumbersKeepTheirPointUnderALocaleWithACommaOne)
{
    const char* chosen = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
    {
        if ((chosen = setlocale(LC_NUMERIC, name)) != nullptr)
        {
            break;
        }
    }
    if (chosen == nullptr)
    {
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    const hstring text = windowSizeChanged(1.5f, 2);
    setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(text, "ui.OnWindowSizeChanged(1.500000,2.000000)");
}
