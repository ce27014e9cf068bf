// The console's commands that report through the game's own print: the active scene's name and the
// action-map colour under the cursor copied to the clipboard.
#include "DebugUI.h"

#include <pirk/util.h>
#include <quortypes/Log.h>
#include <tesraui/Container.h>
#include <tesraui/tesraui.h>

#include "GameUiHost.h"
#include "Scene.h"
#include "ScriptTexts.h"
#include "Session.h"
#include "lua/LuaInterface.h"
#include "objects/ActionMapObject.h"

namespace vumo
{
    void DebugUI::printSceneName()
    {
        Scene* scene = Session::getActiveScene();
        const hstring name = (scene != nullptr ? scene->getFullName() : hstring());
        if (LuaInterface::isHook("ui.debugPrint"))
        {
            this->ui.execute(HookTexts::debugPrint("Active Scene: [c:FFCC00]" + name + "[/c]"));
        }
        else
        {
            quortypes::Log::write("DebugUI", "Active Scene: " + name);
        }
    }

    void DebugUI::copyActionMapColor()
    {
        tesraui::Object* root = this->ui.getRootObject();
        if (root == nullptr)
        {
            return;
        }
        tesraui::Object* under = root->getChildUnderCursor();
        ActionMapObject* layer = dynamic_cast<ActionMapObject*>(under);
        const uint32_t color =
            (layer != nullptr ? layer->getRawColorAt(tesraui::getCursorPosition()) >> 8 : 0);
        const hstring text = formatString("_%06X", color);
        if (!pirk::copyToClipboard(text))
        {
            quortypes::Log::write("DebugUI",
                                  "Unable to copy action map color to system clipboard, clipboard not "
                                  "supported on this platform.");
            return;
        }
        if (LuaInterface::isHook("ui.debugPrint"))
        {
            this->ui.execute(HookTexts::debugPrint("Copied [c:FFCC00]" + text + "[/c] to system clipboard."));
        }
        else
        {
            quortypes::Log::write("DebugUI", "Copied " + text + " to system clipboard.");
        }
    }
} // namespace vumo
