#pragma once

#include <kavtypes/Vector2.h>
#include <quortypes/harray.h>
#include <tesraui/Object.h>

namespace vumo
{
    class GameUiHost;

    // The cursor of debug mode's touch simulation: the pointer and its mirror image through a centre point
    // (and the centre itself while Ctrl is held) act as touches while a button is held, so pinches can be
    // tried with a mouse. Shift moves the centre with the pointer. One instance at a time; the touches go to
    // the game UI it is made for, which outlives it.
    class MultiTouchDebugCursor : public tesraui::Object
    {
    public:
        MultiTouchDebugCursor(GameUiHost& ui, const hstring& name, kavtypes::Rectangle rect);
        ~MultiTouchDebugCursor() override;
        MultiTouchDebugCursor(const MultiTouchDebugCursor&) = delete;
        MultiTouchDebugCursor& operator=(const MultiTouchDebugCursor&) = delete;

        static MultiTouchDebugCursor* getInstance();
        hstring getClassName() const override { return "MultiTouchDebugCursor"; }
        void _draw() override;

        harray<kavtypes::Vector2> getTouchPoints() const;
        bool isActive() const { return this->active; }
        // Starts or ends the simulated touch; the UI hears the points, or an empty list at the end.
        void setActive(bool value);
        // Follows the pointer; an active touch reports the moved points. The debug tools call it on pointer
        // moves and once a frame from their update, never from a draw.
        void onCursorMoved();
        kavtypes::Vector2 getCentre() const { return this->centre; }
        void setCentre(kavtypes::Vector2 value) { this->centre = value; }
        // The debug tools' Shift and Ctrl, as they last told.
        void setModifiers(bool shift, bool ctrl)
        {
            this->shiftHeld = shift;
            this->ctrlHeld = ctrl;
        }

    protected:
        GameUiHost& ui;
        kavtypes::Vector2 centre;
        kavtypes::Vector2 lastCursor;
        bool active = false;
        bool shiftHeld = false;
        bool ctrlHeld = false;
        harray<kavtypes::Vector2> lastPoints;
    };
} // namespace vumo
