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
            return parent != nullptr ? (float)parent->getAlpha() : 0.0f;
        }

        void AlphaChanger::setObjectValue(float value)
        {
            unsigned char byte = 0;
            if (parent != nullptr && toByte(value, byte))
            {
                parent->setAlpha(byte);
            }
        }

        Animator* RedChanger::createInstance(const hstring& name)
        {
            return new RedChanger(name);
        }

        float RedChanger::getObjectValue()
        {
            return parent != nullptr ? (float)parent->getRed() : 0.0f;
        }

        void RedChanger::setObjectValue(float value)
        {
            unsigned char byte = 0;
            if (parent != nullptr && toByte(value, byte))
            {
                parent->setRed(byte);
            }
        }

        Animator* GreenChanger::createInstance(const hstring& name)
        {
            return new GreenChanger(name);
        }

        float GreenChanger::getObjectValue()
        {
            return parent != nullptr ? (float)parent->getGreen() : 0.0f;
        }

        void GreenChanger::setObjectValue(float value)
        {
            unsigned char byte = 0;
            if (parent != nullptr && toByte(value, byte))
            {
                parent->setGreen(byte);
            }
        }

        Animator* BlueChanger::createInstance(const hstring& name)
        {
            return new BlueChanger(name);
        }

        float BlueChanger::getObjectValue()
        {
            return parent != nullptr ? (float)parent->getBlue() : 0.0f;
        }

        void BlueChanger::setObjectValue(float value)
        {
            unsigned char byte = 0;
            if (parent != nullptr && toByte(value, byte))
            {
                parent->setBlue(byte);
            }
        }
    } // namespace Animators
} // namespace tesraui
