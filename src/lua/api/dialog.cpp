#include <memory>
#include <vector>

#include <lua.hpp>
#include <quortypes/Resource.h>

#include "Dialogs.h"
#include "lua/Calls.h"
#include "lua/api/registrars.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            int dialog_start(lua_State* L)
            {
                checkArgsExact(L, 1, "dialog.start", "s");
                const hstring name = toString(L, 1);
                const hstring path = DialogManager::getFilename(name);
                if (!quortypes::Resource::exists(path))
                {
                    raiseLuaError(
                        L, formatString("Dialog file '%s' (%s) not found!", name.c_str(), path.c_str()));
                }
                DialogManager::start(name);
                return 0;
            }

            int dialog_stop(lua_State*)
            {
                DialogManager::end();
                return 0;
            }

            int dialog_reply(lua_State* L)
            {
                checkArgsExact(L, 2, "dialog.reply", "ss");
                DialogManager::addReply(toString(L, 1), toString(L, 2));
                return 0;
            }

            typedef std::vector<std::unique_ptr<DialogManager::DialogItem>> Items;

            // The value on top of the stack as a registry reference (popped).
            int reference(lua_State* L)
            {
                return luaL_ref(L, LUA_REGISTRYINDEX);
            }

            void addTableItem(lua_State* L, int index, Items& items)
            {
                lua_rawgeti(L, index, 1);
                if (!lua_isfunction(L, -1))
                {
                    lua_pop(L, 1);
                    raiseLuaError(L,
                                  "Error definining sequence item as table, first indexed item must be the "
                                  "callback function, the rest are parameters");
                }
                // The item owns its references from here on, so an error below releases them.
                auto* item = new DialogManager::DialogItem_Execute(reference(L), harray<int>());
                items.emplace_back(item);
                const int count = (int)lua_objlen(L, index);
                for (int i = 2; i <= count; ++i)
                {
                    lua_rawgeti(L, index, i);
                    item->arguments.push_back(reference(L));
                }
            }

            int dialog_sequence(lua_State* L)
            {
                checkArgsExact(L, 1, "dialog.sequence", "t");
                checkTableArgument(L, 1, "dialog.sequence", "t");
                Items items;
                const int count = (int)lua_objlen(L, 1);
                for (int i = 1; i <= count; ++i)
                {
                    lua_rawgeti(L, 1, i);
                    const int type = lua_type(L, -1);
                    if (type == LUA_TSTRING)
                    {
                        const hstring text = toString(L, -1);
                        lua_pop(L, 1);
                        if (text == "__END__")
                        {
                            break;
                        }
                        hstring speaker;
                        hstring line;
                        if (text.split(":", speaker, line))
                        {
                            items.emplace_back(new DialogManager::DialogItem_Talk(speaker, line));
                        }
                        else
                        {
                            items.emplace_back(new DialogManager::DialogItem_ExecuteString(text));
                        }
                    }
                    else if (type == LUA_TFUNCTION)
                    {
                        items.emplace_back(
                            new DialogManager::DialogItem_Execute(reference(L), harray<int>()));
                    }
                    else if (type == LUA_TTABLE)
                    {
                        addTableItem(L, lua_gettop(L), items);
                        lua_pop(L, 1);
                    }
                    else
                    {
                        lua_pop(L, 1);
                        raiseLuaError(
                            L, formatString("Invalid sequence element type: '%s'", lua_typename(L, type)));
                    }
                }
                DialogManager::sequence(std::move(items));
                return 0;
            }

            int dialog_isActive(lua_State* L)
            {
                return push(L, DialogManager::isActive());
            }

            int dialog_getNumReplies(lua_State* L)
            {
                return push(L, DialogManager::getNumReplies());
            }

            int dialog_chooseReply(lua_State* L)
            {
                checkArgsExact(L, 1, "dialog.chooseReply", "n");
                DialogManager::chooseReply(toInt(L, 1));
                return 0;
            }

            int dialog_skip(lua_State*)
            {
                DialogManager::skip();
                return 0;
            }

            int dialog_skipSequence(lua_State*)
            {
                DialogManager::skipSequence(0);
                return 0;
            }
        } // namespace

        void registerDialog()
        {
            registerFunction(dialog_start, "dialog.start");
            registerFunction(dialog_stop, "dialog.stop");
            registerFunction(dialog_reply, "dialog.reply");
            registerFunction(dialog_sequence, "dialog.sequence");
            registerFunction(dialog_isActive, "dialog.isActive");
            registerFunction(dialog_getNumReplies, "dialog.getNumReplies");
            registerFunction(dialog_chooseReply, "dialog.chooseReply");
            registerFunction(dialog_skip, "dialog.skip");
            registerFunction(dialog_skipSequence, "dialog.skipSequence");
        }
    } // namespace LuaInterface
} // namespace vumo
