#include "lua/LuaInterface.h"
#include "lua/api/registrars.h"
#include "lua/types/gvec2.h"

namespace vumo
{
    namespace LuaInterface
    {
        // Tables join this list, in this place, as their registrars exist.
        void registerApi()
        {
            registerStringExtensions();
            registerUtil();
            registerObject();
            registerImage();
            registerUI();
            registerSound();
            registerScene();
            registerInventory();
            registerDialog();
            registerVumo();
            registerOs();
            registerCfg();
            registerSys();
            registerFont();
            registerText();
            registerVars();
            registerProfile();
            registerDebug();
            registerUIMessageBoxes();
            registerGvec2Type();
            registerGsplineType();
            registerVideoObjectMethods();
            registerParticleMethods();
        }
    } // namespace LuaInterface
} // namespace vumo
