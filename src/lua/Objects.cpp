#include <tesraui/Dataset.h>
#include <tesraui/Object.h>

#include "Calls.h"
#include "Host.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            tesraui::Object* findSceneObject(lua_State* L, const hstring& name)
            {
                Host& host = getHost();
                Scene* scene = host.getActiveScene();
                if (scene == nullptr)
                {
                    raiseLuaError(L, "Unable to get scene object '" + name + "', there's no active scene.");
                }
                tesraui::Dataset* dataset = host.getSceneDataset(scene);
                if (dataset == nullptr)
                {
                    raiseLuaError(L, "Unable to get scene object '" + name +
                                         "', active scene's dataset isn't initialised.");
                }
                tesraui::Object* object = dataset->tryGetObject(name);
                if (object == nullptr)
                {
                    raiseLuaError(L, formatString("Scene object '%s' not found.", name.c_str()));
                }
                return object;
            }
        } // namespace

        void installSceneObjectResolver()
        {
            tesrauilua::setBareNameResolver(findSceneObject);
        }
    } // namespace LuaInterface
} // namespace vumo
