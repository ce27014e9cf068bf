#pragma once

#include <cstdint>
#include <memory>

#include <quortypes/PropertyTable.h>
#include <tesra/Color.h>
#include <tesraui/LifeToken.h>

#include "objects/VumoObject.h"

namespace tesra
{
    class Texture;
}

namespace tesraui
{
    class EventArgs;
}

namespace vumo
{
    class ActionMap;

    // The clickable layer of a scene: a click runs the Lua table named after the colour of the region under
    // the pointer ("_RRGGBB", element 1). Without a map it acts as one rectangle or ellipse of its colour.
    class ActionMapObject : public VumoObject
    {
    public:
        enum Shape
        {
            SHAPE_NONE = 0,
            SHAPE_RECT = 1,
            SHAPE_ELLIPSE = 2
        };

        static const float doubleClickTime;

        ActionMapObject(const hstring& name, kavtypes::Rectangle rect);
        ~ActionMapObject() override;
        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        void notifyEvent(const hstring& type, void* args) override;
        hstring getClassName() const override { return "ActionMap"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        bool isPointInside(kavtypes::Vector2 point) override;
        bool onMouseDown(unsigned int keyCode) override;
        bool onMouseUp(unsigned int keyCode) override;
        bool onMouseCancel(unsigned int keyCode) override;
        void update(float timeDelta) override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        void _draw() override;

        // 0xRRGGBBAA of the region (or shape) under a screen point, or 0.
        uint32_t getRawColorAt(kavtypes::Vector2 point);
        // As getRawColorAt, but while pressed with nothing held only the pressed colour shows.
        uint32_t getColorAt(kavtypes::Vector2 point);
        // The parent's hit test while select mode is on: only points on its action maps' regions count.
        static bool isPointInsideCallback(tesraui::Object* parent, float x, float y);

        // Null without a map, and once the map's chapter has let it go.
        ActionMap* getMap() const { return this->map.get(); }
        void setMap(ActionMap* value);
        // A map was given and has gone with its chapter (a layer outside the chapter that unloaded): the
        // object then reads as a map without regions.
        bool isMapGone() const { return this->mapGiven && this->map.get() == nullptr; }
        const hstring& getEnvironment() const { return this->environment; }
        void setEnvironment(const hstring& value) { this->environment = value; }
        bool isSelectMode() const { return this->selectMode; }
        void setSelectMode(bool value);
        bool isPressed() const { return this->pressed; }
        tesra::Texture* getDebugTexture() const { return this->debugTexture.get(); }
        const kavtypes::Rectangle& getDebugSourceRect() const { return this->debugSourceRect; }

    protected:
        hstring environment;
        // Owned by its chapter, which may unload while the object lives on outside it.
        tesraui::Watched<ActionMap> map;
        bool mapGiven = false;
        // The region colour the object selects (with a map) or reports (without one); apart from the
        // object's drawing colour.
        tesra::Color regionColor{0, 0, 0, 0};
        Shape shape = SHAPE_NONE;
        bool selectMode = false;
        bool pressed = false;
        uint32_t pressedColor = 0;
        uint32_t lastClickedColor = 0;
        float doubleClickTimer = 0.0f;
        std::unique_ptr<tesra::Texture> debugTexture;
        kavtypes::Rectangle debugSourceRect;
        // The map was found too large for the debug display and said so; it is not tried again.
        bool debugTooLarge = false;

        uint32_t getOwnColor() const;
        void releaseParent();
        void deleteDebugTexture();
        // False when no region is painted (no texture then).
        bool createDebugTexture();
        // False, said once in the log, when the map is larger than a texture of the render system can be.
        bool debugMapFits();
        void drawShape(const kavtypes::Rectangle& r);
        void drawMarker(float x, float y);

        static void onAction(tesraui::EventArgs* args);

    private:
        static const PropertyTable<ActionMapObject>& _properties();
        // The names with a region's colour or a point after their ":".
        hstring _getPatternProperty(const hstring& name);
        bool _setPatternProperty(const hstring& name, const hstring& value);
        // "x,y,w,h" of the region of that colour ("RRGGBB"); without a map the whole object.
        hstring _getColorRect(const hstring& wanted);
    };
} // namespace vumo
