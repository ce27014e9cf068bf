#pragma once

#include <kavtypes/Rectangle.h>
#include <quortypes/harray.h>

namespace tesraparticle
{
    class Emitter;
}

namespace tesrauiparticle
{
    // The module's switch; nothing turns it off, so only "always_enabled" objects would load without it.
    bool isModuleEnabled();
    // The first emitter's box takes the size; the others keep their proportion to it. Sizes not above 0
    // are left alone.
    void resizeEmitterBoxes(const harray<tesraparticle::Emitter*>& emitters, float width, float height);
    // The yellow area and black outline of an object in debug mode; does nothing outside it.
    void drawDebugRect(const kavtypes::Rectangle& rect);
} // namespace tesrauiparticle
