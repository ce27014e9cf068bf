#pragma once

#include <tesraui/Object.h>

namespace tesraui
{
    // An object that drives one value of its parent over time; it draws nothing and takes no input.
    // The kinds say which value: getObjectValue reads it from the parent, setObjectValue writes it.
    class Animator : public Object
    {
    public:
        // By number; any other number gives 0 and reads "custom".
        enum class AnimationFunction : int
        {
            Linear = 0,
            Sine = 1,
            Square = 2,
            Saw = 3,
            Triangle = 4,
            Random = 5,
            Hover = 6,
            Custom = 7,
        };

        // The value function of the "custom" kind; its owner (the scripting host) deals with its own errors.
        typedef float (*CustomFunction)(Animator* animator, float time);

        explicit Animator(const hstring& name);

        void notifyEvent(const hstring& type, void* args) override;
        hstring getClassName() const override { return "Animator"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        bool isAnimated() override;
        bool isWaitingAnimation() override;
        void update(float timeDelta) override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;

        virtual float getObjectValue() = 0;
        virtual void setObjectValue(float value) = 0;

        // An object deletes its dynamic animators once they report this.
        virtual bool isExpired();
        // The value function at the animator's time. NaN when the custom function gave NaN or deleted this
        // animator: then the caller must not touch the animator any more.
        float _calculateValue(float timeDelta);
        // Above 0 sets the speed to 1 / seconds; anything else only warns.
        void setTime(float seconds);

        float getTimeDelta() const { return timeDelta; }
        float getValue() const { return this->value; }
        void setValue(float value) { this->value = value; }
        AnimationFunction getAnimationFunction() const { return function; }
        void setAnimationFunction(AnimationFunction value) { function = value; }
        float getTimer() const { return timer; }
        void setTimer(float value) { timer = value; }
        float getDelay() const { return delay; }
        void setDelay(float value) { delay = value; }
        float getPeriods() const { return periods; }
        void setPeriods(float value) { periods = value; }
        float getAmplitude() const { return amplitude; }
        void setAmplitude(float value) { amplitude = value; }
        float getSpeed() const { return speed; }
        void setSpeed(float value) { speed = value; }
        float getOffset() const { return offset; }
        void setOffset(float value) { offset = value; }
        float getAcceleration() const { return acceleration; }
        void setAcceleration(float value) { acceleration = value; }
        int getDiscreteStep() const { return discreteStep; }
        void setDiscreteStep(int value) { discreteStep = value; }
        bool isReset() const { return reset; }
        void setReset(bool value) { reset = value; }
        bool isInheritValue() const { return inheritValue; }
        void setInheritValue(bool value) { inheritValue = value; }
        float getTarget() const { return target; }
        void setTarget(float value) { target = value; }
        bool isUseTarget() const { return useTarget; }
        void setUseTarget(bool value) { useTarget = value; }
        CustomFunction getCustomFunction() const { return customFunction; }
        void setCustomFunction(CustomFunction value) { customFunction = value; }

    protected:
        float timeDelta = 0.0f;
        float value = 0.0f;
        AnimationFunction function = AnimationFunction::Linear;
        float timer = 0.0f;
        float delay = 0.0f;
        float periods = 1.0f;
        float amplitude = 0.5f;
        float speed = 1.0f;
        float offset = 0.0f;
        float acceleration = 0.0f;
        int discreteStep = 0;
        bool reset = false;
        bool inheritValue = false;
        float target = 0.0f;
        bool useTarget = false;
        CustomFunction customFunction = nullptr;

        // Runs Animator::update and tells whether the kind writes its value in this step: an animator that
        // has ended writes its end value once and then leaves its parent alone.
        bool _checkUpdate(float timeDelta);
        // Reads the parent first, so that "hover" and "custom" start from the parent's current value.
        void _valueUpdateSimple(float timeDelta);
        // Clamps to 0..255 and writes only a changed byte; "hover" moves from the animator's own value.
        void _valueUpdateUChar(float timeDelta);

    private:
        static const PropertyTable<Animator>& _properties();
    };
} // namespace tesraui
