#pragma once

#include <quortypes/PropertyTable.h>
#include <tesra/Vertex.h>

#include "PausableObject.h"

namespace vumo
{
    // The viewport the scenes are drawn into. Keeps pointer input from the scenes while the scene is locked
    // or a transition runs. Its rectangle is in fractions of the object, kept inside it.
    class VumoViewportObject : public PausableObject
    {
    public:
        VumoViewportObject(const hstring& name, kavtypes::Rectangle rect);
        ~VumoViewportObject() override = default;
        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);
        hstring getClassName() const override { return "VumoViewportObject"; }

        harray<PropertyInfo> getPropertyDescriptions() const override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        bool onMouseDown(unsigned int keyCode) override;
        bool onMouseUp(unsigned int keyCode) override;
        bool onMouseMove() override;
        void update(float timeDelta) override;

        const kavtypes::Rectangle& getViewportRect() const { return this->viewport; }
        void setViewportRect(float x, float y, float w, float h);
        tesraui::Object* getDebugObject() const { return this->debugObject; }

    protected:
        kavtypes::Rectangle viewport;
        bool debug = false;
        tesraui::Object* debugObject = nullptr;

        void clampViewport();
        bool isInputBlocked() const;

    private:
        static const PropertyTable<VumoViewportObject>& _properties();
    };

    // Shades what lies outside the viewport rectangle and marks its edges; a developer aid.
    class ViewportDebugObject : public tesraui::Object
    {
    public:
        ViewportDebugObject(const hstring& name, kavtypes::Rectangle rect, VumoViewportObject* viewport);
        hstring getClassName() const override { return "ViewportDebugObject"; }
        void _drawDebug() override;

    protected:
        VumoViewportObject* viewport;
        tesra::ColoredVertex vertices[2048];
        int vertexCount = 0;
        void addQuad(const kavtypes::Rectangle& rect, unsigned int color);
    };
} // namespace vumo
