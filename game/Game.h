#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

// The hooks the program entry hands to the window library's main: the game's start and end.
void gameInit(const harray<hstring>& args);
void gameDestroy();
