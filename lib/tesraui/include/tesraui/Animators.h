#pragma once

#include <algorithm>
#include <cmath>
#include <type_traits>

#include <tesraui/Animator.h>

namespace tesraui
{
    // The animator kinds, each bound to one value of its parent. Each has a factory that dataset files and
    // scripts reach by the class name.
    namespace Animators
    {
        // The kinds that drive one value of the parent through its accessors: without a parent they read 0
        // and write nothing. Byte values (the colour changers) are clamped to 0..255 and written only when
        // their byte changes.
        template <class Kind, class Value, Value (Object::*get)() const, void (Object::*set)(Value)>
        class ParentValueAnimator : public Animator
        {
        public:
            explicit ParentValueAnimator(const hstring& name) : Animator(name) {}
            static Animator* createInstance(const hstring& name) { return new Kind(name); }

            void update(float timeDelta) override
            {
                if (isByte)
                {
                    _valueUpdateUChar(timeDelta);
                }
                else
                {
                    _valueUpdateSimple(timeDelta);
                }
            }

            float getObjectValue() override { return parent != nullptr ? (float)(parent->*get)() : 0.0f; }

            void setObjectValue(float value) override
            {
                if (parent == nullptr)
                {
                    return;
                }
                if constexpr (isByte)
                {
                    // Values from outside the update (callers, subclasses) may be out of range.
                    if (!std::isnan(value))
                    {
                        (parent->*set)((unsigned char)std::min(std::max(value, 0.0f), 255.0f));
                    }
                }
                else
                {
                    (parent->*set)(value);
                }
            }

        protected:
            static constexpr bool isByte = std::is_same<Value, unsigned char>::value;
        };

        class AlphaChanger
            : public ParentValueAnimator<AlphaChanger, unsigned char, &Object::getAlpha, &Object::setAlpha>
        {
        public:
            using ParentValueAnimator::ParentValueAnimator;
            hstring getClassName() const override { return "AlphaChanger"; }
        };

        class RedChanger
            : public ParentValueAnimator<RedChanger, unsigned char, &Object::getRed, &Object::setRed>
        {
        public:
            using ParentValueAnimator::ParentValueAnimator;
            hstring getClassName() const override { return "RedChanger"; }
        };

        class GreenChanger
            : public ParentValueAnimator<GreenChanger, unsigned char, &Object::getGreen, &Object::setGreen>
        {
        public:
            using ParentValueAnimator::ParentValueAnimator;
            hstring getClassName() const override { return "GreenChanger"; }
        };

        class BlueChanger
            : public ParentValueAnimator<BlueChanger, unsigned char, &Object::getBlue, &Object::setBlue>
        {
        public:
            using ParentValueAnimator::ParentValueAnimator;
            hstring getClassName() const override { return "BlueChanger"; }
        };

        class MoverX : public ParentValueAnimator<MoverX, float, &Object::getX, &Object::setX>
        {
        public:
            using ParentValueAnimator::ParentValueAnimator;
            hstring getClassName() const override { return "MoverX"; }
        };

        class MoverY : public ParentValueAnimator<MoverY, float, &Object::getY, &Object::setY>
        {
        public:
            using ParentValueAnimator::ParentValueAnimator;
            hstring getClassName() const override { return "MoverY"; }
        };

        // The resizers go through the parent's size setters, so its children follow their anchors and it
        // gets "Resized".
        class ResizerX : public ParentValueAnimator<ResizerX, float, &Object::getWidth, &Object::setWidth>
        {
        public:
            using ParentValueAnimator::ParentValueAnimator;
            hstring getClassName() const override { return "ResizerX"; }
        };

        class ResizerY : public ParentValueAnimator<ResizerY, float, &Object::getHeight, &Object::setHeight>
        {
        public:
            using ParentValueAnimator::ParentValueAnimator;
            hstring getClassName() const override { return "ResizerY"; }
        };

        class Rotator : public ParentValueAnimator<Rotator, float, &Object::getAngle, &Object::setAngle>
        {
        public:
            using ParentValueAnimator::ParentValueAnimator;
            hstring getClassName() const override { return "Rotator"; }
        };

        class ScalerX : public ParentValueAnimator<ScalerX, float, &Object::getScaleX, &Object::setScaleX>
        {
        public:
            using ParentValueAnimator::ParentValueAnimator;
            hstring getClassName() const override { return "ScalerX"; }
        };

        class ScalerY : public ParentValueAnimator<ScalerY, float, &Object::getScaleY, &Object::setScaleY>
        {
        public:
            using ParentValueAnimator::ParentValueAnimator;
            hstring getClassName() const override { return "ScalerY"; }
        };

        // Scroll the tiled image of the parent image box; without one they read 0, write nothing and log
        // why at every read and write.
        class TiledScrollerX : public Animator
        {
        public:
            explicit TiledScrollerX(const hstring& name) : Animator(name) {}
            static Animator* createInstance(const hstring& name);
            hstring getClassName() const override { return "TiledScrollerX"; }
            void update(float timeDelta) override { _valueUpdateSimple(timeDelta); }
            float getObjectValue() override;
            void setObjectValue(float value) override;
        };

        class TiledScrollerY : public Animator
        {
        public:
            explicit TiledScrollerY(const hstring& name) : Animator(name) {}
            static Animator* createInstance(const hstring& name);
            hstring getClassName() const override { return "TiledScrollerY"; }
            void update(float timeDelta) override { _valueUpdateSimple(timeDelta); }
            float getObjectValue() override;
            void setObjectValue(float value) override;
        };

        // Steps an image box through the images "<base name><first frame + frame>"; the value picks the
        // frame.
        class FrameAnimation : public Animator
        {
        public:
            explicit FrameAnimation(const hstring& name) : Animator(name) {}
            static Animator* createInstance(const hstring& name);
            hstring getClassName() const override { return "FrameAnimation"; }
            void notifyEvent(const hstring& type, void* args) override;
            harray<PropertyInfo> getPropertyDescriptions() const override;
            bool isAnimated() override;
            void update(float timeDelta) override;
            hstring getProperty(const hstring& name) override;
            bool setProperty(const hstring& name, const hstring& value) override;
            float getObjectValue() override { return 0.0f; }
            void setObjectValue(float) override {}

            const hstring& getBaseName() const { return baseName; }
            void setBaseName(const hstring& value) { baseName = value; }
            int getFirstFrame() const { return firstFrame; }
            void setFirstFrame(int value) { firstFrame = value; }
            int getFrameCount() const { return frameCount; }
            void setFrameCount(int value) { frameCount = value; }

        protected:
            hstring baseName;
            int firstFrame = 0;
            int frameCount = 0;

        private:
            static const PropertyTable<FrameAnimation>& _properties();
        };
    } // namespace Animators
} // namespace tesraui
