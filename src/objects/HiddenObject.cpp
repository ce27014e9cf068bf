#include "objects/HiddenObject.h"

#include <memory>

#include <quortypes/Log.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>
#include <tesraui/Image.h>
#include <tesraui/tesraui.h>

#include "DebugNames.h"
#include "GameUiHost.h"
#include "ScriptTexts.h"
#include "Scene.h"
#include "Session.h"
#include "Variables.h"
#include "lua/Calls.h"

namespace vumo
{
    namespace
    {
        float hitFactor = 1.0f;

        // Queues a text for the frame's queued scripts when its turn in the dataset's events comes.
        class QueuedText : public tesraui::Event
        {
        public:
            explicit QueuedText(const hstring& code) : code(code) {}
            void execute(tesraui::EventArgs*) override { Session::queueScript(this->code, true); }

        private:
            hstring code;
        };
    } // namespace

    HiddenObject::HiddenObject(const hstring& name, kavtypes::Rectangle rect)
        : tesraui::ImageBox(name, rect), item(name)
    {
        this->registerEvent("_ItemUseFail", &HiddenObject::onItemUseFail);
    }

    tesraui::Object* HiddenObject::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        // Made in the middle of a dataset's load: the idiom known now, without running the game's override.
        const int idiom = getGameUiHost().getKnownUIIdiom();
        if (idiom == GameUiHost::IDIOM_TABLET)
        {
            hitFactor = 1.5f;
        }
        else if (idiom == GameUiHost::IDIOM_MOBILE)
        {
            hitFactor = 2.0f;
        }
        return new HiddenObject(name, rect);
    }

    float HiddenObject::getHitFactor()
    {
        return hitFactor;
    }

    void HiddenObject::setHitFactor(float value)
    {
        hitFactor = value;
    }

    void HiddenObject::onItemUseFail(tesraui::EventArgs* args)
    {
        getGameUiHost().OnUseItemFail(args->extra);
    }

    void HiddenObject::notifyEvent(const hstring& type, void* args)
    {
        if (type == "AttachToObject")
        {
            DebugNames::registerItem(this->item);
        }
        tesraui::ImageBox::notifyEvent(type, args);
    }

    const PropertyTable<HiddenObject>& HiddenObject::_properties()
    {
        static const PropertyTable<HiddenObject> table = {
            {"item", PropertyInfo::STRING, [](HiddenObject& object) { return object.item; },
             [](HiddenObject& object, const hstring& value) { object.item = value; }},
            {"var", PropertyInfo::STRING, [](HiddenObject& object) { return object.var; },
             [](HiddenObject& object, const hstring& value) { object.var = value; }},
            {"value", PropertyInfo::STRING, [](HiddenObject& object) { return object.value; },
             [](HiddenObject& object, const hstring& value) { object.value = value; }},
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_OWN_FIRST(HiddenObject, tesraui::ImageBox, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(HiddenObject, tesraui::ImageBox, _properties)

    bool HiddenObject::isPointInsideScaled(kavtypes::Vector2 point)
    {
        if (hitFactor == 1.0f)
        {
            return tesraui::Object::isPointInside(point);
        }
        const kavtypes::Vector2 scale = this->scaleFactor;
        this->scaleFactor = scale * hitFactor;
        const bool inside = tesraui::Object::isPointInside(point);
        this->scaleFactor = scale;
        return inside;
    }

    bool HiddenObject::isPointInside(kavtypes::Vector2 point)
    {
        // A press that began elsewhere and is dragged over the object does not light it up.
        if (getGameUiHost().isPointerDown() && !this->pressed)
        {
            return false;
        }
        return this->isPointInsideScaled(point);
    }

    // The image box would take every press inside it for its own "MouseDown"; only the children come first.
    bool HiddenObject::onMouseDown(unsigned int keyCode)
    {
        if (tesraui::Object::onMouseDown(keyCode))
        {
            return true;
        }
        if (keyCode == 1 && this->isPointInsideScaled(tesraui::getCursorPosition()))
        {
            this->pressed = true;
            return true;
        }
        this->pressed = false;
        return false;
    }

    bool HiddenObject::onMouseUp(unsigned int keyCode)
    {
        if (tesraui::Object::onMouseUp(keyCode))
        {
            return true;
        }
        if (!this->pressed)
        {
            return false;
        }
        this->pressed = false;
        if (keyCode != 1 || !this->isPointInsideScaled(tesraui::getCursorPosition()))
        {
            return false;
        }
        GameUiInventory& host = getGameUiHost();
        const hstring held = host.getSelectedItem();
        if (held != "")
        {
            host.selectItem("");
            this->triggerEvent("_ItemUseFail", 0u, held);
            return true;
        }
        this->found();
        return true;
    }

    void HiddenObject::found()
    {
        if (this->var == "")
        {
            quortypes::Log::warn(Session::logTag, "HiddenObject '" + quortypes::Log::quote(this->name) +
                                                      "' has no variable to set (its \"var\" is empty)");
        }
        else
        {
            VariableDictionary& variables = VariableDictionary::getGlobal();
            if (!variables.exists(this->var))
            {
                // Made as before, so that the find still counts; a script reading it would otherwise only
                // learn of the misspelt name from a variable that is never set.
                quortypes::Log::warn(Session::logTag, "HiddenObject '" + quortypes::Log::quote(this->name) +
                                                          "' sets the variable '" +
                                                          quortypes::Log::quote(this->var) +
                                                          "', which was never declared: declare it with the "
                                                          "game's variables");
            }
            Variable& variable = variables[this->var];
            if (variable.value() == this->value)
            {
                return;
            }
            variable.set(this->value);
        }
        this->triggerEventInTurn("Found", 0u, "");
        Scene* scene = Session::getActiveScene();
        if (scene == nullptr)
        {
            return;
        }
        const hstring reset = ObjectTexts::queuedSceneReset(scene->getFullName());
        if (this->dataset == nullptr)
        {
            Session::queueScript(reset, true);
            return;
        }
        // The reset follows the "Found" it comes with, which waits for room when the queue is full; it names
        // no object, so that a handler destroying the found object leaves it queued.
        this->dataset->queueEventInTurn(std::make_shared<QueuedText>(reset),
                                        std::make_unique<tesraui::EventArgs>(nullptr, 0.0f, 0.0f, 0u, ""));
    }

    void HiddenObject::_draw()
    {
        if (this->image == nullptr)
        {
            if (this->dataset == nullptr)
            {
                return;
            }
            this->image = this->dataset->getImage("null");
        }
        tesra::Color color = this->getDerivedColor();
        if (!this->isDerivedEnabled())
        {
            color.a /= 2;
        }
        const kavtypes::Rectangle drawRect = this->getDrawRect();
        if (tesraui::isDebugEnabled())
        {
            // The drawing rectangle is placed about the object's centre, so scaling it scales about the
            // centre.
            const kavtypes::Rectangle hitArea(drawRect.x * hitFactor, drawRect.y * hitFactor,
                                              drawRect.w * hitFactor, drawRect.h * hitFactor);
            tesra::rendersys->drawFilledRect(hitArea, tesra::Color(0, 164, 128, 96));
            tesra::rendersys->drawRect(hitArea, tesra::Color(255, 255, 255, 96));
        }
        this->image->draw(drawRect, color);
    }
} // namespace vumo
