#pragma once

// One registrar per script table; LuaInterface::init calls them in its fixed order.
namespace LuaInterface
{
    void registerStringExtensions();
    void registerUtil();
    void registerObject();
    void registerImage();
    void registerSound();
    void registerScene();
    void registerVumo();
    void registerCfg();
    void registerSys();
    void registerFont();
    void registerText();
    void registerVars();
    void registerProfile();
    void registerDebug();
    void registerUIMessageBoxes();
} // namespace LuaInterface
