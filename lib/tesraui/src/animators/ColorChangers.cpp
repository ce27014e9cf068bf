#include <algorithm>
#include <cmath>

#include <tesraui/Animators.h>

namespace tesraui
{
    namespace Animators
    {
        // Values from outside the update (callers, subclasses) may be out of range: clamp before the byte.
        static bool toByte(float value, unsigned char& result)
        {
            if (std::isnan(value))
            {
                return false;
            }
            result = (unsigned char)std::min(std::max(value, 0.0f), 255.0f);
            return true;
        }

        Animator* AlphaChanger::createInstance(const hstring& name)
        {
            return new AlphaChanger(name);
        }

        float AlphaChanger::getObjectValue()
        {
            return this->parent != nullptr ? (float)this->parent->getAlpha() : 0.0f;
        }

        void AlphaChanger::setObjectValue(float value)
        {
            unsigned char byte = 0;
            if (this->parent != nullptr && toByte(value, byte))
            {
                this->parent->setAlpha(byte);
            }
        }

        Animator* RedChanger::createInstance(const hstring& name)
        {
            return new RedChanger(name);
        }

        float RedChanger::getObjectValue()
        {
            return this->parent != nullptr ? (float)this->parent->getRed() : 0.0f;
        }

        void RedChanger::setObjectValue(float value)
        {
            unsigned char byte = 0;
            if (this->parent != nullptr && toByte(value, byte))
            {
                this->parent->setRed(byte);
            }
        }

        Animator* GreenChanger::createInstance(const hstring& name)
        {
            return new GreenChanger(name);
        }

        float GreenChanger::getObjectValue()
        {
            return this->parent != nullptr ? (float)this->parent->getGreen() : 0.0f;
        }

        void GreenChanger::setObjectValue(float value)
        {
            unsigned char byte = 0;
            if (this->parent != nullptr && toByte(value, byte))
            {
                this->parent->setGreen(byte);
            }
        }

        Animator* BlueChanger::createInstance(const hstring& name)
        {
            return new BlueChanger(name);
        }

        float BlueChanger::getObjectValue()
        {
            return this->parent != nullptr ? (float)this->parent->getBlue() : 0.0f;
        }

        void BlueChanger::setObjectValue(float value)
        {
            unsigned char byte = 0;
            if (this->parent != nullptr && toByte(value, byte))
            {
                this->parent->setBlue(byte);
            }
        }
    } // namespace Animators
} // namespace tesraui
