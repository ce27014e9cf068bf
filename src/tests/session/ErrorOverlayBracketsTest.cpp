#include <quortypes/exception.h>
#include <tesraui/Dataset.h>
#include <tesraui/Label.h>

#include "EngineHarness.h"
#include "ui/ErrorOverlay.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;

// Square brackets in a message would be read by the overlay's label as formatting tags: whatever the
// message, only the overlay's own markup may carry them.
TEST(ErrorOverlayBrackets, EveryMessageShowsItsBracketsAsAngles)
{
    const std::pair<const char*, const char*> rows[] = {
        {"[Scene.cpp:51] no [b]bold[/b] here", "<Scene.cpp:51> no <b>bold</b> here"},
        {"[c:FF0000]", "<c:FF0000>"},
        {"WARNING: [x] thin", "<x> thin"},
        {"[A.cpp:1] bad\nstack traceback:\n\t[C]: in f\nContext: [i]",
         "[x:1.3]<A.cpp:1> bad[/x]\n\n[c:00FF00]STACK TRACE[/c]\n\t<C>: in "
         "f\n[c:00FF00]-----------------[/c]\n"
         "[c:FFFF00]Context:[/c] <i>"},
    };
    for (const auto& [message, shown] : rows)
    {
        const std::string text = ErrorOverlay::formatMessage(message);
        EXPECT_EQ(text.substr(0, std::string(shown).size()), shown) << message;
    }
}

class ErrorOverlayBracketsShown : public harness::GameTest
{
};

TEST_F(ErrorOverlayBracketsShown, AnEngineExceptionKeepsItsPlaceAsText)
{
    folder.config();
    folder.put("data/ui/ui.dts", "<Dataset/>");
    folder.put("data/lib/ui.lua", "");
    engine.reset(new Engine(folder));
    engine->start();
    UI* ui = UI::getInstance();
    const quortypes::exception error("no such [object]", "src/Scene.cpp", 51);
    ui->showErrorOverlay(error.getMessage());
    ASSERT_TRUE(ui->isErrorOverlayShown());
    tesraui::Label* label =
        dynamic_cast<tesraui::Label*>(ui->getDataset()->tryGetObject("vumo_ui_error_bg/label"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->getText(), "<Scene.cpp:51> no such <object>");
    engine->frame();
}
