#pragma once

#include <quortypes/hstring.h>

// Reads the Lua values of a scene's table by name. A value the script left out (nil) gives the fallback;
// a value of the wrong kind gives the fallback too and leaves a problem naming it, so that the scene can
// refuse its board with one clear message. Only the first problem is kept.
class Match3SettingReader
{
public:
    // The scene's full name: the settings live at that dotted path.
    explicit Match3SettingReader(const hstring& sceneName);

    const hstring& getProblem() const { return problem; }
    bool has(const hstring& name);
    // A string or a number.
    hstring text(const hstring& name, const hstring& fallback);
    // A number, or text holding one.
    int integer(const hstring& name, int fallback);
    float real(const hstring& name, float fallback);
    // A boolean, a number (0 is false) or text holding "true", "false" or a number.
    bool flag(const hstring& name, bool fallback);
    // Keeps the problem unless an earlier one is kept already.
    void fail(const hstring& message);

private:
    struct Value
    {
        bool present = false;
        bool isText = false;
        bool isNumber = false;
        bool isBoolean = false;
        hstring text;
        double number = 0.0;
        bool boolean = false;
        hstring typeName;
    };

    hstring sceneName;
    hstring problem;

    Value read(const hstring& name);
    // The number a value holds as a number or as text; false when it holds none.
    bool number(const hstring& name, const Value& value, double& result);
};
