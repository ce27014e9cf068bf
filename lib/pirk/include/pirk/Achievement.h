#pragma once

#include <quortypes/hstring.h>

namespace pirk
{
    // One achievement: its key and how far it is done, in percent.
    class Achievement
    {
    public:
        Achievement(const hstring& name, float progress) : name(name), progress(progress) {}
        virtual ~Achievement() = default;

        virtual hstring getName() { return this->name; }
        virtual float getProgress() { return this->progress; }
        virtual void setProgress(float value) { this->progress = value; }
        // Within 0.01 of 100, strictly.
        virtual bool isCompleted();

    protected:
        hstring name;
        float progress;
    };
} // namespace pirk
