#pragma once

#include <quortypes/hdict.h>
#include <quortypes/hstring.h>

namespace tesraui
{
    class Object;
}

// The duel's own objects found by name, and its standing on screen: the two bars, or the health markers that
// stand in for them.
namespace Match3Gui
{
    // What the standing shows, as the scene's settings and its board have it.
    struct Standing
    {
        bool healthPoints = false;
        bool horizontalBars = false;
        int health = 1000;
        float time = 0.0f;
        float timeLeft = 0.0f;
        int positiveEffect = 0;
        int negativeEffect = 0;
    };

    // The objects under root by name, breadth first, the first of a name kept: what a search for each name
    // would find. One walk of the tree, however many names are asked.
    hdict<tesraui::Object*> namedObjects(const tesraui::Object* root);
    void showStanding(const hdict<tesraui::Object*>& named, const Standing& standing);
} // namespace Match3Gui
