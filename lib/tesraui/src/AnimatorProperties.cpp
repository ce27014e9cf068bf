#include <tesraui/Animator.h>

namespace tesraui
{
    // Indexed by the function's number; the numbers past the table read "custom".
    static const char* const functionNames[] = {"linear",   "sine",   "square", "saw",
                                                "triangle", "random", "hover"};
    static const int functionCount = sizeof(functionNames) / sizeof(functionNames[0]);

    harray<PropertyInfo> Animator::getPropertyDescriptions() const
    {
        static harray<PropertyInfo> descriptions;
        if (descriptions.size() == 0)
        {
            descriptions =
                Object::getPropertyDescriptions() + harray<PropertyInfo>({
                                                        PropertyInfo("function", PropertyInfo::ENUM),
                                                        PropertyInfo("func", PropertyInfo::ENUM),
                                                        PropertyInfo("timer", PropertyInfo::FLOAT),
                                                        PropertyInfo("delay", PropertyInfo::FLOAT),
                                                        PropertyInfo("periods", PropertyInfo::FLOAT),
                                                        PropertyInfo("amplitude", PropertyInfo::FLOAT),
                                                        PropertyInfo("peak_to_peak", PropertyInfo::FLOAT),
                                                        PropertyInfo("speed", PropertyInfo::FLOAT),
                                                        PropertyInfo("offset", PropertyInfo::FLOAT),
                                                        PropertyInfo("acceleration", PropertyInfo::FLOAT),
                                                        PropertyInfo("discrete_step", PropertyInfo::INT),
                                                        PropertyInfo("reset", PropertyInfo::BOOL),
                                                        PropertyInfo("inherit_value", PropertyInfo::BOOL),
                                                        PropertyInfo("target", PropertyInfo::FLOAT),
                                                        PropertyInfo("time", PropertyInfo::FLOAT),
                                                    });
        }
        return descriptions;
    }

    hstring Animator::getProperty(const hstring& name)
    {
        if (name == "function" || name == "func")
        {
            int number = (int)function;
            return number >= 0 && number < functionCount ? hstring(functionNames[number]) : hstring("custom");
        }
        if (name == "timer")
            return formatString("%f", timer);
        if (name == "delay")
            return formatString("%f", delay);
        if (name == "periods")
            return formatString("%f", periods);
        if (name == "amplitude")
            return formatString("%f", amplitude);
        if (name == "peak_to_peak")
            return formatString("%f", amplitude * 2.0f);
        if (name == "speed")
            return formatString("%f", speed);
        if (name == "offset")
            return formatString("%f", offset);
        if (name == "acceleration")
            return formatString("%f", acceleration);
        if (name == "discrete_step")
            return formatString("%d", discreteStep);
        if (name == "reset")
            return formatString("%d", (int)reset);
        if (name == "inherit_value")
            return formatString("%d", (int)inheritValue);
        if (name == "target")
            return formatString("%f", target);
        return Object::getProperty(name);
    }

    bool Animator::setProperty(const hstring& name, const hstring& value)
    {
        if (name == "function" || name == "func")
        {
            // An unknown name keeps the function and still counts as handled.
            for (int i = 0; i < functionCount; ++i)
            {
                if (value == functionNames[i])
                {
                    function = (AnimationFunction)i;
                }
            }
            if (value == "custom")
            {
                function = AnimationFunction::Custom;
            }
            return true;
        }
        if (name == "timer")
            timer = value.toFloat();
        else if (name == "delay")
            delay = value.toFloat();
        else if (name == "periods")
            periods = value.toFloat();
        else if (name == "amplitude")
            amplitude = value.toFloat();
        else if (name == "peak_to_peak")
            amplitude = value.toFloat() * 0.5f;
        else if (name == "speed")
            speed = value.toFloat();
        else if (name == "offset")
            offset = value.toFloat();
        else if (name == "acceleration")
            acceleration = value.toFloat();
        else if (name == "discrete_step")
            discreteStep = value.toInt();
        else if (name == "reset")
            reset = value.toBool();
        else if (name == "inherit_value")
            inheritValue = value.toBool();
        else if (name == "target")
        {
            target = value.toFloat();
            useTarget = true;
            inheritValue = true;
        }
        else if (name == "time")
            setTime(value.toFloat());
        else
            return Object::setProperty(name, value);
        return true;
    }
} // namespace tesraui
