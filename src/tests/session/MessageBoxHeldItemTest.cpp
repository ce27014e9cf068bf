#include <tesraui/Dataset.h>
#include <tesraui/TextImageButton.h>

#include "EngineHarness.h"
#include "ui/UI.h"

using namespace vumo;

namespace
{
    const char* const script = "journal = {}\n"
                               "function note(x) journal[#journal + 1] = tostring(x) end\n"
                               "function ui.OnUseItemFail(item) note('fail ' .. item) end\n";

    // A builder of the game's own: the two buttons side by side, each reading its parameter's name.
    const char* const builder =
        "function ui.createMessageBox(box, params)\n"
        "  local x = 200\n"
        "  for _, key in ipairs({'no_button', 'yes_button'}) do\n"
        "    if params[key] ~= nil then\n"
        "      local b = object.create('TextImageButton', '', box, {x = x, y = 260, w = 160, h = 60,\n"
        "        image = '0x3A4A66', text = key, horz_formatting = 'center'})\n"
        "      object.assignEvent(b, 'Click', params[key])\n"
        "      x = x + 240\n"
        "    end\n"
        "  end\n"
        "end\n";

    struct Layout
    {
        const char* name;
        const char* script; // "" for the engine's own layout
        const char* button; // the text of the button clicked
    };

    void PrintTo(const Layout& layout, std::ostream* out)
    {
        *out << layout.name;
    }
} // namespace

// A click on a shown message box while the player holds an item: the box takes it as its answer at once,
// and the item neither falls on the scene below nor leaves the hand.
class MessageBoxHeldItem : public harness::GameTest, public ::testing::WithParamInterface<Layout>
{
protected:
    UI* ui = nullptr;

    void SetUp() override
    {
        folder.put("cfg/vumo.cfg", "title: EngineTest\ntarget: pc\nwidth: 800\nheight: 600\naudio_mute: 1\n"
                                   "scene: c1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/lib/ui.lua", std::string(script) + GetParam().script);
        folder.put("data/chapters/c1/c1.datadef", "<Dataset/>");
        folder.put("data/chapters/c1/scenes/a.scene", "");
        engine.reset(new harness::Engine(folder));
        engine->start();
        ui = UI::getInstance();
        engine->frame();
    }
    std::string journal() { return engine->lua("table.concat(journal, ' ')"); }
    tesraui::TextImageButton* button(const std::string& text)
    {
        for (const auto& pair : ui->getDataset()->getObjects())
        {
            auto* found = dynamic_cast<tesraui::TextImageButton*>(pair.second);
            if (found != nullptr && ui->getShownBox() != nullptr &&
                found->isDescendantOf(ui->getShownBox()->boxObject) && std::string(found->getText()) == text)
            {
                return found;
            }
        }
        return nullptr;
    }
    void click(float x, float y)
    {
        engine->clickAt(x, y);
        engine->frame();
    }
};

TEST_P(MessageBoxHeldItem, TheFirstClickAnswersTheBoxAndTheHandKeepsTheItem)
{
    const std::string ask = "ui.messageBox{type = 'ask', text = '{%s} {Go?}', yes_button = function() "
                            "note('yes with ' .. ui.getSelectedItem()) end, no_button = \"note('no')\"}";
    LuaInterface::execute(ask);
    engine->frame();
    ASSERT_EQ(ui->getActiveMessageBoxType(), "ask");
    ui->selectItem("key");
    tesraui::TextImageButton* yes = button(GetParam().button);
    ASSERT_NE(yes, nullptr);
    engine->clickObject(yes);
    engine->frame();
    EXPECT_FALSE(ui->isMessageBoxActive()) << "one click answers the box";
    EXPECT_EQ(journal(), "yes with key");
    EXPECT_EQ(ui->getSelectedItem(), "key");

    // Beside the buttons, the box only stands in the way: nothing is answered and nothing dropped.
    LuaInterface::execute(ask);
    engine->frame();
    ASSERT_EQ(ui->getActiveMessageBoxType(), "ask");
    click(20, 20);
    EXPECT_EQ(ui->getActiveMessageBoxType(), "ask");
    EXPECT_EQ(ui->getSelectedItem(), "key");
    EXPECT_EQ(journal(), "yes with key");

    // With the box gone, the same hand drops the item where it is clicked, as before.
    LuaInterface::execute("ui.cancelActiveMessageBox()");
    for (int i = 0; i < 15; ++i)
    {
        engine->frame(0.1f);
    }
    click(400, 300);
    EXPECT_EQ(ui->getSelectedItem(), "");
    EXPECT_EQ(journal(), "yes with key fail key");
}

INSTANTIATE_TEST_SUITE_P(Layouts, MessageBoxHeldItem,
                         ::testing::Values(Layout{"TheEnginesOwn", "", "yes"},
                                           Layout{"TheGamesBuilder", builder, "yes_button"}),
                         [](const ::testing::TestParamInfo<Layout>& info) { return info.param.name; });
