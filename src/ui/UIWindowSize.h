#pragma once

#include <kavtypes/Vector2.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>

namespace vumo
{
    // The window's size in pixels, shared by the UI's files that lay out the root object; zero before there
    // is a window.
    inline kavtypes::Vector2 windowSize()
    {
        if (tesra::window == nullptr)
        {
            return kavtypes::Vector2();
        }
        return kavtypes::Vector2((float)tesra::window->getWidth(), (float)tesra::window->getHeight());
    }
} // namespace vumo
