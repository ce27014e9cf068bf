#include <cmath>

#include <gtest/gtest.h>

#include "ScriptTexts.h"

using namespace vumo;

using namespace SceneTexts;

TEST(SceneTexts, TextsTheScenesScriptsKnow)
{
    const std::pair<hstring, const char*> cases[] = {
        {activate(), "if type(OnActivate) == 'function' then OnActivate() end"},
        {deactivate(), "if type(OnDeactivate) == 'function' then OnDeactivate() end"},
        {update(0.5f), "if type(OnUpdate) == 'function' then OnUpdate(0.500000) end"},
        {altPointerPressed(3), "if type(OnAltPointerPressed) == 'function' then OnAltPointerPressed(3) end"},
        {altPointerReleased(2),
         "if type(OnAltPointerReleased) == 'function' then OnAltPointerReleased(2) end"},
        {pointerCanceled(1), "if type(OnPointerCanceled) == 'function' then OnPointerCanceled(1) elseif "
                             "type(OnPointerReleased) == 'function' then OnPointerReleased() end"},
        {createEnvironment("meadow.gate", "meadow.gate_sceneRootObject"),
         "meadow.gate = {}; setmetatable(meadow.gate, {__index = _G}); meadow.gate.root_object = "
         "object.getObject('meadow.gate_sceneRootObject')"},
        {setChapterScene("meadow", "meadow.gate"), "meadow.scene = meadow.gate"},
        {clearEnvironment("meadow.gate"), "meadow.gate = nil; chapter.scene = nil"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(c.first, c.second);
    }
}

TEST(SceneTexts, AnObjectNameStaysDataWhateverItHolds)
{
    const hstring text = createEnvironment("c.s", "c.it's\\ ]]");
    EXPECT_EQ(
        text,
        "c.s = {}; setmetatable(c.s, {__index = _G}); c.s.root_object = object.getObject('c.it\\'s\\\\ ]]')");
}

TEST(InventoryTexts, IdentifiersAreCalledByNameAndOtherNamesThroughALiteral)
{
    EXPECT_EQ(InventoryTexts::callIfDefined("inv_use_item_rope"),
              "if inv_use_item_rope ~= nil then inv_use_item_rope() end");
    EXPECT_EQ(InventoryTexts::call("inv_combine_a_and_b"), "inv_combine_a_and_b()");
    EXPECT_EQ(InventoryTexts::callGlobal("inv_use_item_old key\"]"),
              "local f = _G[\"inv_use_item_old key\\\"]\"] if type(f) == 'function' then f() end");
}

TEST(ObjectTexts, DataPastedIntoObjectTextsStaysData)
{
    EXPECT_EQ(ObjectTexts::queuedSceneReset("c.it's"), "scene._queued_reset('c.it\\'s')");
    EXPECT_EQ(ObjectTexts::callForResults("pane_items", true), "return pane_items()");
    EXPECT_EQ(ObjectTexts::callForResults("pane.items", false), "return _G[\"pane.items\"]()");
    const hstring action = ObjectTexts::actionWithItem("r_ff0000", "o'key");
    EXPECT_TRUE(action.contains("ui.selectItem('o\\'key')")) << action;
    EXPECT_TRUE(action.contains("ui.OnUseItemFail('o\\'key')")) << action;
}

TEST(HookTexts, InventoryAndDialogTextsQuoteTheirData)
{
    EXPECT_EQ(HookTexts::itemAdded("o'key"), "ui.OnItemAdded('o\\'key')");
    EXPECT_EQ(HookTexts::itemRemoved("rope"), "ui.OnItemRemoved('rope')");
    EXPECT_EQ(HookTexts::displayDialogReplies({"yes", "it's"}), "ui.displayDialogReplies{'yes','it\\'s'}");
    EXPECT_EQ(HookTexts::displayDialogReplies({}), "ui.displayDialogReplies{}");
    EXPECT_EQ(HookTexts::displayDialog("Ann", "Hi\n"), "return ui.displayDialog('Ann','Hi\\n')");
    EXPECT_EQ(ObjectTexts::queuedSceneSwitch("c.s", "0.5", "fade"),
              "scene._queued_switchScene('c.s', 0.5, 'fade')");
}

TEST(ObjectTexts, ADeferredPlayKeepsAPercentOfTheNameFromTheCallersFill)
{
    EXPECT_EQ(ObjectTexts::deferredSoundPlay("100%", 0.5f), "sound.play(\"100\\37\", 0.500000, true)");
    EXPECT_EQ(ObjectTexts::deferredSoundPlay("a", std::nanf("")), "sound.play(\"a\", 0.000000, true)");
}
