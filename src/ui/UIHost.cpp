#include "ui/DebugUI.h"
#include "ui/UI.h"
#include "ui/ZoomController.h"

namespace vumo
{
    GameUiHost* createDefaultGameUi()
    {
        return new UI();
    }

    bool UI::isDebugAltPressed() const
    {
        return this->debugUI != nullptr && this->debugUI->isAltPressed();
    }

    float UI::getDebugSpeedMultiplier() const
    {
        return this->debugUI != nullptr ? this->debugUI->getSpeedMultiplier() : 1.0f;
    }

    bool UI::isZoomPanning() const
    {
        return this->zoomController != nullptr && this->zoomController->isPanning();
    }

    void UI::focusPoint(float x, float y, float scale, float duration, bool animated)
    {
        this->zoomController->focusPoint(x, y, scale, duration, animated);
    }

    void UI::zoomOut(float duration)
    {
        this->zoomController->zoomOut(duration);
    }

    bool UI::panZoom(kavtypes::Vector2 viewports)
    {
        return this->zoomController->pan(viewports);
    }

    float UI::getMaxZoomScale() const
    {
        return ZoomController::getMaxZoomScale();
    }

    kavtypes::Vector2 UI::getZoomCursorFraction() const
    {
        return ZoomController::getCursorFraction();
    }
} // namespace vumo
