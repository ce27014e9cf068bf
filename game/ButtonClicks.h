#pragma once

namespace tesraui
{
    class Object;
} // namespace tesraui

// The click every button of the game's own screens makes: the UI's sound "ui.click", when the game has one.
// The promotion library's screens make none of their own, so the shell gives them the game's.
namespace ButtonClicks
{
    void play();
    // The button's "Click" plays the click first, then does what it did before; a button without a "Click"
    // handler gets one that only clicks.
    void addTo(tesraui::Object* button);
} // namespace ButtonClicks
