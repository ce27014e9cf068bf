#pragma once

#include <kavtypes/Vector2.h>
#include <quortypes/harray.h>

namespace tesraui
{
    class Object;
}

namespace vumo
{
    class GameUiHost;

    // Zoom and pan of the active scene: wheel and drag with a mouse, pinch and drag with touches, and the
    // scripted focus of scene.focusPoint and scene.zoomOut. The zoom is the scene root's scale; the pan is
    // where its scaled top-left corner lies in the viewport (the offset), whatever the root's pivot. It
    // serves the game UI that owns it: the pointer over its root, a press a pan takes over.
    class ZoomController
    {
    public:
        enum State
        {
            STATE_IDLE = 0,
            STATE_PRESSED = 1,
            STATE_PANNING = 2,
            STATE_ZOOMING = 3
        };

        explicit ZoomController(GameUiHost& ui) : ui(ui) {}
        virtual ~ZoomController() = default;
        ZoomController(const ZoomController&) = delete;
        ZoomController& operator=(const ZoomController&) = delete;

        virtual void update(float timeDelta);
        virtual void onPointerPressed(int button);
        virtual void onPointerReleased(int button);
        virtual void onPointerMove();
        virtual void onPointerScroll(float dx, float dy);
        virtual void onTouch(const harray<kavtypes::Vector2>& touches);
        virtual bool isPanning() const { return this->state == STATE_PANNING; }

        void focusPoint(float x, float y, float scale, float duration, bool animated);
        void zoomTo(kavtypes::Vector2 point, float scale, float duration, bool animated);
        void zoomOut(float duration = -1.0f);

        // Moves a zoomed-in scene by a distance in viewport sizes, kept covering the viewport; false when no
        // scene is zoomed in.
        bool pan(kavtypes::Vector2 viewports);

        int getState() const { return this->state; }
        // The active scene's "__maxZoomScale", 1.0 when it sets none. Read as a script reads it, so that a
        // metamethod of the scene's table may run: read it before taking anything of the scene.
        static float getMaxZoomScale();
        // The scene root's current zoom, 1.0 without a scene.
        static float getZoomScale();
        // Where the scaled scene's top-left corner lies in the viewport.
        static kavtypes::Vector2 getOffset();
        // The cursor's place in the viewport as fractions of its size, 0 to 1 each way inside it; (-1, -1)
        // without a viewport.
        static kavtypes::Vector2 getCursorFraction();

    protected:
        // The owner.
        GameUiHost& ui;
        // Physical pinch changes shorter than this many millimetres are damped.
        float pinchDampingLength = 3.0f;
        int state = STATE_IDLE;
        harray<kavtypes::Vector2> lastTouches;
        kavtypes::Vector2 pressPoint;
        bool pressed = false;
        // The offset when the press began: a pan follows the pointer from there.
        kavtypes::Vector2 pressOffset;

        // The scene root when a scene that allows zoom is active, else null; its maximum zoom, read first, is
        // given back through maxScale.
        static tesraui::Object* getZoomableRoot(float* maxScale = nullptr);
        static tesraui::Object* getSceneRoot();
        bool isCursorOverScene() const;
        // A point of the UI's space in the viewport's coordinates.
        static kavtypes::Vector2 toViewport(kavtypes::Vector2 point);
        static kavtypes::Vector2 getViewportSize();
        // Moves the pan threshold is measured against: the viewport's diagonal.
        static float getReferenceLength();
        static kavtypes::Vector2 clampOffset(kavtypes::Vector2 offset, float scale);
        // Stops the root's animations and sets its scale and offset at once.
        static void apply(tesraui::Object* root, float scale, kavtypes::Vector2 offset);
        // Sets a new scale keeping the viewport point fixed; back at 1.0 the offset is (0, 0).
        void zoomAround(tesraui::Object* root, float newScale, kavtypes::Vector2 anchor);
        void startPanning();
        // Millimetres on the display for a length in the UI's space.
        float toMillimetres(float length) const;
    };
} // namespace vumo
