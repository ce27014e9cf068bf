#include "MessageBoxes.h"

#include <algorithm>
#include <memory>

#include <lua.hpp>
#include <quortypes/Log.h>
#include <tesra/tesra.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>
#include <tesraui/Label.h>
#include <tesraui/TextImageButton.h>
#include <tesraui/tesraui.h>
#include <fintu/Renderer.h>

#include "EngineObjects.h"
#include "Session.h"
#include "lua/Calls.h"
#include "lua/Events.h"
#include "lua/LuaError.h"
#include "lua/LuaInterface.h"
#include "objects/ObjectDestructor.h"
#include "ui/UI.h"

namespace vumo
{
    const char* const UIMessageBoxManager::refPrefix = "$lua_ref:";
    const char* const UIMessageBoxManager::boxNamePrefix = "vumo_messagebox";

    namespace
    {
        int copyReference(int reference)
        {
            lua_State* L = LuaInterface::state;
            if (L == nullptr)
            {
                return LUA_NOREF;
            }
            lua_rawgeti(L, LUA_REGISTRYINDEX, reference);
            return luaL_ref(L, LUA_REGISTRYINDEX);
        }

        void releaseReference(int reference)
        {
            if (LuaInterface::state != nullptr)
            {
                luaL_unref(LuaInterface::state, LUA_REGISTRYINDEX, reference);
            }
        }

        using EngineObjects::attach;

        // Closes the box of the manager it carries; nothing once that manager is gone (see
        // ~UIMessageBoxManager).
        int luaDismissMessageBox(lua_State* L)
        {
            auto* manager = static_cast<UIMessageBoxManager*>(lua_touserdata(L, lua_upvalueindex(2)));
            if (manager != nullptr)
            {
                manager->cancelActiveMessageBox();
            }
            return 0;
        }
    } // namespace

    UIMessageBoxManager::MessageBox::MessageBox(const hstring& type, const hdict<hstring>& parameters,
                                                const hdict<int>& references)
        : type(type), parameters(parameters), references(references)
    {
        this->priority = this->parameters.tryGet("priority", "0").toInt();
    }

    UIMessageBoxManager::MessageBox::MessageBox(const MessageBox& other)
        : type(other.type), priority(other.priority), parameters(other.parameters)
    {
        for (const auto& pair : other.references)
        {
            this->setReference(pair.first, copyReference(pair.second));
        }
    }

    UIMessageBoxManager::MessageBox::~MessageBox()
    {
        for (const auto& pair : this->references)
        {
            releaseReference(pair.second);
        }
    }

    void UIMessageBoxManager::MessageBox::setReference(const hstring& key, int reference)
    {
        if (this->references.hasKey(key))
        {
            releaseReference(this->references[key]);
        }
        this->references[key] = reference;
        this->parameters[key] = refPrefix + hstring(reference);
    }

    void UIMessageBoxManager::MessageBox::setText(const hstring& key, const hstring& value)
    {
        if (this->references.hasKey(key))
        {
            releaseReference(this->references[key]);
            this->references.removeKey(key);
        }
        this->parameters[key] = value;
    }

    UIMessageBoxManager::~UIMessageBoxManager()
    {
        this->clearRecords();
        this->forgetDismissFunction();
    }

    // The script function outlives the manager in the Lua state: it is told that its manager is gone.
    void UIMessageBoxManager::forgetDismissFunction()
    {
        lua_State* L = LuaInterface::state;
        if (this->dismissFunction == LUA_NOREF || L == nullptr)
        {
            this->dismissFunction = LUA_NOREF;
            return;
        }
        lua_rawgeti(L, LUA_REGISTRYINDEX, this->dismissFunction);
        lua_pushnil(L);
        lua_setupvalue(L, -2, 2);
        lua_pop(L, 1);
        luaL_unref(L, LUA_REGISTRYINDEX, this->dismissFunction);
        this->dismissFunction = LUA_NOREF;
    }

    void UIMessageBoxManager::clearRecords()
    {
        if (shownBox != nullptr)
        {
            destroyMessageBoxObjects(shownBox.get());
            shownBox.reset();
        }
        queue.clear();
    }

    void UIMessageBoxManager::queueMessageBox(const hstring& type, const hdict<hstring>& parameters,
                                              const hdict<int>& references)
    {
        queue.push_back(std::make_unique<MessageBox>(type, parameters, references));
        this->sortQueue();
    }

    void UIMessageBoxManager::sortQueue()
    {
        auto higherFirst = [](const std::unique_ptr<MessageBox>& a, const std::unique_ptr<MessageBox>& b)
        { return a->priority > b->priority; };
        std::stable_sort(this->queue.begin(), this->queue.end(), higherFirst);
        if (this->shownBox == nullptr || this->queue.empty() ||
            this->queue[0]->priority <= this->shownBox->priority)
        {
            return;
        }
        // The shown box goes back into the queue and is built afresh when its turn comes again.
        queue.push_back(std::make_unique<MessageBox>(*shownBox));
        destroyMessageBoxObjects(shownBox.get());
        shownBox.reset();
        std::stable_sort(this->queue.begin(), this->queue.end(), higherFirst);
    }

    void UIMessageBoxManager::update(float)
    {
        if (this->shownBox != nullptr && !this->shownBox->boxLife.isAlive())
        {
            // Only the engine's own frees reach a held box (a tree it was moved into going away): the box
            // counts as closed, so that the run goes on or ends as after a cancel.
            quortypes::Log::warn(Session::logTag, "The shown message box of type '" + this->shownBox->type +
                                                      "' lost its object; it counts as closed.");
            this->cancelActiveMessageBox();
        }
        const int total = this->queue.size() + (this->shownBox != nullptr ? 1 : 0);
        if (this->shownBox != nullptr)
        {
            this->keepOverGame(this->shownBox.get());
            return;
        }
        if (this->queue.empty())
        {
            return;
        }
        if (!Session::isPaused() && Session::isTransitionRunning())
        {
            return;
        }
        if (this->shownCount == 0)
        {
            this->pausedBefore = Session::isPaused();
            if (!this->pausedBefore)
            {
                Session::setPaused(true);
            }
            // The pause's hook may have changed the queue. A run it emptied ends here as any run ends: no
            // box will come to close it.
            if (this->queue.empty())
            {
                this->endRun();
                return;
            }
        }
        std::unique_ptr<MessageBox> box = std::move(queue.front());
        queue.pop_front();
        // Made the shown box only once built, so that a builder's own calls of the queue find it absent.
        try
        {
            createMessageBox(box.get());
        }
        catch (...)
        {
            // A box that cannot be built is dropped; a run with nothing left ends, so the game is not left
            // paused behind nothing.
            destroyMessageBoxObjects(box.get());
            box.reset();
            this->shownCount = this->queue.size() + (this->shownBox != nullptr ? 1 : 0);
            if (this->shownCount == 0)
            {
                this->endRun();
            }
            throw;
        }
        if (this->shownBox != nullptr)
        {
            // A builder that queued and showed another box: this one waits for its turn again.
            queue.push_back(std::move(box));
            sortQueue();
            return;
        }
        shownBox = std::move(box);
        this->shownCount = total;
        // The box alone takes the pointer: nothing of the game or a library's screen lights up under it.
        tesraui::setModalLayer(shownBox->boxObject);
    }

    void UIMessageBoxManager::destroyMessageBoxObjects(MessageBox* box)
    {
        tesraui::ImageBox* object = box->boxObject;
        box->boxObject = nullptr;
        if (object != nullptr && tesraui::getModalLayer() == object)
        {
            tesraui::setModalLayer(nullptr);
        }
        if (object == nullptr || !box->boxLife.isAlive())
        {
            return;
        }
        // Let go: the fading box and its destructor's deletion are nobody's concern but the graveyard's.
        object->setOutsideHolder(nullptr);
        tesraui::Dataset* dataset = object->getDataset();
        if (dataset == nullptr)
        {
            return;
        }
        // A box is let go once: its blocker is always new.
        tesraui::ImageBox* blocker = attach(
            new tesraui::ImageBox(EngineObjects::freeName(dataset, object->getName() + "/click_blocker"),
                                  kavtypes::Rectangle(0.0f, 0.0f, object->getWidth(), object->getHeight())),
            object, dataset);
        blocker->setImageByName("null");
        blocker->setAnchors(true, true, true, true);
        blocker->setZOrder(1000);
        object->fadeAlphaStop();
        object->fadeAlpha(0, 4.0f);
        ObjectDestructor* destructor = attach(
            new ObjectDestructor(EngineObjects::freeName(dataset, tesra::generateName("ObjectDestructor")),
                                 kavtypes::Rectangle()),
            object, dataset);
        destructor->setProperty("delay", "1.0");
    }

    void UIMessageBoxManager::cancelActiveMessageBox()
    {
        const bool shown = (this->shownBox != nullptr);
        if (shown)
        {
            destroyMessageBoxObjects(shownBox.get());
            shownBox.reset();
        }
        this->shownCount = this->queue.size();
        if (shown && this->queue.empty())
        {
            this->endRun();
        }
    }

    void UIMessageBoxManager::endRun()
    {
        // Over before the unpause's hook runs: a box it queues starts a run of its own, which pauses the
        // game again, instead of being shown while the game runs behind it.
        this->shownCount = 0;
        if (!this->pausedBefore)
        {
            Session::setPaused(false);
        }
    }

    void UIMessageBoxManager::clearQueuedMessageBoxes()
    {
        const bool running = (this->shownBox != nullptr || this->shownCount > 0);
        this->clearRecords();
        // A new box starts a new run, which pauses the session again.
        this->shownCount = 0;
        // Without a run going on, a pause is the game's own.
        if (running)
        {
            this->endRun();
        }
    }

    hstring UIMessageBoxManager::getActiveMessageBoxType() const
    {
        return (this->shownBox != nullptr ? this->shownBox->type : hstring("nil"));
    }

    int UIMessageBoxManager::getNumQueuedMessageBoxTypes(const hstring& type) const
    {
        if (type == "")
        {
            return this->queue.size() + (this->shownBox != nullptr ? 1 : 0);
        }
        int count = (this->shownBox != nullptr && this->shownBox->type == type ? 1 : 0);
        for (const std::unique_ptr<MessageBox>& box : queue)
        {
            count += (box->type == type ? 1 : 0);
        }
        return count;
    }

    void UIMessageBoxManager::registerLuaFunctions()
    {
        this->clearRecords();
        this->pausedBefore = false;
        this->shownCount = 0;
        this->forgetDismissFunction();
        lua_State* L = LuaInterface::state;
        lua_pushlightuserdata(L, this);
        LuaInterface::pushFunction(L, luaDismissMessageBox, 1);
        lua_pushvalue(L, -1);
        this->dismissFunction = luaL_ref(L, LUA_REGISTRYINDEX);
        tesrauilua::assignGlobalPath(L, "ui.__dismissMessageBox");
    }
} // namespace vumo
