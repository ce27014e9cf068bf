#include <cmath>
#include <memory>
#include <utility>

#include <quortypes/Log.h>
#include <tesra/tesra.h>
#include <tesraui/Animators.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

// The dynamic animators' families: start replaces the animators of its kind, queue adds one, stop removes
// them all.
namespace tesraui
{
    using namespace Animators;

    template <class T> static bool isKind(Animator* animator)
    {
        return dynamic_cast<T*>(animator) != nullptr;
    }

    // An infinite speed ends at the target at once; NaN has no meaning as a speed and would hand NaN to
    // the property.
    static bool isRefusedSpeed(float speed, const hstring& objectName)
    {
        if (!std::isnan(speed))
        {
            return false;
        }
        quortypes::Log::warnf(logTag, "Object '%s': an animation speed that is not a number is refused.",
                              quortypes::Log::quote(objectName).c_str());
        return true;
    }

    template <class T> static std::unique_ptr<Animator> newAnimator()
    {
        return std::make_unique<T>(tesra::generateName("dynamic_animator_"));
    }

    // From the current value to the target.
    static Animator* aimNow(Animator* animator, float value, float target)
    {
        animator->setOffset(value);
        animator->setAmplitude(target - value);
        return animator;
    }

    // With a delay the animator takes the value when its delay ends, from wherever running animations left
    // it.
    static Animator* aimQueued(Animator* animator, float value, float target, float delay)
    {
        if (delay == 0.0f)
        {
            return aimNow(animator, value, target);
        }
        animator->setTarget(target);
        animator->setUseTarget(true);
        animator->setInheritValue(true);
        animator->setDelay(delay);
        return animator;
    }

    void Object::_removeDynamicAnimators(bool (*isOfKind)(Animator*))
    {
        for (size_t i = 0; i < dynamicAnimators.size();)
        {
            if (isOfKind(dynamicAnimators[i].get()))
            {
                // Out of the list before it goes.
                std::unique_ptr<Animator> removed = std::move(dynamicAnimators[i]);
                dynamicAnimators.erase(dynamicAnimators.begin() + i);
            }
            else
            {
                ++i;
            }
        }
    }

    Animator* Object::_addDynamicAnimator(std::unique_ptr<Animator> added, float speed)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        Animator* animator = added.get();
        dynamicAnimators.push_back(std::move(added));
        animator->setSpeed(speed);
        animator->setPeriods(1.0f);
        // It drives this object without being one of its children: never drawn, hit-tested or registered.
        animator->parent = this;
        return animator;
    }

    template <class Kind> Animator* Object::_startDynamicAnimator(float value, float target, float speed)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        _removeDynamicAnimators(&isKind<Kind>);
        return aimNow(_addDynamicAnimator(newAnimator<Kind>(), speed), value, target);
    }

    template <class Kind>
    Animator* Object::_queueDynamicAnimator(float value, float target, float speed, float delay)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        return aimQueued(_addDynamicAnimator(newAnimator<Kind>(), speed), value, target, delay);
    }

    template <class Kind> void Object::_stopDynamicAnimators()
    {
        _removeDynamicAnimators(&isKind<Kind>);
    }

    Animator* Object::fadeAlpha(unsigned char target, float speed)
    {
        return _startDynamicAnimator<AlphaChanger>(color.a, target, speed);
    }

    Animator* Object::fadeAlphaQueue(unsigned char target, float speed, float delay)
    {
        return _queueDynamicAnimator<AlphaChanger>(color.a, target, speed, delay);
    }

    void Object::fadeAlphaStop()
    {
        _stopDynamicAnimators<AlphaChanger>();
    }

    Animator* Object::fadeRed(unsigned char target, float speed)
    {
        return _startDynamicAnimator<RedChanger>(color.r, target, speed);
    }

    Animator* Object::fadeGreen(unsigned char target, float speed)
    {
        return _startDynamicAnimator<GreenChanger>(color.g, target, speed);
    }

    Animator* Object::fadeBlue(unsigned char target, float speed)
    {
        return _startDynamicAnimator<BlueChanger>(color.b, target, speed);
    }

    void Object::fadeColorStop()
    {
        _stopDynamicAnimators<RedChanger>();
        _stopDynamicAnimators<GreenChanger>();
        _stopDynamicAnimators<BlueChanger>();
        _stopDynamicAnimators<AlphaChanger>();
    }

    void Object::move(float x, float y, float speed)
    {
        if (isRefusedSpeed(speed, name))
        {
            return;
        }
        _startDynamicAnimator<MoverX>(rect.x, x, speed);
        _startDynamicAnimator<MoverY>(rect.y, y, speed);
    }

    void Object::moveQueue(float x, float y, float speed, float delay)
    {
        if (isRefusedSpeed(speed, name))
        {
            return;
        }
        _queueDynamicAnimator<MoverX>(rect.x, x, speed, delay);
        _queueDynamicAnimator<MoverY>(rect.y, y, speed, delay);
    }

    void Object::moveStop()
    {
        _stopDynamicAnimators<MoverX>();
        _stopDynamicAnimators<MoverY>();
    }

    Animator* Object::moveX(float x, float speed)
    {
        return _startDynamicAnimator<MoverX>(rect.x, x, speed);
    }

    Animator* Object::moveXQueue(float x, float speed, float delay)
    {
        return _queueDynamicAnimator<MoverX>(rect.x, x, speed, delay);
    }

    void Object::moveXStop()
    {
        _stopDynamicAnimators<MoverX>();
    }

    Animator* Object::moveY(float y, float speed)
    {
        return _startDynamicAnimator<MoverY>(rect.y, y, speed);
    }

    Animator* Object::moveYQueue(float y, float speed, float delay)
    {
        return _queueDynamicAnimator<MoverY>(rect.y, y, speed, delay);
    }

    void Object::moveYStop()
    {
        _stopDynamicAnimators<MoverY>();
    }

    Animator* Object::animateY(float offset, float amplitude, float speed, int function, float phase,
                               float periods)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        _stopDynamicAnimators<MoverY>();
        Animator* animator = _addDynamicAnimator(newAnimator<MoverY>(), speed * periods);
        animator->setOffset(offset);
        animator->setAmplitude(amplitude);
        animator->setAnimationFunction((Animator::AnimationFunction)function);
        animator->setPeriods(phase + periods);
        // A run of no length starts at its beginning rather than at phase / 0.
        float runSpeed = speed * periods;
        animator->setTimer(runSpeed != 0.0f ? phase / runSpeed : 0.0f);
        return animator;
    }

    Animator* Object::resizeX(float w, float speed)
    {
        return _startDynamicAnimator<ResizerX>(rect.w, w, speed);
    }

    Animator* Object::resizeXQueue(float w, float speed, float delay)
    {
        return _queueDynamicAnimator<ResizerX>(rect.w, w, speed, delay);
    }

    void Object::resizeXStop()
    {
        _stopDynamicAnimators<ResizerX>();
    }

    Animator* Object::resizeY(float h, float speed)
    {
        return _startDynamicAnimator<ResizerY>(rect.h, h, speed);
    }

    Animator* Object::resizeYQueue(float h, float speed, float delay)
    {
        return _queueDynamicAnimator<ResizerY>(rect.h, h, speed, delay);
    }

    void Object::resizeYStop()
    {
        _stopDynamicAnimators<ResizerY>();
    }

    void Object::resizeStop()
    {
        _stopDynamicAnimators<ResizerX>();
        _stopDynamicAnimators<ResizerY>();
    }

    Animator* Object::rotate(float angle, float speed)
    {
        return _startDynamicAnimator<Rotator>(this->angle, angle, speed);
    }

    Animator* Object::rotateQueue(float angle, float speed, float delay)
    {
        return _queueDynamicAnimator<Rotator>(this->angle, angle, speed, delay);
    }

    void Object::rotateStop()
    {
        _stopDynamicAnimators<Rotator>();
    }

    void Object::scale(float x, float y, float speed)
    {
        if (isRefusedSpeed(speed, name))
        {
            return;
        }
        _startDynamicAnimator<ScalerX>(scaleFactor.x, x, speed);
        _startDynamicAnimator<ScalerY>(scaleFactor.y, y, speed);
    }

    void Object::scaleQueue(float x, float y, float speed, float delay)
    {
        if (isRefusedSpeed(speed, name))
        {
            return;
        }
        _queueDynamicAnimator<ScalerX>(scaleFactor.x, x, speed, delay);
        _queueDynamicAnimator<ScalerY>(scaleFactor.y, y, speed, delay);
    }

    void Object::scaleStop()
    {
        _stopDynamicAnimators<ScalerX>();
        _stopDynamicAnimators<ScalerY>();
    }

    Animator* Object::scaleX(float x, float speed)
    {
        return _startDynamicAnimator<ScalerX>(scaleFactor.x, x, speed);
    }

    Animator* Object::scaleXQueue(float x, float speed, float delay)
    {
        return _queueDynamicAnimator<ScalerX>(scaleFactor.x, x, speed, delay);
    }

    void Object::scaleXStop()
    {
        _stopDynamicAnimators<ScalerX>();
    }

    Animator* Object::scaleY(float y, float speed)
    {
        return _startDynamicAnimator<ScalerY>(scaleFactor.y, y, speed);
    }

    Animator* Object::scaleYQueue(float y, float speed, float delay)
    {
        return _queueDynamicAnimator<ScalerY>(scaleFactor.y, y, speed, delay);
    }

    void Object::scaleYStop()
    {
        _stopDynamicAnimators<ScalerY>();
    }
} // namespace tesraui
