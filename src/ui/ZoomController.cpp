#include "ZoomController.h"

#include <algorithm>
#include <cmath>

#include <quortypes/exception.h>
#include <tesra/SystemInfo.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>
#include <tesraui/Container.h>
#include <tesraui/ImageBox.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

#include "GameUiHost.h"
#include "Scene.h"
#include "Session.h"
#include "lua/LuaInterface.h"
#include "objects/VumoViewportObject.h"

namespace vumo
{
    namespace
    {
        bool isInside(tesraui::Object* object, tesraui::Object* ancestor)
        {
            for (; object != nullptr; object = object->getParent())
            {
                if (object == ancestor)
                {
                    return true;
                }
            }
            return false;
        }

        // The viewport offset of the scaled top-left corner, from the root's position and pivot.
        kavtypes::Vector2 offsetOf(tesraui::Object* root)
        {
            const float scale = root->getScaleX();
            return root->getPosition() + root->getCenter() * (1.0f - scale);
        }

        kavtypes::Vector2 positionFor(tesraui::Object* root, kavtypes::Vector2 offset, float scale)
        {
            return offset - root->getCenter() * (1.0f - scale);
        }

        void clampRange(float& value, float a, float b)
        {
            value = std::min(std::max(value, std::min(a, b)), std::max(a, b));
        }

        // Ratios this close below 1 still count as no change: float noise of repeated steps.
        const float zoomOutRatio = 0.99999f;
    } // namespace

    tesraui::Object* ZoomController::getSceneRoot()
    {
        Scene* scene = Session::getActiveScene();
        return (scene != nullptr ? static_cast<tesraui::Object*>(scene->getRootObject()) : nullptr);
    }

    float ZoomController::getMaxZoomScale()
    {
        if (Session::getActiveScene() == nullptr || LuaInterface::state == nullptr)
        {
            return 1.0f;
        }
        try
        {
            const hstring value = LuaInterface::getGlobalString("chapter.scene.__maxZoomScale");
            return (value.isNumber() ? value.toFloat() : 1.0f);
        }
        catch (const quortypes::exception&)
        {
            return 1.0f;
        }
    }

    float ZoomController::getZoomScale()
    {
        tesraui::Object* root = getSceneRoot();
        return (root != nullptr ? root->getScaleX() : 1.0f);
    }

    kavtypes::Vector2 ZoomController::getOffset()
    {
        tesraui::Object* root = getSceneRoot();
        return (root != nullptr ? offsetOf(root) : kavtypes::Vector2());
    }

    tesraui::Object* ZoomController::getZoomableRoot(float* maxScale)
    {
        const float most = getMaxZoomScale();
        if (maxScale != nullptr)
        {
            *maxScale = most;
        }
        tesraui::Object* root = getSceneRoot();
        if (root == nullptr || Session::getViewport() == nullptr || most == 1.0f)
        {
            return nullptr;
        }
        return root;
    }

    bool ZoomController::isCursorOverScene() const
    {
        VumoViewportObject* viewport = Session::getViewport();
        tesraui::Object* uiRoot = this->ui.getRootObject();
        if (uiRoot == nullptr)
        {
            return false;
        }
        tesraui::Object* under = uiRoot->getChildUnderCursor();
        return (under != nullptr && (under == getSceneRoot() || under == uiRoot ||
                                     isInside(under, static_cast<tesraui::Object*>(viewport))));
    }

    kavtypes::Vector2 ZoomController::toViewport(kavtypes::Vector2 point)
    {
        tesraui::Object* viewport = static_cast<tesraui::Object*>(Session::getViewport());
        if (viewport == nullptr)
        {
            return point;
        }
        const kavtypes::Vector2 origin = viewport->getDerivedPoint(kavtypes::Vector2());
        const kavtypes::Vector2 scale = viewport->getDerivedScale();
        return kavtypes::Vector2((point.x - origin.x) / (scale.x != 0.0f ? scale.x : 1.0f),
                                 (point.y - origin.y) / (scale.y != 0.0f ? scale.y : 1.0f));
    }

    kavtypes::Vector2 ZoomController::getViewportSize()
    {
        tesraui::Object* viewport = static_cast<tesraui::Object*>(Session::getViewport());
        return (viewport != nullptr ? viewport->getSize() : kavtypes::Vector2());
    }

    kavtypes::Vector2 ZoomController::getCursorFraction()
    {
        const kavtypes::Vector2 size = getViewportSize();
        if (size.x <= 0.0f || size.y <= 0.0f)
        {
            return kavtypes::Vector2(-1.0f, -1.0f);
        }
        const kavtypes::Vector2 point = toViewport(tesraui::getCursorPosition());
        return kavtypes::Vector2(point.x / size.x, point.y / size.y);
    }

    float ZoomController::getReferenceLength()
    {
        return getViewportSize().length();
    }

    kavtypes::Vector2 ZoomController::clampOffset(kavtypes::Vector2 offset, float scale)
    {
        // The clamp below passes a NaN through, and the root would keep it for good.
        if (!std::isfinite(offset.x) || !std::isfinite(offset.y))
        {
            return kavtypes::Vector2();
        }
        tesraui::Object* root = getSceneRoot();
        if (root == nullptr)
        {
            return offset;
        }
        const kavtypes::Vector2 viewport = getViewportSize();
        const kavtypes::Vector2 size = root->getSize();
        // The scaled scene covers the viewport: its near edge never inside, its far edge never short of it.
        clampRange(offset.x, 0.0f, viewport.x - size.x * scale);
        clampRange(offset.y, 0.0f, viewport.y - size.y * scale);
        return offset;
    }

    void ZoomController::apply(tesraui::Object* root, float scale, kavtypes::Vector2 offset)
    {
        root->moveStop();
        root->scaleStop();
        root->setScale(scale, scale);
        root->setPosition(positionFor(root, offset, scale));
    }

    void ZoomController::zoomAround(tesraui::Object* root, float newScale, kavtypes::Vector2 anchor)
    {
        const float oldScale = root->getScaleX();
        kavtypes::Vector2 offset;
        if (!(newScale / oldScale < zoomOutRatio && newScale == 1.0f))
        {
            const kavtypes::Vector2 oldOffset = offsetOf(root);
            const kavtypes::Vector2 scenePoint = (anchor - oldOffset) / oldScale;
            offset = clampOffset(anchor - scenePoint * newScale, newScale);
        }
        apply(root, newScale, offset);
    }

    void ZoomController::update(float)
    {
        tesraui::Object* root = getSceneRoot();
        // Animations and resizes may leave the zoomed scene short of the viewport's edges; a scene at rest
        // is pulled back inside, one that stopped allowing zoom goes back to its plain size.
        if (root == nullptr || root->hasDynamicAnimators() || this->state == STATE_PANNING)
        {
            return;
        }
        // A scene at its plain size needs nothing, and asking its script each frame would cost.
        if (root->getScaleX() == 1.0f)
        {
            return;
        }
        const float most = getMaxZoomScale();
        // The read may have run a script: the root and its zoom are taken again.
        root = getSceneRoot();
        if (root == nullptr)
        {
            return;
        }
        const float scale = root->getScaleX();
        if (scale < 1.0f || most == 1.0f)
        {
            apply(root, 1.0f, kavtypes::Vector2());
            return;
        }
        if (scale > 1.0f)
        {
            const kavtypes::Vector2 offset = offsetOf(root);
            const kavtypes::Vector2 clamped = clampOffset(offset, scale);
            if (clamped != offset)
            {
                apply(root, scale, clamped);
            }
        }
    }

    bool ZoomController::pan(kavtypes::Vector2 viewports)
    {
        tesraui::Object* root = getZoomableRoot();
        // A scene at its plain size already shows all of itself.
        if (root == nullptr || root->getScaleX() <= 1.0f)
        {
            return false;
        }
        // One moving to a focus keeps its course.
        if (root->hasDynamicAnimators())
        {
            return true;
        }
        const kavtypes::Vector2 size = getViewportSize();
        const float scale = root->getScaleX();
        const kavtypes::Vector2 distance(viewports.x * size.x, viewports.y * size.y);
        const kavtypes::Vector2 offset = clampOffset(offsetOf(root) + distance, scale);
        if (offset != offsetOf(root))
        {
            apply(root, scale, offset);
        }
        return true;
    }

    void ZoomController::onPointerPressed(int)
    {
        if (!isCursorOverScene())
        {
            return;
        }
        this->pressed = true;
        tesraui::Object* root = getZoomableRoot();
        if (root != nullptr && root->getScaleX() > 1.0f)
        {
            this->pressPoint = toViewport(tesraui::getCursorPosition());
            this->pressOffset = offsetOf(root);
            this->state = STATE_PRESSED;
        }
    }

    void ZoomController::onPointerReleased(int)
    {
        this->pressed = false;
        if (this->state == STATE_PRESSED || this->state == STATE_PANNING)
        {
            this->state = STATE_IDLE;
        }
    }

    void ZoomController::startPanning()
    {
        this->state = STATE_PANNING;
        this->ui.clearPointerDown();
        if (tesraui::Object* uiRoot = this->ui.getRootObject())
        {
            uiRoot->onMouseCancel(1);
        }
    }

    void ZoomController::onPointerMove()
    {
        if (this->state != STATE_PRESSED && this->state != STATE_PANNING)
        {
            return;
        }
        tesraui::Object* root = getZoomableRoot();
        if (root == nullptr)
        {
            this->state = STATE_IDLE;
            return;
        }
        const kavtypes::Vector2 point = toViewport(tesraui::getCursorPosition());
        if (this->state == STATE_PRESSED)
        {
            if ((point - this->pressPoint).length() <= 0.01f * getReferenceLength())
            {
                return;
            }
            this->startPanning();
        }
        const float scale = root->getScaleX();
        apply(root, scale, clampOffset(this->pressOffset + (point - this->pressPoint), scale));
    }

    void ZoomController::onPointerScroll(float dx, float dy)
    {
        float most = 1.0f;
        tesraui::Object* root = getZoomableRoot(&most);
        if (root == nullptr || !isCursorOverScene())
        {
            return;
        }
        this->pressed = false;
        this->state = STATE_ZOOMING;
        float factor = 1.0f;
        if (dx > 0.0f || dy > 0.0f)
        {
            factor = 1.0f / 1.1f;
        }
        else if (dx < 0.0f || dy < 0.0f)
        {
            factor = 1.1f;
        }
        const float newScale = std::min(std::max(root->getScaleX() * factor, 1.0f), most);
        this->zoomAround(root, newScale, toViewport(tesraui::getCursorPosition()));
    }

    float ZoomController::toMillimetres(float length) const
    {
        tesraui::Object* uiRoot = this->ui.getRootObject();
        float pixels = length;
        if (uiRoot != nullptr && tesra::window != nullptr)
        {
            const float rootHeight = uiRoot->getHeight();
            if (rootHeight > 0.0f)
            {
                pixels = length * (float)tesra::window->getHeight() / rootHeight;
            }
        }
        const tesra::SystemInfo info = tesra::getSystemInfo();
        const float dpi = (info.displayDpi > 0.0f ? info.displayDpi : 96.0f);
        return pixels / dpi * 25.4f;
    }

    void ZoomController::onTouch(const harray<kavtypes::Vector2>& touches)
    {
        float most = 1.0f;
        tesraui::Object* root = getZoomableRoot(&most);
        if (root == nullptr)
        {
            this->lastTouches = touches;
            return;
        }
        const int count = touches.size();
        if (count == 2 && this->lastTouches.size() < 2)
        {
            this->state = STATE_ZOOMING;
            this->lastTouches = touches;
            return;
        }
        if (this->state == STATE_ZOOMING && count != 2)
        {
            this->state = STATE_IDLE;
        }
        if (this->state == STATE_IDLE && count == 1 && this->lastTouches.size() == 0 &&
            root->getScaleX() > 1.0f)
        {
            this->state = STATE_PRESSED;
            this->pressPoint = toViewport(touches[0]);
            this->pressOffset = offsetOf(root);
        }
        else if (this->state == STATE_PRESSED || this->state == STATE_PANNING)
        {
            if (count != 1)
            {
                this->state = STATE_IDLE;
            }
            else
            {
                const kavtypes::Vector2 point = toViewport(touches[0]);
                if (this->state == STATE_PRESSED &&
                    (point - this->pressPoint).length() > 0.01f * getReferenceLength())
                {
                    this->startPanning();
                }
                if (this->state == STATE_PANNING)
                {
                    const float scale = root->getScaleX();
                    apply(root, scale, clampOffset(this->pressOffset + (point - this->pressPoint), scale));
                }
            }
        }
        else if (this->state == STATE_ZOOMING && count == 2 && this->lastTouches.size() == 2 &&
                 (touches[0] != this->lastTouches[0] || touches[1] != this->lastTouches[1]))
        {
            const float previous = (this->lastTouches[1] - this->lastTouches[0]).length();
            const float current = (touches[1] - touches[0]).length();
            // Two touches that started on one point give no ratio to go by.
            float ratio = (previous > 0.0f ? current / previous : 1.0f);
            const float change = toMillimetres(std::fabs(current - previous));
            if (change < this->pinchDampingLength)
            {
                ratio = 1.0f + (ratio - 1.0f) * (0.02f + 0.98f * change / this->pinchDampingLength);
            }
            const float newScale = std::min(std::max(root->getScaleX() * ratio, 1.0f), most);
            this->zoomAround(root, newScale, toViewport((touches[0] + touches[1]) * 0.5f));
        }
        this->lastTouches = touches;
    }

    void ZoomController::focusPoint(float x, float y, float scale, float duration, bool animated)
    {
        this->zoomTo(kavtypes::Vector2(x, y), scale, duration, animated);
    }

    void ZoomController::zoomTo(kavtypes::Vector2 point, float scale, float duration, bool animated)
    {
        const float most = getMaxZoomScale();
        tesraui::Object* root = getSceneRoot();
        if (root == nullptr)
        {
            return;
        }
        const float current = root->getScaleX();
        const float target = (scale < 0.0f ? current : std::min(std::max(scale, 1.0f), most));
        if (current <= 1.0f && target == current)
        {
            return;
        }
        const kavtypes::Vector2 viewport = getViewportSize();
        kavtypes::Vector2 offset = viewport * 0.5f - point * target;
        offset = clampOffset(offset, target);
        const kavtypes::Vector2 position = positionFor(root, offset, target);
        const float distance = (position - root->getPosition()).length();
        if (duration < 0.0f)
        {
            duration = viewport.length();
        }
        // A zero time would never arrive and a zero distance would be an infinite speed: both land at once.
        if (!animated || duration == 0.0f || distance == 0.0f)
        {
            apply(root, target, offset);
            return;
        }
        // Time over distance, as the scripts have always been tuned against.
        const float speed = duration / distance;
        root->moveStop();
        root->scaleStop();
        root->move(position.x, position.y, speed);
        root->scale(target, target, speed);
    }

    void ZoomController::zoomOut(float duration)
    {
        tesraui::Object* root = getSceneRoot();
        if (root == nullptr || root->getScaleX() <= 1.0f)
        {
            return;
        }
        const kavtypes::Vector2 position = positionFor(root, kavtypes::Vector2(), 1.0f);
        const float distance = (position - root->getPosition()).length();
        if (duration < 0.0f)
        {
            duration = getViewportSize().length();
        }
        if (duration == 0.0f || distance == 0.0f)
        {
            apply(root, 1.0f, kavtypes::Vector2());
            return;
        }
        const float speed = duration / distance;
        root->moveStop();
        root->scaleStop();
        root->move(position.x, position.y, speed);
        root->scale(1.0f, 1.0f, speed);
    }
} // namespace vumo
