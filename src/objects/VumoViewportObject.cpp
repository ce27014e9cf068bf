#include "VumoViewportObject.h"

#include <algorithm>

#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Dataset.h>
#include <tesraui/tesraui.h>

#include "EngineObjects.h"
#include "Session.h"
#include "GameUiHost.h"

namespace vumo
{
    namespace
    {
        unsigned int packColor(unsigned char r, unsigned char g, unsigned char b, unsigned char a)
        {
            // The render system reads a vertex colour as the number 0xRRGGBBAA.
            return ((unsigned int)r << 24) | ((unsigned int)g << 16) | ((unsigned int)b << 8) |
                   (unsigned int)a;
        }
    } // namespace

    VumoViewportObject::VumoViewportObject(const hstring& name, kavtypes::Rectangle rect)
        : PausableObject(name, rect), viewport(0.0f, 0.0f, 1.0f, 1.0f)
    {
    }

    tesraui::Object* VumoViewportObject::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new VumoViewportObject(name, rect);
    }

    const PropertyTable<VumoViewportObject>& VumoViewportObject::_properties()
    {
        using Viewport = VumoViewportObject;
        static const PropertyTable<Viewport> table = {
            {"viewport_x", PropertyInfo::FLOAT, [](Viewport& object) { return hstring(object.viewport.x); },
             [](Viewport& object, const hstring& value)
             {
                 const kavtypes::Rectangle& v = object.viewport;
                 object.setViewportRect(value.toFloat(), v.y, v.w, v.h);
             }},
            {"viewport_y", PropertyInfo::FLOAT, [](Viewport& object) { return hstring(object.viewport.y); },
             [](Viewport& object, const hstring& value)
             {
                 const kavtypes::Rectangle& v = object.viewport;
                 object.setViewportRect(v.x, value.toFloat(), v.w, v.h);
             }},
            {"viewport_w", PropertyInfo::FLOAT, [](Viewport& object) { return hstring(object.viewport.w); },
             [](Viewport& object, const hstring& value)
             {
                 const kavtypes::Rectangle& v = object.viewport;
                 object.setViewportRect(v.x, v.y, value.toFloat(), v.h);
             }},
            {"viewport_h", PropertyInfo::FLOAT, [](Viewport& object) { return hstring(object.viewport.h); },
             [](Viewport& object, const hstring& value)
             {
                 const kavtypes::Rectangle& v = object.viewport;
                 object.setViewportRect(v.x, v.y, v.w, value.toFloat());
             }},
            // "x,y,w,h"; any other number of parts changes nothing.
            {"viewport", PropertyInfo::STRING,
             [](Viewport& object)
             {
                 const kavtypes::Rectangle& v = object.viewport;
                 return formatString("%f,%f,%f,%f", v.x, v.y, v.w, v.h);
             },
             [](Viewport& object, const hstring& value)
             {
                 harray<hstring> parts = value.split(",");
                 if (parts.size() == 4)
                 {
                     object.setViewportRect(parts[0].toFloat(), parts[1].toFloat(), parts[2].toFloat(),
                                            parts[3].toFloat());
                 }
             }},
            {"debug", PropertyInfo::BOOL, [](Viewport& object) { return hstring(object.debug ? "1" : "0"); },
             [](Viewport& object, const hstring& value) { object.debug = value.toBool(); }},
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_OWN_FIRST(VumoViewportObject, PausableObject, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(VumoViewportObject, PausableObject, _properties)

    void VumoViewportObject::setViewportRect(float x, float y, float w, float h)
    {
        this->viewport = kavtypes::Rectangle(x, y, w, h);
        this->clampViewport();
    }

    void VumoViewportObject::clampViewport()
    {
        kavtypes::Rectangle& v = this->viewport;
        v.x = std::clamp(v.x, 0.0f, 1.0f);
        v.y = std::clamp(v.y, 0.0f, 1.0f);
        v.w = std::clamp(v.w, 0.0f, 1.0f - v.x);
        v.h = std::clamp(v.h, 0.0f, 1.0f - v.y);
    }

    bool VumoViewportObject::isInputBlocked() const
    {
        return Session::isSceneLocked() || Session::isTransitionRunning();
    }

    bool VumoViewportObject::onMouseDown(unsigned int keyCode)
    {
        return this->isInputBlocked() ? true : PausableObject::onMouseDown(keyCode);
    }

    bool VumoViewportObject::onMouseUp(unsigned int keyCode)
    {
        // The release that ends a pan of the zoomed scene is no click.
        if (this->isInputBlocked() || getGameUiHost().isZoomPanning())
        {
            return true;
        }
        return PausableObject::onMouseUp(keyCode);
    }

    bool VumoViewportObject::onMouseMove()
    {
        return this->isInputBlocked() ? false : PausableObject::onMouseMove();
    }

    void VumoViewportObject::update(float timeDelta)
    {
        PausableObject::update(timeDelta);
        if (!getGameUiHost().isDeveloperModeEnabled() || this->dataset == nullptr)
        {
            return;
        }
        const bool wanted = this->debug && tesraui::isDebugEnabled();
        if (wanted && this->debugObject == nullptr)
        {
            this->debugObject =
                new ViewportDebugObject(EngineObjects::freeName(this->dataset, this->name + "/debug"),
                                        kavtypes::Rectangle(0.0f, 0.0f, this->rect.w, this->rect.h), this);
            this->debugObject->setZOrder(10000000);
            this->debugObject->setHeldPart(true);
            this->debugObject->setAnchors(true, true, true, true);
            this->dataset->registerObjects(this->debugObject);
            this->addChild(this->debugObject);
        }
        else if (!wanted && this->debugObject != nullptr)
        {
            tesraui::Object* child = this->debugObject;
            this->debugObject = nullptr;
            this->dataset->destroyObject(child);
        }
    }

    ViewportDebugObject::ViewportDebugObject(const hstring& name, kavtypes::Rectangle rect,
                                             VumoViewportObject* viewport)
        : tesraui::Object(name, rect), viewport(viewport)
    {
    }

    void ViewportDebugObject::addQuad(const kavtypes::Rectangle& r, unsigned int color)
    {
        if (r.w <= 0.0f || r.h <= 0.0f || this->vertexCount + 6 > 2048)
        {
            return;
        }
        const float right = r.x + r.w;
        const float bottom = r.y + r.h;
        tesra::ColoredVertex* v = this->vertices + this->vertexCount;
        v[0] = tesra::ColoredVertex(r.x, r.y, 0.0f, color);
        v[1] = tesra::ColoredVertex(right, r.y, 0.0f, color);
        v[2] = tesra::ColoredVertex(r.x, bottom, 0.0f, color);
        v[3] = tesra::ColoredVertex(right, r.y, 0.0f, color);
        v[4] = tesra::ColoredVertex(right, bottom, 0.0f, color);
        v[5] = tesra::ColoredVertex(r.x, bottom, 0.0f, color);
        this->vertexCount += 6;
    }

    void ViewportDebugObject::_drawDebug()
    {
        if (tesra::rendersys == nullptr)
        {
            return;
        }
        const float w = this->rect.w;
        const float h = this->rect.h;
        const kavtypes::Rectangle& f = this->viewport->getViewportRect();
        const float left = -this->center.x;
        const float top = -this->center.y;
        const kavtypes::Rectangle inner(left + f.x * w, top + f.y * h, f.w * w, f.h * h);
        const unsigned int shade = packColor(255, 204, 0, 40);
        const unsigned int band = packColor(255, 31, 0, 40);
        const unsigned int edge = packColor(255, 204, 0, 255);
        this->vertexCount = 0;
        // Above and below the viewport in one shade, left and right of it in the other.
        this->addQuad(kavtypes::Rectangle(left, top, w, inner.y - top), shade);
        this->addQuad(kavtypes::Rectangle(left, inner.y + inner.h, w, top + h - inner.y - inner.h), shade);
        this->addQuad(kavtypes::Rectangle(left, inner.y, inner.x - left, inner.h), band);
        this->addQuad(kavtypes::Rectangle(inner.x + inner.w, inner.y, left + w - inner.x - inner.w, inner.h),
                      band);
        this->addQuad(kavtypes::Rectangle(inner.x, inner.y, inner.w, 1.0f), edge);
        this->addQuad(kavtypes::Rectangle(inner.x, inner.y + inner.h - 1.0f, inner.w, 1.0f), edge);
        this->addQuad(kavtypes::Rectangle(inner.x, inner.y, 1.0f, inner.h), edge);
        this->addQuad(kavtypes::Rectangle(inner.x + inner.w - 1.0f, inner.y, 1.0f, inner.h), edge);
        tesra::rendersys->render(tesra::RenderOperation::TRIANGLE_LIST, this->vertices, this->vertexCount);
    }
} // namespace vumo
