#pragma once

#include <tesraui/Object.h>

namespace tesraui
{
    // An object that drives one value of its parent over time; it draws nothing and takes no input.
    class Animator : public Object
    {
    public:
        explicit Animator(const hstring& name);

        hstring getClassName() const override { return "Animator"; }
        // An object deletes its dynamic animators once they report this.
        virtual bool isExpired() { return false; }
        virtual float getObjectValue() = 0;
        virtual void setObjectValue(float value) = 0;
    };
} // namespace tesraui
