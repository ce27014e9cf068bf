#include <lua.hpp>
#include <tesraui/Dataset.h>
#include <tesraui/EventArgs.h>
#include <tesraui/Object.h>

#include "Calls.h"
#include "Events.h"
#include "Host.h"
#include "LuaInterface.h"
#include "ScriptTexts.h"

namespace vumo
{
    namespace LuaInterface
    {
        LuaCallbackEvent::LuaCallbackEvent(const hstring& code, Scene* scene)
            : code(code), scene(scene),
              sceneLife(scene != nullptr ? getHost().watchScene(scene) : tesraui::LifeToken::Watch())
        {
        }

        void LuaCallbackEvent::execute(tesraui::EventArgs* args)
        {
            hstring code = this->code;
            if (code.contains('%') && code.contains("%s"))
            {
                const bool named = (args != nullptr && args->object != nullptr);
                code = ObjectTexts::fillCallerName(code, named ? args->object->getName() : hstring());
            }
            if (Scene* scene = this->getScene())
            {
                getHost().runSceneScript(scene, code);
            }
            else if (this->scene != nullptr)
            {
                const bool raised = (args != nullptr && args->object != nullptr);
                getHost().runObjectScript(raised ? args->object->getDataset() : nullptr, code);
            }
            else
            {
                getHost().executeInUI(code);
            }
        }

        LuaFunctionCallbackEvent::LuaFunctionCallbackEvent(int function, const harray<int>& arguments)
            : function(function), arguments(arguments)
        {
        }

        LuaFunctionCallbackEvent::~LuaFunctionCallbackEvent()
        {
            if (state == nullptr || this->function == LUA_NOREF || this->function == LUA_REFNIL)
            {
                return;
            }
            luaL_unref(state, LUA_REGISTRYINDEX, this->function);
            for (int reference : this->arguments)
            {
                luaL_unref(state, LUA_REGISTRYINDEX, reference);
            }
        }

        void LuaFunctionCallbackEvent::execute(tesraui::EventArgs*)
        {
            lua_State* L = state;
            if (L == nullptr)
            {
                return;
            }
            if (this->preCode != "")
            {
                getHost().executeInUI(this->preCode);
            }
            // The function may replace this event and so delete it: nothing below the call reads members.
            const int base = lua_gettop(L);
            const int handler = pushMessageHandler(L);
            luaL_checkstack(L, this->arguments.size() + 1, "too many arguments");
            lua_rawgeti(L, LUA_REGISTRYINDEX, this->function);
            for (int reference : this->arguments)
            {
                lua_rawgeti(L, LUA_REGISTRYINDEX, reference);
            }
            if (lua_pcall(L, this->arguments.size(), 0, handler) != 0)
            {
                const _LuaError error(getErrorString(L, -1), "LuaFunctionCallbackEvent", __FILE__, __LINE__);
                lua_settop(L, base);
                getHost().reportScriptError({}, error.getMessage());
            }
            lua_settop(L, base);
        }

        std::unique_ptr<LuaFunctionCallbackEvent> makeFunctionEvent(lua_State* L, int functionIndex)
        {
            if (functionIndex < 0 && functionIndex > LUA_REGISTRYINDEX)
            {
                functionIndex = lua_gettop(L) + functionIndex + 1;
            }
            harray<int> arguments;
            while (lua_gettop(L) > functionIndex)
            {
                arguments.insert(arguments.begin(), luaL_ref(L, LUA_REGISTRYINDEX));
            }
            const int function = luaL_ref(L, LUA_REGISTRYINDEX);
            return std::make_unique<LuaFunctionCallbackEvent>(function, arguments);
        }

        Scene* getSceneForObject(tesraui::Object* object)
        {
            tesraui::Dataset* dataset = (object != nullptr ? object->getDataset() : nullptr);
            if (dataset != nullptr && dataset->getName() == "ui")
            {
                return nullptr;
            }
            return getHost().getActiveScene();
        }
    } // namespace LuaInterface
} // namespace vumo
