#include <algorithm>
#include <cmath>

#include <quortypes/Log.h>
#include <quortypes/util.h>
#include <tesraui/Animator.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    static const float degreesToRadians = 3.14159265358979f / 180.0f;

    // Rounds down, not towards zero: -2.5 with a step of 10 gives -10.
    static float floorToStep(float value, int step)
    {
        return step != 0 ? std::floor(value / (float)step) * (float)step : value;
    }

    Animator::Animator(const hstring& name) : Object(name, kavtypes::Rectangle(0.0f, 0.0f, 1.0f, 1.0f)) {}

    void Animator::notifyEvent(const hstring& type, void* args)
    {
        if (type == "AttachToObject" || (type == "OnDelayEnd" && inheritValue))
        {
            value = getObjectValue();
            offset = value;
            if (useTarget)
            {
                amplitude = target - value;
            }
        }
        Object::notifyEvent(type, args);
    }

    bool Animator::isExpired()
    {
        if (!enabled)
        {
            return true;
        }
        return periods >= 0.0f && std::fabs(speed) * timer > periods;
    }

    bool Animator::isAnimated()
    {
        if (!enabled)
        {
            return false;
        }
        if (function == AnimationFunction::Hover)
        {
            return true;
        }
        return delay <= 0.0f && !isExpired();
    }

    bool Animator::isWaitingAnimation()
    {
        if (!enabled)
        {
            return false;
        }
        if (function == AnimationFunction::Hover || periods < 0.0f)
        {
            return true;
        }
        return !(std::fabs(speed) * timer > periods);
    }

    void Animator::setTime(float seconds)
    {
        if (seconds > 0.0f)
        {
            speed = 1.0f / seconds;
        }
        else
        {
            quortypes::Log::warn(logTag, "Cannot set \"time\" to 0 or less.");
        }
    }

    void Animator::update(float timeDelta)
    {
        this->timeDelta = timeDelta;
        // Animators rarely have children or animators of their own: the walk is skipped when there is
        // nothing to walk (it would only clear the empty cursor cache).
        if (children.size() > 0 || dynamicAnimators.size() > 0 || childUnderCursorValid)
        {
            Object::update(timeDelta);
        }
        if (!enabled)
        {
            return;
        }
        if (delay > 0.0f)
        {
            delay -= timeDelta;
            if (delay > 0.0f)
            {
                return;
            }
            notifyEvent("OnDelayEnd", nullptr);
            // The part of the step that came after the delay ran out.
            this->timeDelta += delay;
        }
        timer += this->timeDelta;
        if (!quortypes::equalsApprox(acceleration, 0.0f, 0.01f))
        {
            speed += acceleration * this->timeDelta;
        }
    }

    bool Animator::_checkUpdate(float timeDelta)
    {
        bool delayRunning = delay > 0.0f;
        bool wasAnimated = isAnimated();
        Animator::update(timeDelta);
        return wasAnimated || isAnimated() || (delayRunning && delay <= 0.0f);
    }

    float Animator::_calculateValue(float timeDelta)
    {
        if (delay > 0.0f)
        {
            return floorToStep(offset, discreteStep);
        }
        float time = timer;
        if (!enabled || (periods >= 0.0f && std::fabs(speed) * timer > periods))
        {
            if (reset)
            {
                return floorToStep(offset, discreteStep);
            }
            // An endless animator has no end to jump to and holds where it is; without speed the run has no
            // length (periods / 0 would be written into the parent as infinity or NaN).
            if (periods >= 0.0f)
            {
                time = speed != 0.0f ? periods / std::fabs(speed) : 0.0f;
            }
        }
        float t = speed * time;
        if (std::isinf(speed) && periods >= 0.0f)
        {
            // Any time at all covers the whole run (infinity x 0 would give NaN at the start).
            t = std::copysign(periods, speed);
        }
        float v = 0.0f;
        switch (function)
        {
        case AnimationFunction::Linear:
            v = t * amplitude;
            break;
        case AnimationFunction::Sine:
            v = std::sin(t * 360.0f * degreesToRadians) * amplitude;
            break;
        case AnimationFunction::Square:
            v = quortypes::modPositive(t, 1.0f) < 0.5f ? amplitude : -amplitude;
            break;
        case AnimationFunction::Saw:
            v = (quortypes::modPositive(t + 0.5f, 1.0f) - 0.5f) * 2.0f * amplitude;
            break;
        case AnimationFunction::Triangle:
        {
            float phase = quortypes::modPositive(t, 1.0f);
            if (phase >= 0.25f && phase < 0.75f)
            {
                v = (quortypes::modPositive(t - 0.25f, 1.0f) - 0.25f) * -4.0f * amplitude;
            }
            else
            {
                v = (quortypes::modPositive(t + 0.5f, 1.0f) - 0.5f) * 4.0f * amplitude;
            }
            break;
        }
        case AnimationFunction::Random:
        {
            float range = speed * amplitude;
            v = quortypes::randomFloat(-range, range);
            break;
        }
        case AnimationFunction::Hover:
        {
            // The distance already covered, moved by speed units per second towards one end.
            v = value - offset;
            float step = speed * timeDelta;
            float limit = std::fabs(amplitude);
            bool inside = parent != nullptr && parent->isCursorInside();
            v = (amplitude >= 0.0f) == inside ? std::min(v + step, limit) : std::max(v - step, -limit);
            break;
        }
        case AnimationFunction::Custom:
            if (customFunction == nullptr)
            {
                v = value;
                break;
            }
            {
                // Foreign code: it may delete this animator, or its parent with it.
                LifeToken::Watch alive = watchLife();
                v = customFunction(this, time);
                if (!alive.isAlive())
                {
                    return NAN;
                }
            }
            break;
        }
        return floorToStep(offset + v, discreteStep);
    }

    void Animator::_valueUpdateSimple(float timeDelta)
    {
        if (!_checkUpdate(timeDelta))
        {
            return;
        }
        value = getObjectValue();
        float result = _calculateValue(this->timeDelta);
        if (std::isnan(result))
        {
            return;
        }
        value = result;
        setObjectValue(result);
    }

    void Animator::_valueUpdateUChar(float timeDelta)
    {
        if (!_checkUpdate(timeDelta))
        {
            return;
        }
        float result = _calculateValue(this->timeDelta);
        if (std::isnan(result))
        {
            return;
        }
        value = std::min(std::max(result, 0.0f), 255.0f);
        if (parent != nullptr && (unsigned char)value != (unsigned char)getObjectValue())
        {
            setObjectValue(value);
        }
    }
} // namespace tesraui
