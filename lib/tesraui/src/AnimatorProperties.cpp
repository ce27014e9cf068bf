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
            int number = (int)this->function;
            return number >= 0 && number < functionCount ? hstring(functionNames[number]) : hstring("custom");
        }
        if (name == "timer")
            return formatString("%f", this->timer);
        if (name == "delay")
            return formatString("%f", this->delay);
        if (name == "periods")
            return formatString("%f", this->periods);
        if (name == "amplitude")
            return formatString("%f", this->amplitude);
        if (name == "peak_to_peak")
            return formatString("%f", this->amplitude * 2.0f);
        if (name == "speed")
            return formatString("%f", this->speed);
        if (name == "offset")
            return formatString("%f", this->offset);
        if (name == "acceleration")
            return formatString("%f", this->acceleration);
        if (name == "discrete_step")
            return formatString("%d", this->discreteStep);
        if (name == "reset")
            return formatString("%d", (int)this->reset);
        if (name == "inherit_value")
            return formatString("%d", (int)this->inheritValue);
        if (name == "target")
            return formatString("%f", this->target);
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
                    this->function = (AnimationFunction)i;
                }
            }
            if (value == "custom")
            {
                this->function = AnimationFunction::Custom;
            }
            return true;
        }
        if (name == "timer")
            this->timer = value.toFloat();
        else if (name == "delay")
            this->delay = value.toFloat();
        else if (name == "periods")
            this->periods = value.toFloat();
        else if (name == "amplitude")
            this->amplitude = value.toFloat();
        else if (name == "peak_to_peak")
            this->amplitude = value.toFloat() * 0.5f;
        else if (name == "speed")
            this->speed = value.toFloat();
        else if (name == "offset")
            this->offset = value.toFloat();
        else if (name == "acceleration")
            this->acceleration = value.toFloat();
        else if (name == "discrete_step")
            this->discreteStep = value.toInt();
        else if (name == "reset")
            this->reset = value.toBool();
        else if (name == "inherit_value")
            this->inheritValue = value.toBool();
        else if (name == "target")
        {
            this->target = value.toFloat();
            this->useTarget = true;
            this->inheritValue = true;
        }
        else if (name == "time")
            this->setTime(value.toFloat());
        else
            return Object::setProperty(name, value);
        return true;
    }
} // namespace tesraui
