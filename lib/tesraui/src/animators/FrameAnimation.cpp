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
                return baseName;
            if (name == "first_frame")
                return formatString("%d", firstFrame);
            if (name == "frame_count")
                return formatString("%d", frameCount);
            return Animator::getProperty(name);
        }

        bool FrameAnimation::setProperty(const hstring& name, const hstring& value)
        {
            if (name == "base_name")
                baseName = value;
            else if (name == "first_frame")
                firstFrame = value.toInt();
            else if (name == "frame_count")
                frameCount = value.toInt();
            else if (name == "inherit_value")
                quortypes::Log::warn(logTag, "Animators::FrameAnimation does not support 'inherit_value'!");
            else
                return Animator::setProperty(name, value);
            return true;
        }

        bool FrameAnimation::isAnimated()
        {
            return Animator::isAnimated() && baseName != "" && frameCount > 0;
        }

        void FrameAnimation::notifyEvent(const hstring& type, void* args)
        {
            if (type == "AttachToObject")
            {
                // One step of no time, delay or not, so that the first image shows as soon as it is attached.
                this->value = (float)firstFrame;
                float delay = this->delay;
                this->delay = 0.0f;
                LifeToken::Watch alive = watchLife();
                update(0.0f);
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
            if (!_checkUpdate(timeDelta))
            {
                return;
            }
            ImageBox* box = dynamic_cast<ImageBox*>(parent);
            if (box == nullptr)
            {
                quortypes::Log::error(
                    logTag, "Animators::FrameAnimation: parent object not a subclass of Objects::ImageBox!");
                return;
            }
            float v = _calculateValue(this->timeDelta);
            if (std::isnan(v))
            {
                return;
            }
            this->value = v;
            // Compared as floats first: no value past the frames (infinity included) is made an integer.
            int frame = 0;
            if (v > 0.0f)
            {
                frame = v < (float)frameCount ? (int)v : frameCount;
            }
            if (isExpired() || frame > frameCount - 1)
            {
                frame = reset ? 0 : frameCount - 1;
            }
            if (parent != box)
            {
                return;
            }
            box->setImageByNameIfChanged(baseName + formatString("%lld", (long long)firstFrame + frame));
        }
    } // namespace Animators
} // namespace tesraui
