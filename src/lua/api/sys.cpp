#include <map>
#include <memory>

#include <lua.hpp>
#include <quortypes/File.h>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/ResourceDir.h>
#include <pirk/util.h>
#include <tesra/RenderSystem.h>
#include <tesra/SystemInfo.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>
#include <tesraui/tesraui.h>

#include "Config.h"
#include <quortypes/FileBytes.h>
#include "Session.h"
#include "lua/Calls.h"
#include "lua/Events.h"
#include "lua/Host.h"
#include "lua/LuaInterface.h"
#include "lua/NativeGuards.h"
#include "lua/api/registrars.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            // What sys.readFile reads at most: a script reading /proc/self/pagemap, which never ends, would
            // otherwise fill the memory.
            const size_t maxReadFileBytes = (size_t)64 << 20;

            // The pending message box's code by button name, and whether the box paused the session.
            std::map<hstring, std::unique_ptr<LuaCallbackEvent>> messageBoxEvents;
            bool messageBoxPaused = false;

            const std::pair<const char*, tesra::MessageBoxButton> buttons[] = {
                {"ok", tesra::MESSAGE_BUTTON_OK},
                {"cancel", tesra::MESSAGE_BUTTON_CANCEL},
                {"yes", tesra::MESSAGE_BUTTON_YES},
                {"no", tesra::MESSAGE_BUTTON_NO}};

            void endMessageBox()
            {
                messageBoxEvents.clear();
                if (messageBoxPaused)
                {
                    messageBoxPaused = false;
                    Session::setPaused(false);
                }
            }

            void messageBoxCallback(tesra::MessageBoxButton button)
            {
                for (auto& entry : buttons)
                {
                    auto found = messageBoxEvents.find(entry.first);
                    if (entry.second == button && found != messageBoxEvents.end())
                    {
                        // Held here: the code may show another box, which refills the map.
                        std::unique_ptr<LuaCallbackEvent> event = std::move(found->second);
                        event->execute(nullptr);
                        break;
                    }
                }
                endMessageBox();
            }

            // The keys of the table at index, as a set of names.
            std::map<hstring, hstring> stringTable(lua_State* L, int index)
            {
                std::map<hstring, hstring> result;
                lua_pushnil(L);
                while (lua_next(L, index) != 0)
                {
                    lua_pushvalue(L, -2);
                    result[toString(L, -1)] = toString(L, -2);
                    lua_pop(L, 2);
                }
                return result;
            }

            int sys_messageBox(lua_State* L)
            {
                checkArgs(L, 3, 4, "sys.messageBox", "sstt");
                checkTableArgument(L, 3, "sys.messageBox", "sstt");
                const bool titled = checkOptionalTableArgument(L, 4, "sys.messageBox", "sstt");
                const std::map<hstring, hstring> events = stringTable(L, 3);
                hstring keys;
                for (auto& entry : buttons)
                {
                    if (events.count(entry.first) > 0)
                    {
                        keys += hstring(keys == "" ? "" : "-") + entry.first;
                    }
                }
                if (events.size() == 0 ||
                    (keys != "yes-no" && keys != "ok" && keys != "ok-cancel" && keys != "yes-no-cancel") ||
                    events.size() != (size_t)keys.split('-').size())
                {
                    raiseLuaError(L,
                                  "sys.messageBox(): invalid button configuration, allowed combinations are: "
                                  "yes-no-cancel, yes-no, ok-cancel, ok");
                }
                std::map<tesra::MessageBoxButton, hstring> captions;
                if (titled)
                {
                    const std::map<hstring, hstring> titles = stringTable(L, 4);
                    for (auto& title : titles)
                    {
                        if (events.count(title.first) == 0)
                        {
                            raiseLuaError(L, "sys.messageBox(): invalid button title given: '" + title.first +
                                                 "', button not defined in event table.");
                        }
                    }
                    if (titles.size() != events.size())
                    {
                        raiseLuaError(L, "sys.messageBox(): event table and title table must have the same "
                                         "number of elements.");
                    }
                    for (auto& entry : buttons)
                    {
                        if (titles.count(entry.first) > 0)
                        {
                            captions[entry.second] = titles.at(entry.first);
                        }
                    }
                }
                int buttonBits = 0;
                messageBoxEvents.clear();
                for (auto& entry : buttons)
                {
                    if (events.count(entry.first) > 0)
                    {
                        buttonBits |= entry.second;
                        messageBoxEvents[entry.first].reset(
                            new LuaCallbackEvent(events.at(entry.first), getHost().getActiveScene()));
                    }
                }
                messageBoxPaused = !Session::isPaused();
                if (messageBoxPaused)
                {
                    Session::setPaused(true);
                }
                tesra::showMessageBox(toString(L, 1), toString(L, 2), buttonBits, tesra::MESSAGE_STYLE_INFO,
                                      captions, &messageBoxCallback);
                if (!messageBoxEvents.empty())
                {
                    quortypes::Log::error(logTag, "sys.messageBox(): the message box could not be shown");
                    endMessageBox();
                }
                return 0;
            }

            int sys_listdir(lua_State* L)
            {
                checkArgsExact(L, 1, "sys.listdir", "s");
                const harray<hstring> names = quortypes::ResourceDir::contents(toString(L, 1));
                lua_createtable(L, names.size(), 0);
                for (int i = 0; i < names.size(); ++i)
                {
                    push(L, names[i]);
                    lua_rawseti(L, -2, i + 1);
                }
                return 1;
            }

            int sys_resourceExists(lua_State* L)
            {
                const hstring path = toString(L, 1);
                return push(L, quortypes::Resource::exists(path) || quortypes::ResourceDir::exists(path));
            }

            int sys_readFile(lua_State* L)
            {
                const hstring path = toString(L, 1);
                hstring bytes;
                if (quortypes::Resource::exists(path))
                {
                    bytes = readFileBytes(path, true, maxReadFileBytes);
                }
                // Only a regular file opens, and nothing that would wait: a device or a pipe is refused.
                else if (!readFileIfPresent(path, bytes, maxReadFileBytes))
                {
                    raiseLuaError(L, "sys.readFile(): unable to open file '" + path + "', file not found.");
                }
                return push(L, bytes);
            }

            int sys_getTextureExtensions(lua_State* L)
            {
                checkArgsExact(L, 1, "sys.getTextureExtensions", "s");
                return push(L, Session::getTextureExtensions());
            }

            int sys_setTextureExtensions(lua_State* L)
            {
                checkArgsExact(L, 1, "sys.setTextureExtensions", "s");
                const hstring refusal = Session::textureExtensionsRefusal(toString(L, 1));
                if (refusal != "")
                {
                    raiseLuaError(L, "sys.setTextureExtensions: " + refusal);
                }
                Session::setTextureExtensions(toString(L, 1));
                return 0;
            }

            int sys_setTextureIdleUnloadTime(lua_State* L)
            {
                // 0 or less, or an infinity, keeps textures for good.
                const float seconds = numberArgument(L, 1, "sys.setTextureIdleUnloadTime");
                logScripting(formatString("Setting idle texture unload time to: %.1f seconds", seconds));
                tesraui::setTextureIdleUnloadTime(seconds);
                return 0;
            }

            // Library scripts run before the window opens, and finalizers when the state closes after it has
            // gone: the questions then answer as for no window, and a change is refused.
            int sys_isFullscreen(lua_State* L)
            {
                return push(L, tesra::window != nullptr && tesra::window->isFullscreen());
            }

            int sys_setFullscreen(lua_State* L)
            {
                checkArgsExact(L, 1, "sys.setFullscreen", "b");
                if (tesra::window == nullptr)
                {
                    raiseLuaError(L, "sys.setFullscreen: the window is not open");
                }
                tesra::window->setFullscreen(toBool(L, 1));
                return 0;
            }

            int sys_isWindowFocused(lua_State* L)
            {
                return push(L, tesra::window != nullptr && tesra::window->isFocused());
            }

            int sys_cleanMemory(lua_State*)
            {
                Session::cleanMemory();
                return 0;
            }

            int sys_openUrl(lua_State* L)
            {
                pirk::openUrl(toString(L, 1));
                return 0;
            }

            int sys_initLuaSocket(lua_State* L)
            {
                lua_getglobal(L, "socket");
                const bool loaded = lua_istable(L, -1);
                lua_pop(L, 1);
                if (loaded)
                {
                    return 0;
                }
                quortypes::Log::write(logTag, "initializing luasocket");
                NativeGuards::openSocketCore(L);
                lua_pushvalue(L, -1);
                lua_setglobal(L, "socket");
                lua_getglobal(L, "package");
                lua_getfield(L, -1, "loaded");
                lua_pushvalue(L, -3);
                lua_setfield(L, -2, "socket.core");
                lua_pop(L, 3);
                return 0;
            }

            int pushPoint(lua_State* L, float x, float y)
            {
                lua_newtable(L);
                lua_pushnumber(L, x);
                lua_setfield(L, -2, "x");
                lua_pushnumber(L, y);
                lua_setfield(L, -2, "y");
                return 1;
            }

            int sys_info_index(lua_State* L)
            {
                const hstring key = toString(L, 2);
                const tesra::SystemInfo info = tesra::getSystemInfo();
                if (key == "name")
                    return push(L, info.name);
                if (key == "osVersion")
                    return push(L, info.osVersion);
                if (key == "arch")
                    return push(L, info.architecture);
                if (key == "cpuCores")
                    return push(L, info.cpuCores);
                if (key == "ram")
                    return push(L, info.ram);
                if (key == "maxTextureSize")
                    return push(L, tesra::rendersys != nullptr ? tesra::rendersys->getMaxTextureSize() : 0);
                if (key == "displayDpi")
                    return push(L, (int)info.displayDpi);
                if (key == "locale")
                    return push(L, info.locale);
                if (key == "appId")
                    return push(L, tesra::getPackageName());
                if (key == "inputMode")
                {
                    if (tesra::window == nullptr)
                    {
                        return push(L, "unknown");
                    }
                    const tesra::InputMode mode = tesra::window->getInputMode();
                    return push(L, mode == tesra::InputMode::MOUSE   ? "mouse"
                                   : mode == tesra::InputMode::TOUCH ? "touch"
                                                                     : "unknown");
                }
                if (key == "displayResolution")
                    return pushPoint(L, info.displayResolution.x, info.displayResolution.y);
                if (key == "windowResolution")
                {
                    return tesra::window != nullptr ? pushPoint(L, (float)tesra::window->getWidth(),
                                                                (float)tesra::window->getHeight())
                                                    : pushPoint(L, 0.0f, 0.0f);
                }
                if (key == "platform")
                    return push(L, "linux");
                raiseLuaError(L, "Invalid sys.info param: " + key);
            }

            int sys_info_newindex(lua_State* L)
            {
                raiseLuaError(L, "Setting properties to sys.info is not allowed!");
            }
        } // namespace

        void registerSys()
        {
            registerFunction(sys_listdir, "sys.listdir");
            registerFunction(sys_resourceExists, "sys.resourceExists");
            registerFunction(sys_readFile, "sys.readFile");
            registerFunction(sys_getTextureExtensions, "sys.getTextureExtensions");
            registerFunction(sys_setTextureExtensions, "sys.setTextureExtensions");
            registerFunction(sys_setTextureIdleUnloadTime, "sys.setTextureIdleUnloadTime");
            registerFunction(sys_isFullscreen, "sys.isFullscreen");
            registerFunction(sys_setFullscreen, "sys.setFullscreen");
            registerFunction(sys_isWindowFocused, "sys.isWindowFocused");
            registerFunction(sys_messageBox, "sys.messageBox");
            registerFunction(sys_cleanMemory, "sys.cleanMemory");
            registerFunction(sys_openUrl, "sys.openUrl");
            registerFunction(sys_initLuaSocket, "sys.initLuaSocket");
            registerFunction(sys_info_index, "sys._info_index");
            registerFunction(sys_info_newindex, "sys._info_newindex");
            execute("sys.info = {}; setmetatable(sys.info, {__index = sys._info_index, __newindex = "
                    "sys._info_newindex}); "
                    "sys._info_index = nil; sys._info_newindex = nil",
                    "", "");
        }
    } // namespace LuaInterface
} // namespace vumo
