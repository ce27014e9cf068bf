#pragma once

#include <quortypes/hstring.h>

namespace tesraui
{
    class Container;
}

// The developer's tools inside the running game. This build has none yet: it takes every input on,
// leaves the game's speed alone and asks for no cursor of its own. It owns the font "debug", which the
// scripting-error overlay uses too.
class DebugUI
{
public:
    virtual ~DebugUI() = default;

    static const char* const fontName;
    // Registers the font "debug" with the text renderer unless it has it.
    static void createFont();

    virtual void init(float panelWidth, float lineHeight, float margin, int columns);
    // Returns the time step the game runs with.
    virtual float update(float timeDelta) { return timeDelta; }
    virtual void draw() {}
    // False keeps the input from the game.
    virtual bool onPointerPressed(float, float, int) { return true; }
    virtual bool onPointerReleased(float, float, int) { return true; }
    virtual bool onKeyDown(int) { return true; }
    virtual bool onKeyUp(int) { return true; }
    // Empty: the game's scripts choose the cursor.
    virtual hstring getDebugCursorMode() { return ""; }
    virtual void fillCursor(tesraui::Container*, const hstring&) {}
    virtual void onSceneChanging() {}
    virtual void onSceneChanged() {}
};
