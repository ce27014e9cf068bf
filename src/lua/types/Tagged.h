#pragma once

#include <new>
#include <utility>

#include <lua.hpp>

namespace vumo
{
    namespace LuaInterface
    {
        // The block of a value of one of the engine's userdata types: its type's tag, then the value. The
        // metatable does not tell whose a userdata is: the debug library gives any userdata any metatable,
        // so that an empty proxy or a value of another type would pass for one of ours. Only the engine
        // writes a tag, and a block whose size or tag is not the type's is no value of it.
        template <class T> struct Tagged
        {
            const void* tag;
            T value;
        };

        // A new userdata of the type, its value made of the arguments, with the registry metatable of that
        // name; left on the stack.
        template <class T, class... Args>
        T* pushTagged(lua_State* L, const void* tag, const char* typeName, Args&&... args)
        {
            auto* block = static_cast<Tagged<T>*>(lua_newuserdata(L, sizeof(Tagged<T>)));
            block->tag = tag;
            new (&block->value) T(std::forward<Args>(args)...);
            luaL_getmetatable(L, typeName);
            lua_setmetatable(L, -2);
            return &block->value;
        }

        // The value at the index when it is one of the type, else null.
        template <class T> T* toTagged(lua_State* L, int index, const void* tag)
        {
            if (lua_type(L, index) != LUA_TUSERDATA || lua_objlen(L, index) != sizeof(Tagged<T>))
            {
                return nullptr;
            }
            auto* block = static_cast<Tagged<T>*>(lua_touserdata(L, index));
            return block->tag == tag ? &block->value : nullptr;
        }

        // The value at the index, which carries the type's metatable too; anything else raises Lua's argument
        // type error naming the type.
        template <class T> T* checkTagged(lua_State* L, int index, const void* tag, const char* typeName)
        {
            luaL_checkudata(L, index, typeName);
            T* value = toTagged<T>(L, index, tag);
            if (value == nullptr)
            {
                luaL_typerror(L, index, typeName);
            }
            return value;
        }
    } // namespace LuaInterface
} // namespace vumo
