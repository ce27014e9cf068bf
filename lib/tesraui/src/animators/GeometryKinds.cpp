#include <tesraui/Animators.h>

// Movers, resizers, the rotator and the scalers: a plain float of the parent each. Without a parent they
// read 0 and write nothing.
namespace tesraui
{
    namespace Animators
    {
        Animator* MoverX::createInstance(const hstring& name)
        {
            return new MoverX(name);
        }

        float MoverX::getObjectValue()
        {
            return parent != nullptr ? parent->getX() : 0.0f;
        }

        void MoverX::setObjectValue(float value)
        {
            if (parent != nullptr)
            {
                parent->setX(value);
            }
        }

        Animator* MoverY::createInstance(const hstring& name)
        {
            return new MoverY(name);
        }

        float MoverY::getObjectValue()
        {
            return parent != nullptr ? parent->getY() : 0.0f;
        }

        void MoverY::setObjectValue(float value)
        {
            if (parent != nullptr)
            {
                parent->setY(value);
            }
        }

        Animator* ResizerX::createInstance(const hstring& name)
        {
            return new ResizerX(name);
        }

        float ResizerX::getObjectValue()
        {
            return parent != nullptr ? parent->getWidth() : 0.0f;
        }

        void ResizerX::setObjectValue(float value)
        {
            if (parent != nullptr)
            {
                parent->setWidth(value);
            }
        }

        Animator* ResizerY::createInstance(const hstring& name)
        {
            return new ResizerY(name);
        }

        float ResizerY::getObjectValue()
        {
            return parent != nullptr ? parent->getHeight() : 0.0f;
        }

        void ResizerY::setObjectValue(float value)
        {
            if (parent != nullptr)
            {
                parent->setHeight(value);
            }
        }

        Animator* Rotator::createInstance(const hstring& name)
        {
            return new Rotator(name);
        }

        float Rotator::getObjectValue()
        {
            return parent != nullptr ? parent->getAngle() : 0.0f;
        }

        void Rotator::setObjectValue(float value)
        {
            if (parent != nullptr)
            {
                parent->setAngle(value);
            }
        }

        Animator* ScalerX::createInstance(const hstring& name)
        {
            return new ScalerX(name);
        }

        float ScalerX::getObjectValue()
        {
            return parent != nullptr ? parent->getScaleX() : 0.0f;
        }

        void ScalerX::setObjectValue(float value)
        {
            if (parent != nullptr)
            {
                parent->setScaleX(value);
            }
        }

        Animator* ScalerY::createInstance(const hstring& name)
        {
            return new ScalerY(name);
        }

        float ScalerY::getObjectValue()
        {
            return parent != nullptr ? parent->getScaleY() : 0.0f;
        }

        void ScalerY::setObjectValue(float value)
        {
            if (parent != nullptr)
            {
                parent->setScaleY(value);
            }
        }
    } // namespace Animators
} // namespace tesraui
