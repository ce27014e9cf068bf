#pragma once

#include <tesraui/Animator.h>

namespace tesraui
{
    // The animator kinds, each bound to one value of its parent. Each has a factory that dataset files and
    // scripts reach by the class name.
    namespace Animators
    {
        // The colour changers write a byte: the value is clamped to 0..255 and written only when its byte
        // changes.
        class AlphaChanger : public Animator
        {
        public:
            explicit AlphaChanger(const hstring& name) : Animator(name) {}
            static Animator* createInstance(const hstring& name);
            hstring getClassName() const override { return "AlphaChanger"; }
            void update(float timeDelta) override { _valueUpdateUChar(timeDelta); }
            float getObjectValue() override;
            void setObjectValue(float value) override;
        };

        class RedChanger : public Animator
        {
        public:
            explicit RedChanger(const hstring& name) : Animator(name) {}
            static Animator* createInstance(const hstring& name);
            hstring getClassName() const override { return "RedChanger"; }
            void update(float timeDelta) override { _valueUpdateUChar(timeDelta); }
            float getObjectValue() override;
            void setObjectValue(float value) override;
        };

        class GreenChanger : public Animator
        {
        public:
            explicit GreenChanger(const hstring& name) : Animator(name) {}
            static Animator* createInstance(const hstring& name);
            hstring getClassName() const override { return "GreenChanger"; }
            void update(float timeDelta) override { _valueUpdateUChar(timeDelta); }
            float getObjectValue() override;
            void setObjectValue(float value) override;
        };

        class BlueChanger : public Animator
        {
        public:
            explicit BlueChanger(const hstring& name) : Animator(name) {}
            static Animator* createInstance(const hstring& name);
            hstring getClassName() const override { return "BlueChanger"; }
            void update(float timeDelta) override { _valueUpdateUChar(timeDelta); }
            float getObjectValue() override;
            void setObjectValue(float value) override;
        };

        class MoverX : public Animator
        {
        public:
            explicit MoverX(const hstring& name) : Animator(name) {}
            static Animator* createInstance(const hstring& name);
            hstring getClassName() const override { return "MoverX"; }
            void update(float timeDelta) override { _valueUpdateSimple(timeDelta); }
            float getObjectValue() override;
            void setObjectValue(float value) override;
        };

        class MoverY : public Animator
        {
        public:
            explicit MoverY(const hstring& name) : Animator(name) {}
            static Animator* createInstance(const hstring& name);
            hstring getClassName() const override { return "MoverY"; }
            void update(float timeDelta) override { _valueUpdateSimple(timeDelta); }
            float getObjectValue() override;
            void setObjectValue(float value) override;
        };

        // The resizers go through the parent's size setters, so its children follow their anchors and it
        // gets "Resized".
        class ResizerX : public Animator
        {
        public:
            explicit ResizerX(const hstring& name) : Animator(name) {}
            static Animator* createInstance(const hstring& name);
            hstring getClassName() const override { return "ResizerX"; }
            void update(float timeDelta) override { _valueUpdateSimple(timeDelta); }
            float getObjectValue() override;
            void setObjectValue(float value) override;
        };

        class ResizerY : public Animator
        {
        public:
            explicit ResizerY(const hstring& name) : Animator(name) {}
            static Animator* createInstance(const hstring& name);
            hstring getClassName() const override { return "ResizerY"; }
            void update(float timeDelta) override { _valueUpdateSimple(timeDelta); }
            float getObjectValue() override;
            void setObjectValue(float value) override;
        };

        class Rotator : public Animator
        {
        public:
            explicit Rotator(const hstring& name) : Animator(name) {}
            static Animator* createInstance(const hstring& name);
            hstring getClassName() const override { return "Rotator"; }
            void update(float timeDelta) override { _valueUpdateSimple(timeDelta); }
            float getObjectValue() override;
            void setObjectValue(float value) override;
        };

        class ScalerX : public Animator
        {
        public:
            explicit ScalerX(const hstring& name) : Animator(name) {}
            static Animator* createInstance(const hstring& name);
            hstring getClassName() const override { return "ScalerX"; }
            void update(float timeDelta) override { _valueUpdateSimple(timeDelta); }
            float getObjectValue() override;
            void setObjectValue(float value) override;
        };

        class ScalerY : public Animator
        {
        public:
            explicit ScalerY(const hstring& name) : Animator(name) {}
            static Animator* createInstance(const hstring& name);
            hstring getClassName() const override { return "ScalerY"; }
            void update(float timeDelta) override { _valueUpdateSimple(timeDelta); }
            float getObjectValue() override;
            void setObjectValue(float value) override;
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
        };
    } // namespace Animators
} // namespace tesraui
