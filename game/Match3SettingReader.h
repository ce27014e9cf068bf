#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

// Reads the Lua values of a scene's table by name. A value the script left out (nil) gives the fallback;
// a value of the wrong kind gives the fallback too and leaves a problem naming it, so that the scene can
// refuse its board with one message that names every setting it cannot use. A number outside what the
// scene's arithmetic holds is held at the nearer end of its range, with a warning naming the scene's file
// and the setting, or, where no such number makes sense, refused as a problem.
class Match3SettingReader
{
public:
    // What a number outside its range becomes.
    enum class Outside
    {
        Held,
        Refused,
    };

    // The scene's full name: the settings live at that dotted path. Its file is named in the warnings, which
    // go to the log under the tag.
    Match3SettingReader(const hstring& sceneName, const hstring& fileName, const hstring& logTag);

    // Every problem found, in the order of reading.
    const harray<hstring>& getProblems() const { return problems; }
    bool has(const hstring& name);
    // A string or a number.
    hstring text(const hstring& name, const hstring& fallback);
    // A number, or text holding one, as the whole number it holds (the fraction dropped), from low to high.
    int integer(const hstring& name, int fallback, int low, int high, Outside outside = Outside::Held);
    // A number, or text holding one, from low to high, held at the nearer end outside.
    float real(const hstring& name, float fallback, float low, float high);
    // A boolean, a number (0 is false) or text holding "true", "false" or a number.
    bool flag(const hstring& name, bool fallback);
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
    hstring fileName;
    hstring logTag;
    harray<hstring> problems;

    Value read(const hstring& name);
    // The number a value holds as a number or as text; false when it holds none.
    bool number(const hstring& name, const Value& value, double& result);
    void warnHeld(const hstring& name, const Value& value, const hstring& range, const hstring& held);
};
