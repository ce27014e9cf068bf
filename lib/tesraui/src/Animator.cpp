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
        if (type == "AttachToObject" || (type == "OnDelayEnd" && this->inheritValue))
        {
            this->value = this->getObjectValue();
            this->offset = this->value;
            if (this->useTarget)
            {
                this->amplitude = this->target - this->value;
            }
        }
        Object::notifyEvent(type, args);
    }

    bool Animator::isExpired()
    {
        if (!this->enabled)
        {
            return true;
        }
        return this->periods >= 0.0f && std::fabs(this->speed) * this->timer > this->periods;
    }

    bool Animator::isAnimated()
    {
        if (!this->enabled)
        {
            return false;
        }
        if (this->function == AnimationFunction::Hover)
        {
            return true;
        }
        return this->delay <= 0.0f && !this->isExpired();
    }

    bool Animator::isWaitingAnimation()
    {
        if (!this->enabled)
        {
            return false;
        }
        if (this->function == AnimationFunction::Hover || this->periods < 0.0f)
        {
            return true;
        }
        return !(std::fabs(this->speed) * this->timer > this->periods);
    }

    void Animator::setTime(float seconds)
    {
        if (seconds > 0.0f)
        {
            this->speed = 1.0f / seconds;
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
        if (this->children.size() > 0 || this->dynamicAnimators.size() > 0 || this->childUnderCursorValid)
        {
            Object::update(timeDelta);
        }
        if (!this->enabled)
        {
            return;
        }
        if (this->delay > 0.0f)
        {
            this->delay -= timeDelta;
            if (this->delay > 0.0f)
            {
                return;
            }
            this->notifyEvent("OnDelayEnd", nullptr);
            // The part of the step that came after the delay ran out.
            this->timeDelta += this->delay;
        }
        this->timer += this->timeDelta;
        if (!quortypes::equalsApprox(this->acceleration, 0.0f, 0.01f))
        {
            this->speed += this->acceleration * this->timeDelta;
        }
    }

    bool Animator::_checkUpdate(float timeDelta)
    {
        bool delayRunning = this->delay > 0.0f;
        bool wasAnimated = this->isAnimated();
        Animator::update(timeDelta);
        return wasAnimated || this->isAnimated() || (delayRunning && this->delay <= 0.0f);
    }

    float Animator::_calculateValue(float timeDelta)
    {
        if (this->delay > 0.0f)
        {
            return floorToStep(this->offset, this->discreteStep);
        }
        float time = this->timer;
        if (!this->enabled || (this->periods >= 0.0f && std::fabs(this->speed) * this->timer > this->periods))
        {
            if (this->reset)
            {
                return floorToStep(this->offset, this->discreteStep);
            }
            // An endless animator has no end to jump to and holds where it is; without speed the run has no
            // length (periods / 0 would be written into the parent as infinity or NaN).
            if (this->periods >= 0.0f)
            {
                time = this->speed != 0.0f ? this->periods / std::fabs(this->speed) : 0.0f;
            }
        }
        float t = this->speed * time;
        if (std::isinf(this->speed) && this->periods >= 0.0f)
        {
            // Any time at all covers the whole run (infinity x 0 would give NaN at the start).
            t = std::copysign(this->periods, this->speed);
        }
        float v = 0.0f;
        switch (this->function)
        {
        case AnimationFunction::Linear:
            v = t * this->amplitude;
            break;
        case AnimationFunction::Sine:
            v = std::sin(t * 360.0f * degreesToRadians) * this->amplitude;
            break;
        case AnimationFunction::Square:
            v = quortypes::modPositive(t, 1.0f) < 0.5f ? this->amplitude : -this->amplitude;
            break;
        case AnimationFunction::Saw:
            v = (quortypes::modPositive(t + 0.5f, 1.0f) - 0.5f) * 2.0f * this->amplitude;
            break;
        case AnimationFunction::Triangle:
        {
            float phase = quortypes::modPositive(t, 1.0f);
            if (phase >= 0.25f && phase < 0.75f)
            {
                v = (quortypes::modPositive(t - 0.25f, 1.0f) - 0.25f) * -4.0f * this->amplitude;
            }
            else
            {
                v = (quortypes::modPositive(t + 0.5f, 1.0f) - 0.5f) * 4.0f * this->amplitude;
            }
            break;
        }
        case AnimationFunction::Random:
        {
            float range = this->speed * this->amplitude;
            v = quortypes::randomFloat(-range, range);
            break;
        }
        case AnimationFunction::Hover:
        {
            // The distance already covered, moved by speed units per second towards one end.
            v = this->value - this->offset;
            float step = this->speed * timeDelta;
            float limit = std::fabs(this->amplitude);
            bool inside = this->parent != nullptr && this->parent->isCursorInside();
            v = (this->amplitude >= 0.0f) == inside ? std::min(v + step, limit) : std::max(v - step, -limit);
            break;
        }
        case AnimationFunction::Custom:
            if (this->customFunction == nullptr)
            {
                v = this->value;
                break;
            }
            {
                // Foreign code: it may delete this animator, or its parent with it.
                LifeToken::Watch alive = this->watchLife();
                v = this->customFunction(this, time);
                if (!alive.isAlive())
                {
                    return NAN;
                }
            }
            break;
        }
        return floorToStep(this->offset + v, this->discreteStep);
    }

    void Animator::_valueUpdateSimple(float timeDelta)
    {
        if (!this->_checkUpdate(timeDelta))
        {
            return;
        }
        this->value = this->getObjectValue();
        float result = this->_calculateValue(this->timeDelta);
        if (std::isnan(result))
        {
            return;
        }
        this->value = result;
        this->setObjectValue(result);
    }

    void Animator::_valueUpdateUChar(float timeDelta)
    {
        if (!this->_checkUpdate(timeDelta))
        {
            return;
        }
        float result = this->_calculateValue(this->timeDelta);
        if (std::isnan(result))
        {
            return;
        }
        this->value = std::min(std::max(result, 0.0f), 255.0f);
        if (this->parent != nullptr && (unsigned char)this->value != (unsigned char)this->getObjectValue())
        {
            this->setObjectValue(this->value);
        }
    }
} // namespace tesraui
