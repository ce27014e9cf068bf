#include "MessageBoxes.h"

// A box's objects, made by the game's builder or as the plain box, and kept over the game while shown.

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
    namespace
    {
        using EngineObjects::attachPart;

        const char* const dismissCall = "ui.__dismissMessageBox()";
        const char* const builderName = "createMessageBox";
        // Over the game's own objects, under the error overlay and the debug tools.
        const int boxZOrder = 1000;
        // While the manager counts a box as shown, its object and the plain layout's parts are the engine's:
        // a script that destroyed them would leave the game paused behind nothing to close.
        const char* const boxHolder = "the UI's message boxes";

        bool hasButton(const hdict<hstring>& parameters)
        {
            for (const auto& pair : parameters)
            {
                if (pair.first.endsWith("_button"))
                {
                    return true;
                }
            }
            return false;
        }
    } // namespace

    UI* UIMessageBoxManager::ownUI()
    {
        // Only UI derives from this class (its constructor is UI's alone).
        return static_cast<UI*>(this);
    }

    void UIMessageBoxManager::createMessageBox(MessageBox* box)
    {
        UI* ui = this->ownUI();
        tesraui::Container* root = ui->getRootObject();
        tesraui::Dataset* dataset = ui->getDataset();
        if (root == nullptr || dataset == nullptr)
        {
            throw quortypes::exception("Unable to show a message box, the UI is not initialised.", __FILE__,
                                       __LINE__);
        }
        tesraui::ImageBox* object = new tesraui::ImageBox(
            EngineObjects::freeName(dataset, tesra::generateName(boxNamePrefix)), root->getRect());
        dataset->registerObjects(object);
        object->setOutsideHolder(boxHolder);
        object->setAnchors(true, true, true, true);
        object->setImageByName("0x0000003F");
        object->setZOrder(ui->zOrderOverGame(boxZOrder));
        box->boxObject = object;
        box->boxLife = object->watchLife();
        if (!box->parameters.hasKey("text"))
        {
            box->setText("text", "{%s} {ERROR: MessageBox text not defined!}");
        }
        if (!hasButton(box->parameters))
        {
            box->setText("ok_button", "");
        }
        if (LuaInterface::isHook("ui." + hstring(builderName)))
        {
            this->createScriptedMessageBox(box);
        }
        else
        {
            this->createDefaultMessageBox(box);
        }
        this->assignButtonEvents(object);
        object->setAlpha(1);
        object->fadeAlpha(255, 4.0f);
        root->addChild(object);
    }

    void UIMessageBoxManager::createScriptedMessageBox(MessageBox* box)
    {
        lua_State* L = LuaInterface::state;
        tesraui::ImageBox* object = box->boxObject;
        const int base = lua_gettop(L);
        const int handler = LuaInterface::pushMessageHandler(L);
        // Read as its lookup read it, protected: a metamethod of ui or of the globals is a script, whose
        // error must not reach the panic handler with the box half made. One that fails now leaves nothing
        // to call, which fails as the builder's own error would.
        try
        {
            LuaInterface::pushGlobal(L, "ui." + hstring(builderName));
            lua_remove(L, -2);
        }
        catch (const quortypes::exception&)
        {
            lua_pushnil(L);
        }
        LuaInterface::pushObject(L, object);
        lua_newtable(L);
        for (const auto& pair : box->parameters)
        {
            LuaInterface::push(L, pair.first);
            if (box->isReference(pair.first))
            {
                lua_rawgeti(L, LUA_REGISTRYINDEX, box->references[pair.first]);
            }
            else
            {
                LuaInterface::push(L, pair.second);
            }
            lua_settable(L, -3);
        }
        const bool failed = (lua_pcall(L, 2, 0, handler) != 0);
        if (failed)
        {
            const _LuaError error(LuaInterface::getErrorString(L, -1),
                                  "MessageBox: callback = ui." + hstring(builderName) +
                                      ", params = " + formatParams(*box),
                                  __FILE__, __LINE__);
            lua_settop(L, base);
            this->ownUI()->showErrorOverlay(error.getMessage());
            if (box->boxLife.isAlive())
            {
                // Whatever the builder made before it failed may lack a way out: the default layout replaces
                // it.
                object->destroyChildren();
            }
        }
        lua_settop(L, base);
        if (!box->boxLife.isAlive())
        {
            box->boxObject = nullptr;
            throw quortypes::exception("MessageBox: ui." + hstring(builderName) +
                                           " destroyed the box it was given.",
                                       __FILE__, __LINE__);
        }
        if (object->getChildren().size() > 0)
        {
            return;
        }
        const hstring params = formatParams(*box);
        box->setText("ok_button", "");
        box->setText("text", "{%s} {ERROR: Unable to create Message Box!\n" + hstring(builderName) +
                                 "() exists but it didn't create any objects.\n\nParams:\n" + params + "}");
        this->createDefaultMessageBox(box);
    }

    void UIMessageBoxManager::createDefaultMessageBox(MessageBox* box)
    {
        tesraui::ImageBox* object = box->boxObject;
        tesraui::Dataset* dataset = object->getDataset();
        const kavtypes::Rectangle r = this->ownUI()->getRootObject()->getRect();
        const hstring text = box->parameters.tryGet("text", "{%s} {ERROR: Message text not found!}");
        const hstring name = object->getName();
        tesraui::ImageBox* background = attachPart(
            new tesraui::ImageBox(EngineObjects::freeName(dataset, name + "/wnd_bg"),
                                  kavtypes::Rectangle(r.x + r.w / 4, r.y + r.h / 4, r.w / 2, r.h / 2)),
            object, dataset);
        background->setImageByName("0xFFFFFF");
        const float m = (background->getWidth() + background->getHeight()) * 0.5f;
        tesraui::ImageBox* window =
            attachPart(new tesraui::ImageBox(EngineObjects::freeName(dataset, name + "/wnd"),
                                             kavtypes::Rectangle(0.01f * m, 0.01f * m,
                                                                 background->getWidth() - 0.02f * m,
                                                                 background->getHeight() - 0.02f * m)),
                       background, dataset);
        window->setImageByName("0x000000");
        tesraui::Label* label = attachPart(
            new tesraui::Label(EngineObjects::freeName(dataset, name + "/label"),
                               kavtypes::Rectangle(0.02f * m, 0.02f * m, window->getWidth() - 0.04f * m,
                                                   window->getHeight() - 0.2f * m)),
            window, dataset);
        label->setHorzFormatting(fintu::CENTER_WRAPPED);
        label->setTextKey(text);
        harray<hstring> buttons;
        for (const auto& pair : box->parameters)
        {
            if (pair.first.endsWith("_button"))
            {
                buttons.push_back(pair.first);
            }
        }
        const kavtypes::Rectangle labelRect = label->getRect();
        const float slot = labelRect.w / (float)std::max(1, (int)buttons.size());
        for (int i = 0; i < (int)buttons.size(); ++i)
        {
            const hstring& key = buttons[i];
            tesraui::TextImageButton* button = attachPart(
                new tesraui::TextImageButton(
                    EngineObjects::freeName(dataset, tesra::generateName("msgbox_" + key)),
                    kavtypes::Rectangle(labelRect.x + i * slot + 0.05f * slot,
                                        labelRect.y + labelRect.h + 0.03f * m, 0.9f * slot, 0.12f * m)),
                window, dataset);
            button->setText(key.subString(0, (int)key.size() - 7));
            button->setImageByName("0xFFFFFF3F");
            std::shared_ptr<tesraui::Event> event;
            lua_State* L = LuaInterface::state;
            if (box->isReference(key) && L != nullptr)
            {
                lua_rawgeti(L, LUA_REGISTRYINDEX, box->references[key]);
                if (lua_isfunction(L, -1))
                {
                    event = LuaInterface::makeFunctionEvent(L, lua_gettop(L));
                }
                else
                {
                    lua_pop(L, 1);
                    event = std::make_shared<LuaInterface::LuaCallbackEvent>("", nullptr);
                }
            }
            else
            {
                event = std::make_shared<LuaInterface::LuaCallbackEvent>(box->parameters[key], nullptr);
            }
            button->registerEvent("Click", std::move(event));
        }
    }

    void UIMessageBoxManager::assignButtonEvents(tesraui::Object* object)
    {
        const std::shared_ptr<tesraui::Event> event = object->getEvents().tryGet("Click", nullptr);
        if (auto* code = dynamic_cast<LuaInterface::LuaCallbackEvent*>(event.get()))
        {
            code->code = hstring(dismissCall) + "; " + code->code;
        }
        else if (auto* function = dynamic_cast<LuaInterface::LuaFunctionCallbackEvent*>(event.get()))
        {
            function->preCode = dismissCall;
        }
        for (tesraui::Object* child : object->getChildren())
        {
            this->assignButtonEvents(child);
        }
    }

    void UIMessageBoxManager::keepOverGame(MessageBox* box)
    {
        // A screen put up after the box, or one that came up with a higher z-order, would take its input.
        UI* ui = this->ownUI();
        if (box->boxObject == nullptr || !box->boxLife.isAlive())
        {
            return;
        }
        ui->raiseOverGame(box->boxObject, boxZOrder);
    }

    hstring UIMessageBoxManager::formatParams(const MessageBox& box)
    {
        harray<hstring> entries;
        lua_State* L = LuaInterface::state;
        for (const auto& pair : box.parameters)
        {
            if (box.isReference(pair.first) && L != nullptr)
            {
                lua_rawgeti(L, LUA_REGISTRYINDEX, box.references.tryGet(pair.first, LUA_NOREF));
                entries.push_back(pair.first + ": <" + lua_typename(L, lua_type(L, -1)) + ">");
                lua_pop(L, 1);
            }
            else
            {
                entries.push_back(pair.first + ": " + pair.second);
            }
        }
        return entries.joined(", ");
    }
} // namespace vumo
