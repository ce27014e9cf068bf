#pragma once

namespace vumo
{
    // One registrar per script table; LuaInterface::init calls them in its fixed order.
    namespace LuaInterface
    {
        void registerStringExtensions();
        void registerUtil();
        void registerObject();
        void registerImage();
        void registerUI();
        void registerSound();
        void registerScene();
        void registerInventory();
        void registerDialog();
        void registerVumo();
        void registerOs();
        void registerCfg();
        void registerSys();
        void registerFont();
        void registerText();
        void registerVars();
        void registerProfile();
        void registerDebug();
        void registerUIMessageBoxes();
        // Methods of object classes, once the object table exists.
        void registerVideoObjectMethods();
        void registerParticleMethods();
    } // namespace LuaInterface
} // namespace vumo
