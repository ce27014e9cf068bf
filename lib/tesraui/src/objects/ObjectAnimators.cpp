#include <cmath>

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
                              objectName.c_str());
        return true;
    }

    template <class T> static Animator* newAnimator()
    {
        return new T(tesra::generateName("dynamic_animator_"));
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
        for (int i = 0; i < dynamicAnimators.size();)
        {
            if (isOfKind(dynamicAnimators[i]))
            {
                delete dynamicAnimators.removeAt(i);
            }
            else
            {
                ++i;
            }
        }
    }

    Animator* Object::_addDynamicAnimator(Animator* animator, float speed)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        dynamicAnimators.push_back(animator);
        animator->setSpeed(speed);
        animator->setPeriods(1.0f);
        // It drives this object without being one of its children: never drawn, hit-tested or registered.
        animator->parent = this;
        return animator;
    }

    Animator* Object::fadeAlpha(unsigned char target, float speed)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        _removeDynamicAnimators(&isKind<AlphaChanger>);
        return aimNow(_addDynamicAnimator(newAnimator<AlphaChanger>(), speed), color.a, target);
    }

    Animator* Object::fadeAlphaQueue(unsigned char target, float speed, float delay)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        return aimQueued(_addDynamicAnimator(newAnimator<AlphaChanger>(), speed), color.a, target, delay);
    }

    void Object::fadeAlphaStop()
    {
        _removeDynamicAnimators(&isKind<AlphaChanger>);
    }

    Animator* Object::fadeRed(unsigned char target, float speed)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        _removeDynamicAnimators(&isKind<RedChanger>);
        return aimNow(_addDynamicAnimator(newAnimator<RedChanger>(), speed), color.r, target);
    }

    Animator* Object::fadeGreen(unsigned char target, float speed)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        _removeDynamicAnimators(&isKind<GreenChanger>);
        return aimNow(_addDynamicAnimator(newAnimator<GreenChanger>(), speed), color.g, target);
    }

    Animator* Object::fadeBlue(unsigned char target, float speed)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        _removeDynamicAnimators(&isKind<BlueChanger>);
        return aimNow(_addDynamicAnimator(newAnimator<BlueChanger>(), speed), color.b, target);
    }

    void Object::fadeColorStop()
    {
        _removeDynamicAnimators(&isKind<RedChanger>);
        _removeDynamicAnimators(&isKind<GreenChanger>);
        _removeDynamicAnimators(&isKind<BlueChanger>);
        _removeDynamicAnimators(&isKind<AlphaChanger>);
    }

    void Object::move(float x, float y, float speed)
    {
        if (isRefusedSpeed(speed, name))
        {
            return;
        }
        _removeDynamicAnimators(&isKind<MoverX>);
        _removeDynamicAnimators(&isKind<MoverY>);
        aimNow(_addDynamicAnimator(newAnimator<MoverX>(), speed), rect.x, x);
        aimNow(_addDynamicAnimator(newAnimator<MoverY>(), speed), rect.y, y);
    }

    void Object::moveQueue(float x, float y, float speed, float delay)
    {
        if (isRefusedSpeed(speed, name))
        {
            return;
        }
        aimQueued(_addDynamicAnimator(newAnimator<MoverX>(), speed), rect.x, x, delay);
        aimQueued(_addDynamicAnimator(newAnimator<MoverY>(), speed), rect.y, y, delay);
    }

    void Object::moveStop()
    {
        _removeDynamicAnimators(&isKind<MoverX>);
        _removeDynamicAnimators(&isKind<MoverY>);
    }

    Animator* Object::moveX(float x, float speed)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        _removeDynamicAnimators(&isKind<MoverX>);
        return aimNow(_addDynamicAnimator(newAnimator<MoverX>(), speed), rect.x, x);
    }

    Animator* Object::moveXQueue(float x, float speed, float delay)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        return aimQueued(_addDynamicAnimator(newAnimator<MoverX>(), speed), rect.x, x, delay);
    }

    void Object::moveXStop()
    {
        _removeDynamicAnimators(&isKind<MoverX>);
    }

    Animator* Object::moveY(float y, float speed)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        _removeDynamicAnimators(&isKind<MoverY>);
        return aimNow(_addDynamicAnimator(newAnimator<MoverY>(), speed), rect.y, y);
    }

    Animator* Object::moveYQueue(float y, float speed, float delay)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        return aimQueued(_addDynamicAnimator(newAnimator<MoverY>(), speed), rect.y, y, delay);
    }

    void Object::moveYStop()
    {
        _removeDynamicAnimators(&isKind<MoverY>);
    }

    Animator* Object::animateY(float offset, float amplitude, float speed, int function, float phase,
                               float periods)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        _removeDynamicAnimators(&isKind<MoverY>);
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
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        _removeDynamicAnimators(&isKind<ResizerX>);
        return aimNow(_addDynamicAnimator(newAnimator<ResizerX>(), speed), rect.w, w);
    }

    Animator* Object::resizeXQueue(float w, float speed, float delay)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        return aimQueued(_addDynamicAnimator(newAnimator<ResizerX>(), speed), rect.w, w, delay);
    }

    void Object::resizeXStop()
    {
        _removeDynamicAnimators(&isKind<ResizerX>);
    }

    Animator* Object::resizeY(float h, float speed)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        _removeDynamicAnimators(&isKind<ResizerY>);
        return aimNow(_addDynamicAnimator(newAnimator<ResizerY>(), speed), rect.h, h);
    }

    Animator* Object::resizeYQueue(float h, float speed, float delay)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        return aimQueued(_addDynamicAnimator(newAnimator<ResizerY>(), speed), rect.h, h, delay);
    }

    void Object::resizeYStop()
    {
        _removeDynamicAnimators(&isKind<ResizerY>);
    }

    void Object::resizeStop()
    {
        _removeDynamicAnimators(&isKind<ResizerX>);
        _removeDynamicAnimators(&isKind<ResizerY>);
    }

    Animator* Object::rotate(float angle, float speed)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        _removeDynamicAnimators(&isKind<Rotator>);
        return aimNow(_addDynamicAnimator(newAnimator<Rotator>(), speed), this->angle, angle);
    }

    Animator* Object::rotateQueue(float angle, float speed, float delay)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        return aimQueued(_addDynamicAnimator(newAnimator<Rotator>(), speed), this->angle, angle, delay);
    }

    void Object::rotateStop()
    {
        _removeDynamicAnimators(&isKind<Rotator>);
    }

    void Object::scale(float x, float y, float speed)
    {
        if (isRefusedSpeed(speed, name))
        {
            return;
        }
        _removeDynamicAnimators(&isKind<ScalerX>);
        _removeDynamicAnimators(&isKind<ScalerY>);
        aimNow(_addDynamicAnimator(newAnimator<ScalerX>(), speed), scaleFactor.x, x);
        aimNow(_addDynamicAnimator(newAnimator<ScalerY>(), speed), scaleFactor.y, y);
    }

    void Object::scaleQueue(float x, float y, float speed, float delay)
    {
        if (isRefusedSpeed(speed, name))
        {
            return;
        }
        aimQueued(_addDynamicAnimator(newAnimator<ScalerX>(), speed), scaleFactor.x, x, delay);
        aimQueued(_addDynamicAnimator(newAnimator<ScalerY>(), speed), scaleFactor.y, y, delay);
    }

    void Object::scaleStop()
    {
        _removeDynamicAnimators(&isKind<ScalerX>);
        _removeDynamicAnimators(&isKind<ScalerY>);
    }

    Animator* Object::scaleX(float x, float speed)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        _removeDynamicAnimators(&isKind<ScalerX>);
        return aimNow(_addDynamicAnimator(newAnimator<ScalerX>(), speed), scaleFactor.x, x);
    }

    Animator* Object::scaleXQueue(float x, float speed, float delay)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        return aimQueued(_addDynamicAnimator(newAnimator<ScalerX>(), speed), scaleFactor.x, x, delay);
    }

    void Object::scaleXStop()
    {
        _removeDynamicAnimators(&isKind<ScalerX>);
    }

    Animator* Object::scaleY(float y, float speed)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        _removeDynamicAnimators(&isKind<ScalerY>);
        return aimNow(_addDynamicAnimator(newAnimator<ScalerY>(), speed), scaleFactor.y, y);
    }

    Animator* Object::scaleYQueue(float y, float speed, float delay)
    {
        if (isRefusedSpeed(speed, name))
        {
            return nullptr;
        }
        return aimQueued(_addDynamicAnimator(newAnimator<ScalerY>(), speed), scaleFactor.y, y, delay);
    }

    void Object::scaleYStop()
    {
        _removeDynamicAnimators(&isKind<ScalerY>);
    }
} // namespace tesraui
