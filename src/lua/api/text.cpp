#include <lua.hpp>
#include <tesraui/tesraui.h>

#include "Chapter.h"
#include "Scene.h"
#include "Session.h"
#include "lua/Calls.h"
#include "lua/LuaInterface.h"
#include "lua/api/registrars.h"
#include "GameUiHost.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            tesraui::Dataset* chapterNamed(const hstring& name)
            {
                tesraui::Dataset* dataset = tesraui::getDatasetByName(name);
                if (dynamic_cast<Chapter*>(dataset) == nullptr)
                {
                    throw quortypes::exception(
                        "Dataset '" + name + "' found, but it's not a Chapter class, dynamic cast failed.",
                        __FILE__, __LINE__);
                }
                return dataset;
            }

            tesraui::Dataset* activeChapter(const hstring& key)
            {
                Scene* scene = Session::getActiveScene();
                if (scene == nullptr)
                {
                    throw quortypes::exception(
                        "Unable to get text key '" + key + "', there's no active scene.", __FILE__, __LINE__);
                }
                if (scene->getChapter() == nullptr)
                {
                    throw quortypes::exception("Unable to get text key '" + key +
                                                   "', active scene's dataset isn't initialised.",
                                               __FILE__, __LINE__);
                }
                return scene->getChapter();
            }

            // The dataset a key is read from and the key within it; formatted keys are the UI's.
            tesraui::Dataset* resolveKey(const hstring& key, hstring& localKey)
            {
                localKey = key;
                if (key.contains("{"))
                {
                    return getGameUiHost().getDataset();
                }
                const int dot = key.rfind('.');
                if (dot >= 0)
                {
                    localKey = key.subString(dot + 1);
                    return chapterNamed(key.subString(0, dot));
                }
                return activeChapter(key);
            }

            int text_getText(lua_State* L)
            {
                checkArgsExact(L, 1, "text.getText", "s");
                return push(L, getText(toString(L, 1)));
            }

            int text_exists(lua_State* L)
            {
                checkArgsExact(L, 1, "text.exists", "s");
                return push(L, hasText(toString(L, 1)));
            }

            // The texts of a chapter (the active scene's without an argument) as a table of key to text.
            int text_table(lua_State* L)
            {
                checkArgs(L, 0, 1, "text.table", "s");
                tesraui::Dataset* dataset =
                    lua_gettop(L) > 0 ? chapterNamed(toString(L, 1)) : activeChapter("");
                lua_newtable(L);
                for (auto& entry : dataset->getTexts())
                {
                    push(L, entry.second);
                    lua_setfield(L, -2, entry.first.c_str());
                }
                return 1;
            }
        } // namespace

        hstring getText(const hstring& key)
        {
            hstring localKey;
            tesraui::Dataset* dataset = resolveKey(key, localKey);
            if (dataset == nullptr)
            {
                throw quortypes::exception("Unable to get text key '" + key + "', there's no UI dataset.",
                                           __FILE__, __LINE__);
            }
            return key.contains("{") ? dataset->getTextFormatted(localKey) : dataset->getText(localKey);
        }

        bool hasText(const hstring& key)
        {
            hstring localKey;
            tesraui::Dataset* dataset = resolveKey(key, localKey);
            return dataset != nullptr && dataset->hasText(localKey);
        }

        void registerText()
        {
            registerFunction(text_getText, "text.getText");
            registerFunction(text_exists, "text.exists");
            registerFunction(text_table, "text.table");
        }
    } // namespace LuaInterface
} // namespace vumo
