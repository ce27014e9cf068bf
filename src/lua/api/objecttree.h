#pragma once

struct lua_State;
namespace tesraui
{
    class Dataset;
    class Object;
} // namespace tesraui

namespace vumo
{
    // The object table's functions on the object tree: creation, destruction, lookup and animation. They are
    // registered with the rest of the table in registerObject, in its one list.
    namespace LuaInterface
    {
        namespace objecttree
        {
            tesraui::Dataset* datasetOf(lua_State* L, tesraui::Object* object, const char* functionName);

            int object_create(lua_State* L);
            int object_assignEvent(lua_State* L);
            int object_destroy(lua_State* L);
            int object_destroyChildren(lua_State* L);
            int object_exists(lua_State* L);
            int object_children(lua_State* L);
            int object_isAncestor(lua_State* L);
            int object_getChildUnderPoint(lua_State* L);
            int object_moveX(lua_State* L);
            int object_moveY(lua_State* L);
            int object_rotate(lua_State* L);
            int object_resizeX(lua_State* L);
            int object_resizeY(lua_State* L);
            int object_scaleX(lua_State* L);
            int object_scaleY(lua_State* L);
            int object_fade(lua_State* L);
            int object_move(lua_State* L);
            int object_resize(lua_State* L);
            int object_scale(lua_State* L);
        } // namespace objecttree
    }     // namespace LuaInterface
} // namespace vumo
