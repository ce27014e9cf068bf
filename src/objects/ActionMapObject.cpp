#include "objects/ActionMapObject.h"

#include <cstdlib>

#include <quortypes/Log.h>
#include <quortypes/util.h>
#include <tesra/Texture.h>
#include <tesraui/EventArgs.h>
#include <tesraui/tesraui.h>

#include "ActionMap.h"
#include "Chapter.h"
#include "Scene.h"
#include "Session.h"
#include "lua/Calls.h"
#include "lua/LuaInterface.h"
#include "GameUiHost.h"
#include "ScriptTexts.h"
#include "lua/Host.h"

namespace vumo
{
    const float ActionMapObject::doubleClickTime = 0.5f;

    namespace
    {
        hstring heldItem()
        {
            return getGameUiHost().getSelectedItem();
        }

        // Names "0" and "false" stand for nothing held, as the scripts write them.
        bool isItemHeld(const hstring& item)
        {
            return item != "" && item != "0" && item.lowered() != "false";
        }

        hstring hex6(uint32_t rgb)
        {
            return formatString("%06X", rgb);
        }

        // "x,y" after the property's ":"; false when it is not two numbers.
        bool parsePoint(const hstring& text, kavtypes::Vector2& point)
        {
            harray<hstring> parts = text.split(',');
            if (parts.size() != 2)
            {
                return false;
            }
            point.set((float)atof(parts[0].c_str()), (float)atof(parts[1].c_str()));
            return true;
        }

        // What a map gone with its chapter has.
        const harray<ActionMapRegion>& noRegions()
        {
            static const harray<ActionMapRegion> none;
            return none;
        }

        // Scales a local coordinate into map pixels, truncated toward zero; false when it leaves the int
        // range.
        bool toMapPixel(float local, int mapSize, float objectSize, int& out)
        {
            const double value = (double)local * mapSize / objectSize;
            if (!(value > -2147483647.0 && value < 2147483647.0))
            {
                return false;
            }
            out = (int)value;
            return true;
        }
    } // namespace

    ActionMapObject::ActionMapObject(const hstring& name, kavtypes::Rectangle rect) : VumoObject(name, rect)
    {
        this->registerEvent("Action", &ActionMapObject::onAction);
    }

    ActionMapObject::~ActionMapObject()
    {
        this->releaseParent();
    }

    // A layer in select mode leaves its parent's hit test as it found it, whether it is deleted directly or
    // detached by its dataset first.
    void ActionMapObject::deleteDebugTexture()
    {
        this->debugTexture.reset();
    }

    void ActionMapObject::releaseParent()
    {
        if (this->selectMode && this->parent != nullptr &&
            this->parent->getHitTestCallback() == &ActionMapObject::isPointInsideCallback)
        {
            this->parent->setHitTestCallback(nullptr);
        }
    }

    void ActionMapObject::notifyEvent(const hstring& type, void* args)
    {
        if (type == "DetachFromObject")
        {
            this->releaseParent();
        }
        VumoObject::notifyEvent(type, args);
    }

    void ActionMapObject::setMap(ActionMap* value)
    {
        this->map = tesraui::Watched<ActionMap>(value);
        this->mapGiven = (value != nullptr);
        this->debugTooLarge = false;
    }

    tesraui::Object* ActionMapObject::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new ActionMapObject(name, rect);
    }

    uint32_t ActionMapObject::getOwnColor() const
    {
        return this->regionColor.toUInt();
    }

    uint32_t ActionMapObject::getRawColorAt(kavtypes::Vector2 point)
    {
        const kavtypes::Vector2 local = this->transformToLocalSpace(point, nullptr);
        const float w = this->rect.w;
        const float h = this->rect.h;
        if (this->mapGiven)
        {
            ActionMap* map = this->map.get();
            // A collapsed object covers no map pixel, and a map gone with its chapter has no regions.
            if (map == nullptr || w == 0.0f || h == 0.0f)
            {
                return 0;
            }
            int x = 0;
            int y = 0;
            if (!toMapPixel(local.x, map->getWidth(), w, x) || !toMapPixel(local.y, map->getHeight(), h, y))
            {
                return 0;
            }
            return map->getColorAt(x, y);
        }
        switch (this->shape)
        {
        case SHAPE_RECT:
            return (local.x >= 0.0f && local.x < w && local.y >= 0.0f && local.y < h ? this->getOwnColor()
                                                                                     : 0);
        case SHAPE_ELLIPSE:
        {
            const float nx = local.x / w - 0.5f;
            const float ny = local.y / h - 0.5f;
            return (nx * nx + ny * ny < 0.25f ? this->getOwnColor() : 0);
        }
        default:
            return 0;
        }
    }

    uint32_t ActionMapObject::getColorAt(kavtypes::Vector2 point)
    {
        const uint32_t color = this->getRawColorAt(point);
        if (this->pressed && heldItem() == "" && color != this->pressedColor)
        {
            return 0;
        }
        return color;
    }

    bool ActionMapObject::isPointInside(kavtypes::Vector2 point)
    {
        return VumoObject::isPointInside(point) && this->getRawColorAt(point) != 0;
    }

    bool ActionMapObject::isPointInsideCallback(tesraui::Object* parent, float x, float y)
    {
        const kavtypes::Vector2 point(x, y);
        bool found = false;
        for (tesraui::Object* child : parent->getChildren())
        {
            ActionMapObject* layer = dynamic_cast<ActionMapObject*>(child);
            if (layer == nullptr)
            {
                continue;
            }
            found = true;
            if (!layer->isPointInside(point))
            {
                continue;
            }
            const uint32_t color = layer->getRawColorAt(point);
            const uint32_t own = layer->getOwnColor();
            if (own != 0 ? color == own : color != 0)
            {
                return true;
            }
        }
        if (found)
        {
            return false;
        }
        quortypes::Log::warn(
            Session::logTag,
            "ActionMapObject::isPointInsideCallback - no ActionMapObject found in children of object '" +
                parent->getName() + "'");
        const kavtypes::Vector2 local = parent->transformToLocalSpace(point, nullptr);
        return local.x >= 0.0f && local.x < parent->getWidth() && local.y >= 0.0f &&
               local.y < parent->getHeight();
    }

    bool ActionMapObject::onMouseDown(unsigned int keyCode)
    {
        if (VumoObject::onMouseDown(keyCode))
        {
            return true;
        }
        const kavtypes::Vector2 cursor = tesraui::getCursorPosition();
        if (VumoObject::isPointInside(cursor))
        {
            const uint32_t color = this->getRawColorAt(cursor);
            if (color == 0)
            {
                return false;
            }
            this->pressed = true;
            this->pressedColor = color;
            return true;
        }
        this->pressed = false;
        this->pressedColor = 0;
        return false;
    }

    bool ActionMapObject::onMouseCancel(unsigned int keyCode)
    {
        VumoObject::onMouseCancel(keyCode);
        this->pressed = false;
        this->pressedColor = 0;
        return true;
    }

    bool ActionMapObject::onMouseUp(unsigned int keyCode)
    {
        if (VumoObject::onMouseUp(keyCode))
        {
            return true;
        }
        const kavtypes::Vector2 cursor = tesraui::getCursorPosition();
        if (!VumoObject::isPointInside(cursor))
        {
            this->pressed = false;
            this->pressedColor = 0;
            return false;
        }
        const uint32_t color = this->getRawColorAt(cursor);
        if (color == 0)
        {
            return false;
        }
        const hstring item = heldItem();
        // A press on one region and a release on another is no click, unless an item is being dropped.
        if (color != this->pressedColor && item == "")
        {
            return true;
        }
        this->pressed = false;
        this->pressedColor = 0;
        const uint32_t rgb = color >> 8;
        const hstring table = "_" + hex6(rgb);
        const hstring doubleClickEvent = "DoubleClick" + table;
        const bool doubleClick = (rgb == this->lastClickedColor && this->doubleClickTimer > 0.0f &&
                                  this->events.hasKey(doubleClickEvent));
        this->lastClickedColor = rgb;
        this->doubleClickTimer = doubleClickTime;
        if (isItemHeld(item))
        {
            this->triggerEvent("Action", 0u, ObjectTexts::actionWithItem(table, item));
        }
        else if (doubleClick)
        {
            this->triggerEvent(doubleClickEvent, 0u, "");
            this->doubleClickTimer = 0.0f;
        }
        else
        {
            this->triggerEvent("Action", 0u, ObjectTexts::action(table));
        }
        return true;
    }

    void ActionMapObject::onAction(tesraui::EventArgs* args)
    {
        ActionMapObject* object = dynamic_cast<ActionMapObject*>(args->object);
        const hstring environment = (object != nullptr ? object->environment : hstring());
        const hstring code = args->extra;
        // The region's function may delete this object, its scene or its chapter: nothing of them is
        // touched after the call.
        try
        {
            Scene* scene = Session::getActiveScene();
            if (environment != "")
            {
                LuaInterface::execute(code, environment);
            }
            else if (scene != nullptr)
            {
                LuaInterface::execute(code, scene->getFullName(), scene->getChunkName());
            }
            else
            {
                LuaInterface::execute(code);
            }
        }
        catch (const quortypes::exception& e)
        {
            LuaInterface::getHost().reportScriptError(
                {"scripting error: ",
                 "Error while executing ActionMap action in namespace '" + environment + "':\n\n"},
                e.getMessage());
        }
    }

    void ActionMapObject::update(float timeDelta)
    {
        VumoObject::update(timeDelta);
        this->doubleClickTimer -= timeDelta;
        if (this->doubleClickTimer < 0.0f)
        {
            this->doubleClickTimer = 0.0f;
        }
    }

    void ActionMapObject::setSelectMode(bool value)
    {
        this->selectMode = value;
        this->setClickThrough(value);
        if (this->parent != nullptr)
        {
            this->parent->setHitTestCallback(value ? &ActionMapObject::isPointInsideCallback : nullptr);
        }
    }

    // The region colour as the regions' names write it.
    static hstring colorText(const tesra::Color& color)
    {
        return formatString("%02X%02X%02X", color.r, color.g, color.b);
    }

    const PropertyTable<ActionMapObject>& ActionMapObject::_properties()
    {
        using Map = ActionMapObject;
        static const PropertyTable<Map> table = {
            // Listed for the tools; read (and "center:" also set) through the patterns, with a colour or a
            // point
            // after the ":".
            {"color:%", PropertyInfo::STRING, nullptr},
            {"raw_color:%", PropertyInfo::STRING, nullptr},
            {"color_rect:%", PropertyInfo::STRING, nullptr},
            {"center:%", PropertyInfo::STRING, nullptr},
            {"color_rect", PropertyInfo::STRING,
             [](Map& object) { return object._getColorRect(colorText(object.regionColor)); }},
            {"environment", PropertyInfo::STRING, [](Map& object) { return object.environment; },
             [](Map& object, const hstring& value) { object.environment = value; }},
            {"colors", PropertyInfo::STRING,
             [](Map& object)
             {
                 if (!object.mapGiven)
                 {
                     return colorText(object.regionColor);
                 }
                 hstring joined;
                 ActionMap* map = object.getMap();
                 if (map == nullptr)
                 {
                     return joined;
                 }
                 for (const ActionMapRegion& region : map->getRegions())
                 {
                     joined += (joined.size() > 0 ? "," : "") + hex6(region.color >> 8);
                 }
                 return joined;
             }},
            {"file", PropertyInfo::STRING,
             [](Map& object) { return object.getMap() != nullptr ? object.getMap()->getName() : hstring(); },
             [](Map& object, const hstring& value)
             {
                 if (value == "")
                 {
                     object.setMap(nullptr);
                 }
                 else
                 {
                     Chapter* chapter = Chapter::fromDataset(object.dataset);
                     if (chapter == nullptr)
                     {
                         throw quortypes::exception("Unable to set action map '" + value + "' on object '" +
                                                        object.name + "': the object belongs to no chapter",
                                                    __FILE__, __LINE__);
                     }
                     object.setMap(chapter->getActionMap(value));
                 }
                 object.debugTooLarge = false;
                 object.deleteDebugTexture();
             }},
            {"shape", PropertyInfo::STRING,
             [](Map& object)
             {
                 switch (object.shape)
                 {
                 case SHAPE_NONE:
                     return hstring("none");
                 case SHAPE_RECT:
                     return hstring("rect");
                 case SHAPE_ELLIPSE:
                     return hstring("ellipse");
                 }
                 return formatString("unknown(%d)", (int)object.shape);
             },
             [](Map& object, const hstring& value)
             {
                 if (value == "none")
                 {
                     object.shape = SHAPE_NONE;
                 }
                 else if (value == "rect")
                 {
                     object.shape = SHAPE_RECT;
                 }
                 else if (value == "ellipse")
                 {
                     object.shape = SHAPE_ELLIPSE;
                 }
                 else
                 {
                     throw quortypes::exception("Unknown ActionMapObject shape: " + value,
                                                "objects/ObjectActionMap", 390);
                 }
                 object.deleteDebugTexture();
             }},
            {"color", PropertyInfo::STRING, [](Map& object) { return colorText(object.regionColor); },
             [](Map& object, const hstring& value)
             {
                 object.regionColor = tesra::Color(value);
                 object.deleteDebugTexture();
             }},
            {"select_mode", PropertyInfo::BOOL,
             [](Map& object) { return hstring(object.selectMode ? "1" : "0"); },
             [](Map& object, const hstring& value)
             {
                 object.setSelectMode(value == "1");
                 object.deleteDebugTexture();
             }},
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_OWN_FIRST(ActionMapObject, VumoObject, _properties)

    hstring ActionMapObject::getProperty(const hstring& name)
    {
        return _properties().get(*this, name, [&] { return _getPatternProperty(name); });
    }

    bool ActionMapObject::setProperty(const hstring& name, const hstring& value)
    {
        return _properties().set(*this, name, value, [&] { return _setPatternProperty(name, value); });
    }

    hstring ActionMapObject::_getColorRect(const hstring& wanted)
    {
        if (!mapGiven)
        {
            return formatString("0,0,%d,%d", quortypes::truncateToInt(rect.w),
                                quortypes::truncateToInt(rect.h));
        }
        ActionMap* map = getMap();
        if (map == nullptr)
        {
            return "0,0,0,0";
        }
        for (const ActionMapRegion& region : map->getRegions())
        {
            if (hex6(region.color >> 8) == wanted)
            {
                return formatString("%d,%d,%d,%d", region.left, region.top, region.right - region.left,
                                    region.bottom - region.top);
            }
        }
        return "0,0,0,0";
    }

    hstring ActionMapObject::_getPatternProperty(const hstring& name)
    {
        if (name.startsWith("center:"))
        {
            if (!mapGiven)
            {
                return formatString("%d,%d", quortypes::truncateToInt(center.x),
                                    quortypes::truncateToInt(center.y));
            }
            const hstring wanted = name.subString(7);
            ActionMap* map = getMap();
            for (const ActionMapRegion& region : map != nullptr ? map->getRegions() : noRegions())
            {
                if (hex6(region.color >> 8) == wanted)
                {
                    return formatString("%d,%d", region.centerX, region.centerY);
                }
            }
            return VumoObject::getProperty(name);
        }
        if (name.startsWith("color_rect:"))
        {
            return _getColorRect(name.subString(11));
        }
        const bool raw = name.startsWith("raw_color:");
        if (raw || name.startsWith("color:"))
        {
            kavtypes::Vector2 point;
            if (!parsePoint(name.subString(raw ? 10 : 6), point))
            {
                return "00000000";
            }
            return formatString("%08X", raw ? getRawColorAt(point) : getColorAt(point));
        }
        return VumoObject::getProperty(name);
    }

    bool ActionMapObject::_setPatternProperty(const hstring& name, const hstring& value)
    {
        if (!name.startsWith("center:"))
        {
            return VumoObject::setProperty(name, value);
        }
        harray<hstring> parts = value.split(',');
        if (parts.size() != 2)
        {
            throw quortypes::exception("Error while setting action map object center property, expecting "
                                       "value in format 'X,Y', got: " +
                                           value,
                                       "objects/ObjectActionMap", 407);
        }
        if (!mapGiven)
        {
            setCenter((float)atof(parts[0].c_str()), (float)atof(parts[1].c_str()));
        }
        else if (ActionMap* map = getMap())
        {
            map->setRegionCenter(tesra::Color(name.subString(7)).toUInt(), atoi(parts[0].c_str()),
                                 atoi(parts[1].c_str()));
        }
        return true;
    }
} // namespace vumo
