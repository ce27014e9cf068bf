#pragma once

#include <kavtypes/Vector2.h>
#include <quortypes/harray.h>

// Zoom and pan of the active scene. This build has none yet: it takes the input the UI hands it and
// never pans.
class ZoomController
{
public:
    virtual ~ZoomController() = default;

    virtual void update(float) {}
    virtual void onPointerPressed(int) {}
    virtual void onPointerReleased(int) {}
    virtual void onPointerMove() {}
    virtual void onPointerScroll(float, float) {}
    virtual void onTouch(const harray<kavtypes::Vector2>&) {}
    virtual bool isPanning() const { return false; }
};
