#include "Dialogs.h"

#include <deque>
#include <memory>

#include <lua.hpp>
#include <quortypes/Log.h>
#include <quortypes/UnderWay.h>
#include <quortypes/exception.h>

#include "Session.h"
#include "lua/Calls.h"
#include "lua/LuaError.h"
#include "lua/LuaInterface.h"
#include "GameUiHost.h"
#include "lua/Host.h"
#include "ScriptTexts.h"

namespace vumo
{
    namespace DialogManager
    {
        namespace
        {
            const char* const sourceName = "DialogManager";

            bool active = false;
            bool skipping = false;
            float itemTimer = 0.0f;
            harray<std::pair<hstring, hstring>> replies;
            std::deque<std::unique_ptr<DialogItem>> queue;

            void fail(const quortypes::exception& e, bool endHook = true)
            {
                if (endHook)
                {
                    getGameUiHost().endDialog();
                }
                LuaInterface::getHost().reportScriptError({}, e.getMessage());
            }

            void clearQueue()
            {
                // Items deleted here may be asked to describe themselves no more; the list is emptied first.
                std::deque<std::unique_ptr<DialogItem>> items;
                std::swap(items, queue);
            }

            void publish()
            {
                lua_State* L = LuaInterface::state;
                if (L == nullptr)
                {
                    return;
                }
                // The dialog's own table, read and written raw: a metamethod of the globals or of the table
                // would run a script in the middle of the dialog's turn.
                lua_pushliteral(L, "_dlg");
                lua_rawget(L, LUA_GLOBALSINDEX);
                if (!lua_istable(L, -1))
                {
                    lua_pop(L, 1);
                    return;
                }
                lua_pushliteral(L, "_sequence");
                lua_newtable(L);
                for (int i = 0; i < (int)queue.size(); ++i)
                {
                    queue[i]->pushToLua(L);
                    lua_rawseti(L, -2, i + 1);
                }
                lua_rawset(L, -3);
                lua_pop(L, 1);
            }

            // Takes the front item off, shows what is left, runs the item and deletes it.
            void runFront()
            {
                const std::unique_ptr<DialogItem> item = std::move(queue.front());
                queue.pop_front();
                publish();
                item->execute();
            }

            void runInDialog(const hstring& code, const hstring& chunkName = "")
            {
                LuaInterface::execute(code, "_dlg", chunkName);
            }

            void continueDialog()
            {
                itemTimer = 0.0f;
                try
                {
                    runInDialog("main()");
                }
                catch (const quortypes::exception& e)
                {
                    // A turn that failed with nothing to go on with would leave the dialog active for ever.
                    const bool stuck = (active && replies.size() == 0 && queue.size() == 0);
                    fail(e, !stuck);
                    if (stuck)
                    {
                        end();
                    }
                    return;
                }
                if (replies.size() == 0 && queue.size() == 0 && active)
                {
                    end();
                    throw quortypes::exception(
                        "DialogManager: main function should either set replies, set a "
                        "sequence or end the Dialog",
                        sourceName, __LINE__);
                }
                if (replies.size() > 0)
                {
                    harray<hstring> texts;
                    for (const auto& reply : replies)
                    {
                        texts.push_back(reply.first);
                    }
                    getGameUiHost().displayDialogReplies(texts);
                }
            }

        } // namespace

        void DialogItem_Talk::execute()
        {
            if (skipping)
            {
                return;
            }
            itemTimer = getGameUiHost().displayDialog(this->speaker, this->text);
            if (itemTimer <= 0.0f)
            {
                itemTimer = 1.0e9f;
            }
        }

        void DialogItem_Talk::pushToLua(lua_State* L)
        {
            LuaInterface::push(L, this->speaker + ":" + this->text);
        }

        void DialogItem_ExecuteString::execute()
        {
            try
            {
                runInDialog(this->code);
            }
            catch (const quortypes::exception& e)
            {
                fail(e);
            }
        }

        void DialogItem_ExecuteString::pushToLua(lua_State* L)
        {
            LuaInterface::push(L, this->code);
        }

        DialogItem_Execute::~DialogItem_Execute()
        {
            lua_State* L = LuaInterface::state;
            if (L == nullptr)
            {
                return;
            }
            luaL_unref(L, LUA_REGISTRYINDEX, this->function);
            for (int reference : this->arguments)
            {
                luaL_unref(L, LUA_REGISTRYINDEX, reference);
            }
        }

        void DialogItem_Execute::execute()
        {
            lua_State* L = LuaInterface::state;
            if (L == nullptr)
            {
                return;
            }
            const int base = lua_gettop(L);
            const int handler = LuaInterface::pushMessageHandler(L);
            lua_rawgeti(L, LUA_REGISTRYINDEX, this->function);
            for (int reference : this->arguments)
            {
                lua_rawgeti(L, LUA_REGISTRYINDEX, reference);
            }
            const int status = lua_pcall(L, this->arguments.size(), 0, handler);
            if (status != 0)
            {
                const _LuaError error(LuaInterface::getErrorString(L, -1), "DialogItem_Execute", __FILE__,
                                      __LINE__);
                lua_settop(L, base);
                LuaInterface::getHost().reportScriptError({}, error.getMessage());
                return;
            }
            lua_settop(L, base);
        }

        void DialogItem_Execute::pushToLua(lua_State* L)
        {
            LuaInterface::push(L, "<function_call>");
        }

        void DialogItem_EndSequence::execute()
        {
            // A skip ends with its sequence: the next turn's lines show.
            skipping = false;
            clearQueue();
            publish();
            if (active)
            {
                continueDialog();
            }
        }

        void DialogItem_EndSequence::pushToLua(lua_State* L)
        {
            LuaInterface::push(L, "__END__");
        }

        hstring getFilename(const hstring& name)
        {
            return "data/chapters/" + Session::getActiveChapterName() + "/dialogs/" + name + ".dlg";
        }

        void start(const hstring& name)
        {
            if (active)
            {
                return;
            }
            LuaInterface::execute(DialogTexts::createTable());
            getGameUiHost().startDialog();
            active = true;
            const hstring path = getFilename(name);
            try
            {
                runInDialog(LuaInterface::loadLuaFile(path), path);
            }
            catch (const quortypes::exception& e)
            {
                // A dialog whose file failed has no turn to take: it would stay active for ever.
                fail(e, false);
                end();
                return;
            }
            continueDialog();
        }

        void addReply(const hstring& text, const hstring& code)
        {
            if (!active)
            {
                throw quortypes::exception(
                    "DialogManager::addReply: unable to add reply, dialog manager isn't active!", sourceName,
                    __LINE__);
            }
            if (queue.size() > 0)
            {
                throw quortypes::exception(
                    "DialogManager::addReply: can't add reply, a sequence has already been set", sourceName,
                    __LINE__);
            }
            replies.push_back(std::make_pair(text, code));
        }

        void chooseReply(int index)
        {
            if (index < 0 || index >= replies.size())
            {
                throw quortypes::exception("DialogManager's reply index out of range", sourceName, __LINE__);
            }
            const hstring code = replies[index].second;
            replies.clear();
            clearQueue();
            publish();
            try
            {
                runInDialog(code);
            }
            catch (const quortypes::exception& e)
            {
                fail(e);
            }
            if (active && replies.size() == 0 && queue.size() == 0)
            {
                continueDialog();
            }
        }

        void sequence(std::vector<std::unique_ptr<DialogItem>> items)
        {
            const char* refusal = nullptr;
            if (!active)
            {
                refusal = "DialogManager::sequence: can't execute sequence, dialog manager isn't active!";
            }
            else if (queue.size() > 0)
            {
                refusal =
                    "DialogManager::sequence: can't execute sequence, another sequence is already running";
            }
            else if (replies.size() > 0)
            {
                refusal = "DialogManager::sequence: can't execute sequence, one or more replies already set";
            }
            if (refusal != nullptr)
            {
                throw quortypes::exception(refusal, sourceName, __LINE__);
            }
            for (std::unique_ptr<DialogItem>& item : items)
            {
                queue.push_back(std::move(item));
            }
            queue.push_back(std::make_unique<DialogItem_EndSequence>());
            publish();
            itemTimer = -0.01f;
            update(0.0f);
        }

        void skip()
        {
            if (queue.size() == 0)
            {
                return;
            }
            itemTimer = -0.01f;
            runFront();
        }

        void skipSequence(int count)
        {
            const quortypes::UnderWay<bool> skippingAll(skipping, true);
            // Only what is queued now: an end item's turn may start the next sequence, which stays.
            int left = (int)queue.size();
            while (queue.size() > 0 && left > 0)
            {
                --left;
                itemTimer = -0.01f;
                runFront();
                if (count > 0)
                {
                    int talks = 0;
                    for (const std::unique_ptr<DialogItem>& item : queue)
                    {
                        talks += (dynamic_cast<DialogItem_Talk*>(item.get()) != nullptr ? 1 : 0);
                    }
                    if (talks <= count - 1)
                    {
                        break;
                    }
                }
            }
        }

        void end()
        {
            if (!active)
            {
                return;
            }
            LuaInterface::execute(DialogTexts::dropTable());
            replies.clear();
            clearQueue();
            publish();
            getGameUiHost().endDialog();
            active = false;
        }

        void update(float timeDelta)
        {
            if (queue.size() == 0)
            {
                return;
            }
            if (itemTimer > 0.0f)
            {
                itemTimer -= timeDelta;
                return;
            }
            runFront();
        }

        bool isActive()
        {
            return active;
        }

        int getNumReplies()
        {
            return replies.size();
        }

        int getNumQueuedItems()
        {
            return (int)queue.size();
        }

        void destroy()
        {
            clearQueue();
            replies.clear();
            active = false;
            skipping = false;
            itemTimer = 0.0f;
        }
    } // namespace DialogManager
} // namespace vumo
