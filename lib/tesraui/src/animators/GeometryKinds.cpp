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
            return this->parent != nullptr ? this->parent->getX() : 0.0f;
        }

        void MoverX::setObjectValue(float value)
        {
            if (this->parent != nullptr)
            {
                this->parent->setX(value);
            }
        }

        Animator* MoverY::createInstance(const hstring& name)
        {
            return new MoverY(name);
        }

        float MoverY::getObjectValue()
        {
            return this->parent != nullptr ? this->parent->getY() : 0.0f;
        }

        void MoverY::setObjectValue(float value)
        {
            if (this->parent != nullptr)
            {
                this->parent->setY(value);
            }
        }

        Animator* ResizerX::createInstance(const hstring& name)
        {
            return new ResizerX(name);
        }

        float ResizerX::getObjectValue()
        {
            return this->parent != nullptr ? this->parent->getWidth() : 0.0f;
        }

        void ResizerX::setObjectValue(float value)
        {
            if (this->parent != nullptr)
            {
                this->parent->setWidth(value);
            }
        }

        Animator* ResizerY::createInstance(const hstring& name)
        {
            return new ResizerY(name);
        }

        float ResizerY::getObjectValue()
        {
            return this->parent != nullptr ? this->parent->getHeight() : 0.0f;
        }

        void ResizerY::setObjectValue(float value)
        {
            if (this->parent != nullptr)
            {
                this->parent->setHeight(value);
            }
        }

        Animator* Rotator::createInstance(const hstring& name)
        {
            return new Rotator(name);
        }

        float Rotator::getObjectValue()
        {
            return this->parent != nullptr ? this->parent->getAngle() : 0.0f;
        }

        void Rotator::setObjectValue(float value)
        {
            if (this->parent != nullptr)
            {
                this->parent->setAngle(value);
            }
        }

        Animator* ScalerX::createInstance(const hstring& name)
        {
            return new ScalerX(name);
        }

        float ScalerX::getObjectValue()
        {
            return this->parent != nullptr ? this->parent->getScaleX() : 0.0f;
        }

        void ScalerX::setObjectValue(float value)
        {
            if (this->parent != nullptr)
            {
                this->parent->setScaleX(value);
            }
        }

        Animator* ScalerY::createInstance(const hstring& name)
        {
            return new ScalerY(name);
        }

        float ScalerY::getObjectValue()
        {
            return this->parent != nullptr ? this->parent->getScaleY() : 0.0f;
        }

        void ScalerY::setObjectValue(float value)
        {
            if (this->parent != nullptr)
            {
                this->parent->setScaleY(value);
            }
        }
    } // namespace Animators
} // namespace tesraui
