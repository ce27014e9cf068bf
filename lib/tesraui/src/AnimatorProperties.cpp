#include <tesraui/Animator.h>

namespace tesraui
{
    // Indexed by the function's number; the numbers past the table read "custom".
    static const char* const functionNames[] = {"linear",   "sine",   "square", "saw",
                                                "triangle", "random", "hover"};
    static const int functionCount = sizeof(functionNames) / sizeof(functionNames[0]);

    const PropertyTable<Animator>& Animator::_properties()
    {
        using Table = PropertyTable<Animator>;
        const auto functionName = [](Animator& animator)
        {
            int number = (int)animator.function;
            return number >= 0 && number < functionCount ? hstring(functionNames[number]) : hstring("custom");
        };
        // An unknown name keeps the function and still counts as taken.
        const auto setFunction = [](Animator& animator, const hstring& value)
        {
            for (int i = 0; i < functionCount; ++i)
            {
                if (value == functionNames[i])
                {
                    animator.function = (AnimationFunction)i;
                }
            }
            if (value == "custom")
            {
                animator.function = AnimationFunction::Custom;
            }
        };
        static const Table table = {
            {"function", PropertyInfo::ENUM, functionName, setFunction},
            {"func", PropertyInfo::ENUM, functionName, setFunction},
            Table::floatRow("timer", &Animator::timer),
            Table::floatRow("delay", &Animator::delay),
            Table::floatRow("periods", &Animator::periods),
            Table::floatRow("amplitude", &Animator::amplitude),
            {"peak_to_peak", PropertyInfo::FLOAT,
             [](Animator& animator) { return hstring(animator.amplitude * 2.0f); },
             [](Animator& animator, const hstring& value) { animator.amplitude = value.toFloat() * 0.5f; }},
            Table::floatRow("speed", &Animator::speed),
            Table::floatRow("offset", &Animator::offset),
            Table::floatRow("acceleration", &Animator::acceleration),
            Table::intRow("discrete_step", &Animator::discreteStep),
            Table::flagRow("reset", &Animator::reset),
            Table::flagRow("inherit_value", &Animator::inheritValue),
            {"target", PropertyInfo::FLOAT, [](Animator& animator) { return hstring(animator.target); },
             [](Animator& animator, const hstring& value)
             {
                 animator.target = value.toFloat();
                 animator.useTarget = true;
                 animator.inheritValue = true;
             }},
            // Written only, as a speed.
            {"time", PropertyInfo::FLOAT, nullptr,
             [](Animator& animator, const hstring& value) { animator.setTime(value.toFloat()); }},
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(Animator, Object, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(Animator, Object, _properties)
} // namespace tesraui
