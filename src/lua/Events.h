#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <tesraui/Event.h>
#include <tesraui/LifeToken.h>

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
        // Runs a code string when its event comes: in the scene's environment, or the UI's without a scene.
        // The scene is watched, since its chapter may unload while the object lives on elsewhere (in the UI,
        // in another chapter): once it has gone the code runs in the environment of the object's chapter, or
        // the UI's. A "%s" in the code becomes the name of the object that raised the event, as a string
        // literal.
        class LuaCallbackEvent : public tesraui::Event
        {
        public:
            LuaCallbackEvent(const hstring& code, Scene* scene);
            void execute(tesraui::EventArgs* args) override;
            // The scene given while it stands; null for the UI's environment, or once it has gone.
            Scene* getScene() const { return this->sceneLife.isAlive() ? this->scene : nullptr; }

            hstring code;

        private:
            Scene* scene;
            tesraui::LifeToken::Watch sceneLife;
        };

        // Calls a stored function with stored arguments; owns their registry references.
        class LuaFunctionCallbackEvent : public tesraui::Event
        {
        public:
            LuaFunctionCallbackEvent(int function, const harray<int>& arguments);
            ~LuaFunctionCallbackEvent() override;
            LuaFunctionCallbackEvent(const LuaFunctionCallbackEvent&) = delete;
            LuaFunctionCallbackEvent& operator=(const LuaFunctionCallbackEvent&) = delete;
            void execute(tesraui::EventArgs* args) override;

            int function;
            harray<int> arguments;
            // Run in the UI's environment just before the function, when not empty.
            hstring preCode;
        };

        // Takes the function at stack index functionIndex and every value above it off the stack into a
        // function event; table arguments are shared with the script, not copied.
        std::unique_ptr<LuaFunctionCallbackEvent> makeFunctionEvent(lua_State* L, int functionIndex);
        // The scene whose environment runs an object's code: none for objects of the dataset "ui".
        Scene* getSceneForObject(tesraui::Object* object);
    } // namespace LuaInterface
} // namespace vumo
