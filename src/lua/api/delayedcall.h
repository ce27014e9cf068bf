#pragma once

struct lua_State;

namespace tesraui
{
    class Object;
}

namespace vumo
{
    class Scene;

    namespace LuaInterface
    {
        // Arguments 1 and 2 of the calling function: code or a function, then the delay in seconds; a
        // function's further arguments are passed to it. Attaches a DelayedCall under parent, whose dataset
        // must exist; code runs in the scene's environment, or the UI's under the dataset "ui". A NaN delay
        // raises an error naming the function.
        void createDelayedCall(lua_State* L, tesraui::Object* parent, Scene* scene, const char* functionName);
    } // namespace LuaInterface
} // namespace vumo
