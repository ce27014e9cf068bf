#include <gtest/gtest.h>

#include "ScriptTexts.h"

using namespace vumo;

TEST(CallbackTexts, PlainNamesGiveTheTextsTheScriptsKnow)
{
    const std::pair<hstring, const char*> cases[] = {
        {SceneTexts::setActiveChapter("meadow"), "_G.chapter = meadow"},
        {SceneTexts::createChapterTable("meadow"), "meadow = {}; setmetatable(meadow,{ __index = _G });"},
        {SceneTexts::callChapterFunction("onBuy"), "chapter.onBuy()"},
        {DialogTexts::createTable(), "_dlg={_sequence={}}; setmetatable(_dlg, {__index = _G})"},
        {DialogTexts::dropTable(), "if _dlg ~= nil then _dlg = nil end"},
        {ObjectTexts::action("_FF0000"), "if _FF0000 ~= nil then _FF0000[1]() end"},
        {ObjectTexts::fillCallerName("onClick(%s)", "gate"), "onClick(\"gate\")"},
        {ObjectTexts::fillCallerName("a(%s); b(%s)", "gate"), "a(\"gate\"); b(\"gate\")"},
        {ObjectTexts::fillCallerName("rate(100%)", "gate"), "rate(100%)"},
        {ObjectTexts::fillCallerName("onClick(%s)", ""), "onClick(\"\")"},
        {ObjectTexts::customAnimatorCall("meadow.gate.swing", "meadow.gate/door/anim", 0.25f),
         "return meadow.gate.swing(\"meadow.gate/door/anim\", 0.250000)"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(c.first, c.second);
    }
}

TEST(CallbackTexts, AnObjectNameStaysDataWhateverItHolds)
{
    // A "%s" inside the name is not filled again, and quotes, backslashes and line breaks stay inside
    // the literal.
    EXPECT_EQ(ObjectTexts::fillCallerName("f(%s)", "it's \"%s\"\\\n"), "f(\"it\\'s \\\"%s\\\"\\\\\\n\")");
    EXPECT_EQ(ObjectTexts::customAnimatorCall("f", "a\"]]", 1.0f), "return f(\"a\\\"]]\", 1.000000)");
}

TEST(CallbackTexts, ADebugLineKeepsAQuotedSceneNameInsideItsLiteral)
{
    EXPECT_EQ(HookTexts::debugPrint("Active Scene: [c:FFCC00]a.b[/c]"),
              "ui.debugPrint('Active Scene: [c:FFCC00]a.b[/c]')");
    EXPECT_EQ(HookTexts::debugPrint("Active Scene: it's"), "ui.debugPrint('Active Scene: it\\'s')");
}
