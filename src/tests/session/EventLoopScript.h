#pragma once

namespace harness
{
    // makeLoop(names): an object of the UI for each name, each one's Click triggering the next one's (the
    // last one's the first one's), and the first one clicked. Each run counts in runs and calls onRun when
    // a game defines it.
    inline const char* const loops = "runs = 0\n"
                                     "frames = 0\n"
                                     "function ui.update(dt) frames = frames + 1 end\n"
                                     "function makeLoop(names)\n"
                                     "\tlocal objects = {}\n"
                                     "\tfor i, name in ipairs(names) do\n"
                                     "\t\tobjects[i] = object.create('Container', name, ui.root_object, {})\n"
                                     "\tend\n"
                                     "\tfor i, o in ipairs(objects) do\n"
                                     "\t\tlocal nextOne = objects[i % #objects + 1]\n"
                                     "\t\tobject.assignEvent(o, 'Click', function()\n"
                                     "\t\t\truns = runs + 1\n"
                                     "\t\t\tif onRun then onRun() end\n"
                                     "\t\t\tobject.triggerEvent(nextOne, 'Click')\n"
                                     "\t\tend)\n"
                                     "\tend\n"
                                     "\tobject.triggerEvent(objects[1], 'Click')\n"
                                     "end\n";
} // namespace harness
