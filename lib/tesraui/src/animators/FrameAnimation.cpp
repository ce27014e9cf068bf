#include <cmath>

#include <quortypes/Log.h>
#include <tesraui/Animators.h>
#include <tesraui/ImageBox.h>
#include <tesraui/tesraui.h>


namespace tesraui
{
    namespace Animators
    {
        Animator* FrameAnimation::createInstance(const hstring& name)
        {
            return new FrameAnimation(name);
        }

        harray<PropertyInfo> FrameAnimation::getPropertyDescriptions() const
        {
            static harray<PropertyInfo> descriptions;
            if (descriptions.size() == 0)
            {
                descriptions =
                    Animator::getPropertyDescriptions() + harray<PropertyInfo>({
                                                              PropertyInfo("base_name", PropertyInfo::STRING),
                                                              PropertyInfo("first_frame", PropertyInfo::INT),
                                                              PropertyInfo("frame_count", PropertyInfo::INT),
                                                          });
            }
            return descriptions;
        }

        hstring FrameAnimation::getProperty(const hstring& name)
        {
            if (name == "base_name")
                return this->baseName;
            if (name == "first_frame")
                return formatString("%d", this->firstFrame);
            if (name == "frame_count")
                return formatString("%d", this->frameCount);
            return Animator::getProperty(name);
        }

        bool FrameAnimation::setProperty(const hstring& name, const hstring& value)
        {
            if (name == "base_name")
                this->baseName = value;
            else if (name == "first_frame")
                this->firstFrame = value.toInt();
            else if (name == "frame_count")
                this->frameCount = value.toInt();
            else if (name == "inherit_value")
                quortypes::Log::warn(logTag, "Animators::FrameAnimation does not support 'inherit_value'!");
            else
                return Animator::setProperty(name, value);
            return true;
        }

        bool FrameAnimation::isAnimated()
        {
            return Animator::isAnimated() && this->baseName != "" && this->frameCount > 0;
        }

        void FrameAnimation::notifyEvent(const hstring& type, void* args)
        {
            if (type == "AttachToObject")
            {
                // One step of no time, delay or not, so that the first image shows as soon as it is attached.
                this->value = (float)this->firstFrame;
                float delay = this->delay;
                this->delay = 0.0f;
                LifeToken::Watch alive = this->watchLife();
                this->update(0.0f);
                if (!alive.isAlive())
                {
                    return;
                }
                this->delay = delay;
            }
            Animator::notifyEvent(type, args);
        }

        void FrameAnimation::update(float timeDelta)
        {
            if (!this->_checkUpdate(timeDelta))
            {
                return;
            }
            ImageBox* box = dynamic_cast<ImageBox*>(this->parent);
            if (box == nullptr)
            {
                quortypes::Log::error(
                    logTag, "Animators::FrameAnimation: parent object not a subclass of Objects::ImageBox!");
                return;
            }
            float v = this->_calculateValue(this->timeDelta);
            if (std::isnan(v))
            {
                return;
            }
            this->value = v;
            // Compared as floats first: no value past the frames (infinity included) is made an integer.
            int frame = 0;
            if (v > 0.0f)
            {
                frame = v < (float)this->frameCount ? (int)v : this->frameCount;
            }
            if (this->isExpired() || frame > this->frameCount - 1)
            {
                frame = this->reset ? 0 : this->frameCount - 1;
            }
            if (this->parent != box)
            {
                return;
            }
            box->setImageByNameIfChanged(this->baseName +
                                         formatString("%lld", (long long)this->firstFrame + frame));
        }
    } // namespace Animators
} // namespace tesraui
