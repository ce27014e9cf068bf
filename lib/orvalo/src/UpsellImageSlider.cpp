#include <cmath>
#include <cstdlib>
#include <memory>

#include <tesraui/Animators.h>
#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>

#include <orvalo/UpsellImageSlider.h>

#include "SliderMath.h"

namespace orvalo
{
    namespace
    {
        const float speedFactors[] = {0.1735f, 0.1775f, 0.195f, 0.1665f, 0.1855f, 0.159f};
        const float timerStarts[] = {1.432f, 2.4682f, 1.109f, 2.344f, 1.9282f, 1.2048f};
        const int tableSize = 6;
    } // namespace

    UpsellImageSlider::UpsellImageSlider(const hstring& name, kavtypes::Rectangle rect)
        : UpsellImageSliderBase(name, rect, 6)
    {
    }

    UpsellImageSlider::~UpsellImageSlider() = default;

    tesraui::Object* UpsellImageSlider::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new UpsellImageSlider(name, rect);
    }

    float UpsellImageSlider::_speedFactor(int index)
    {
        return speedFactors[index % tableSize];
    }

    float UpsellImageSlider::_timerStart(int index)
    {
        return timerStarts[index % tableSize];
    }

    void UpsellImageSlider::notifyEvent(const hstring& type, void* args)
    {
        const bool makesBoxes = type == "RegisterInDataset" && this->imageBoxes.size() == 0;
        UpsellImageSliderBase::notifyEvent(type, args);
        if (!makesBoxes)
        {
            return;
        }
        for (int i = 0; i < this->imageBoxes.size(); ++i)
        {
            tesraui::ImageBox* box = this->imageBoxes[i];
            const int j = i % this->imageBoxCount;
            std::unique_ptr<tesraui::Animators::Rotator> made(
                new tesraui::Animators::Rotator(box->getName() + "_rotator"));
            this->dataset->registerObjects(made.get());
            tesraui::Animators::Rotator* rotator = made.release();
            box->addChild(rotator);
            rotator->setAnimationFunction(tesraui::Animator::AnimationFunction::Sine);
            rotator->setAmplitude(this->amplitude);
            rotator->setPeriods(-1.0f);
            rotator->setSpeed(this->speed * _speedFactor(j));
            // A speed of 0 leaves the rotators standing; their start needs no division then.
            rotator->setTimer(this->speed != 0.0f ? _timerStart(j) / this->speed : 0.0f);
        }
    }

    const PropertyTable<UpsellImageSlider>& UpsellImageSlider::_properties()
    {
        using Table = PropertyTable<UpsellImageSlider>;
        static const Table table = {
            // Both take effect on the boxes' rotators at once.
            {"image_animation_amplitude", PropertyInfo::FLOAT,
             [](UpsellImageSlider& slider) { return hstring(slider.amplitude); },
             [](UpsellImageSlider& slider, const hstring& value)
             {
                 slider.amplitude = value.toFloat();
                 for (tesraui::ImageBox* box : slider.imageBoxes)
                 {
                     for (tesraui::Object* child : box->getChildren())
                     {
                         if (tesraui::Animator* animator = dynamic_cast<tesraui::Animator*>(child))
                         {
                             animator->setAmplitude(slider.amplitude);
                         }
                     }
                 }
                 if (slider.images.size() > 0)
                 {
                     slider._updateImages(0.0f);
                 }
             }},
            {"image_animation_speed", PropertyInfo::FLOAT,
             [](UpsellImageSlider& slider) { return hstring(slider.speed); },
             [](UpsellImageSlider& slider, const hstring& value)
             {
                 const float newSpeed = value.toFloat();
                 slider._setRotatorSpeeds(newSpeed);
                 slider.speed = newSpeed;
                 if (slider.images.size() > 0)
                 {
                     slider._updateImages(0.0f);
                 }
             }},
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(UpsellImageSlider, UpsellImageSliderBase, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(UpsellImageSlider, UpsellImageSliderBase, _properties)

    void UpsellImageSlider::_setRotatorSpeeds(float newSpeed)
    {
        const float ratio = this->speed != 0.0f ? newSpeed / this->speed : 0.0f;
        for (int i = 0; i < this->imageBoxes.size(); ++i)
        {
            for (tesraui::Object* child : this->imageBoxes[i]->getChildren())
            {
                if (tesraui::Animator* animator = dynamic_cast<tesraui::Animator*>(child))
                {
                    // Over a stored 0 the ratio means nothing: the box's own share of the new speed.
                    animator->setSpeed(this->speed != 0.0f
                                           ? animator->getSpeed() * ratio
                                           : newSpeed * _speedFactor(i % this->imageBoxCount));
                }
            }
        }
    }

    void UpsellImageSlider::_updateImages(float timeDelta)
    {
        this->sliderTime += timeDelta;
        const int n = this->imageBoxes.size();
        const int m = this->images.size();
        if (n == 0 || m == 0)
        {
            return;
        }
        const float period = this->displayTime + this->moveTime;
        float progress = 0.0f;
        int step = 0;
        // Without a positive period the first image stands still.
        if (period > 0.0f)
        {
            const float t = positiveModulo(this->sliderTime, period);
            progress = t < this->displayTime ? 0.0f : (t - this->displayTime) / this->moveTime;
            step = truncateToInt(this->sliderTime / period);
        }
        const float centre = this->rect.w * 0.5f;
        const float radius = this->imageBoxes[0]->getWidth() * 0.27f + centre;
        for (int i = 0; i < n; ++i)
        {
            tesraui::ImageBox* box = this->imageBoxes[positiveModulo(i + positiveModulo(step, n), n)];
            const float angle = ((float)(i - (n - 1) / 2) - progress) * 41.0f;
            const float s = std::sin(angle * (float)M_PI / 180.0f);
            const float absAngle = std::fabs(angle);
            box->setX(std::trunc(s * radius + centre - box->getCenterX()));
            box->setZOrder(1000 - truncateToInt(absAngle));
            const float k = 1.0f - std::fabs(s * 0.5f);
            box->setScale(k, k);
            const float clamped = absAngle < 55.0f ? 55.0f : (absAngle > 90.0f ? 90.0f : absAngle);
            box->setAlpha((unsigned char)truncateToInt((90.0f - clamped) / 35.0f * 255.0f));
            box->setImage(this->images[(i + positiveModulo(step, m * n)) % m]);
        }
    }
} // namespace orvalo
