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

        const PropertyTable<FrameAnimation>& FrameAnimation::_properties()
        {
            using Table = PropertyTable<FrameAnimation>;
            static const Table table = {
                Table::textRow("base_name", &FrameAnimation::baseName),
                Table::intRow("first_frame", &FrameAnimation::firstFrame),
                Table::intRow("frame_count", &FrameAnimation::frameCount),
                // Taken with a warning, and ignored.
                {"inherit_value", PropertyTable<FrameAnimation>::Undescribed, nullptr,
                 [](FrameAnimation&, const hstring&) {
                     quortypes::Log::warn(logTag,
                                          "Animators::FrameAnimation does not support 'inherit_value'!");
                 }},
            };
            return table;
        }

        QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(FrameAnimation, Animator, _properties)
        QUORTYPES_PROPERTY_TABLE_GET_SET(FrameAnimation, Animator, _properties)

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
