// Arbitrary bytes as a ".dlg" dialog script of a running game: the dialog is started, its replies chosen in
// turn, its sequences played, skipped and ended, with frames in between.
#include <string>

#include "Dialogs.h"
#include "FuzzEngine.h"

using namespace vumo;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz_engine::start({
        {"cfg/vumo.cfg",
         "title: FuzzDialogs\ndisplay_title: Fuzz Dialogs\ntarget: pc\nwidth: 160\nheight: 120\n"
         "audio_mute: 1\nscene: ch1.a\n"},
        {"data/ui/ui.dts", "<Dataset/>"},
        // The game's side of a dialog: each line shows for a while, the replies are listed.
        {"data/lib/dialog_ui.lua", "function ui.startDialog() end\n"
                                   "function ui.endDialog() end\n"
                                   "function ui.displayDialog(who, text) return 0.2 end\n"
                                   "function ui.displayDialogReplies(replies) end\n"},
        {"data/chapters/ch1/ch1.datadef", "<Dataset/>"},
        {"data/chapters/ch1/scenes/a.scene", ""},
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    fuzz_engine::beginInput();
    fuzz_support::writeFile("data/chapters/ch1/dialogs/d.dlg", std::string((const char*)data, size));
    fuzz_engine::run("dialog.start('d')");
    for (int turn = 0; turn < 16 && DialogManager::isActive(); ++turn)
    {
        const int replies = DialogManager::getNumReplies();
        if (replies > 0)
        {
            fuzz_engine::run("dialog.chooseReply(" + std::to_string(turn % replies) + ")");
        }
        else if (turn == 6)
        {
            // As the UI skips: all but the last line.
            try
            {
                DialogManager::skipSequence(1);
            }
            catch (const quortypes::exception&)
            {
            }
        }
        else if (turn == 9)
        {
            fuzz_engine::run("dialog.skip()");
        }
        fuzz_engine::frame(0.25f);
    }
    fuzz_engine::run("dialog.stop()");
    fuzz_engine::frame(0.016f);
    return 0;
}
