#include <memory>

#include <quortypes/exception.h>
#include <tesraui/Dataset.h>
#include <tesraui/Label.h>

#include <orvalo/UpsellTextSlider.h>

#include "SliderMath.h"

namespace orvalo
{
    UpsellTextSlider::UpsellTextSlider(const hstring& name, kavtypes::Rectangle rect)
        : tesraui::Object(name, rect)
    {
    }

    UpsellTextSlider::~UpsellTextSlider() = default;

    tesraui::Object* UpsellTextSlider::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new UpsellTextSlider(name, rect);
    }

    void UpsellTextSlider::notifyEvent(const hstring& type, void* args)
    {
        tesraui::Object::notifyEvent(type, args);
        if (type == "RegisterInDataset" && this->labels.size() == 0 && this->dataset != nullptr)
        {
            for (int i = 0; i < 2; ++i)
            {
                std::unique_ptr<tesraui::Label> made(
                    new tesraui::Label("OrvaloUpsellLabel_" + hstring(i),
                                       kavtypes::Rectangle(0, 0, this->rect.w, this->rect.h)));
                made->setFont(this->font);
                made->setEffect(tesraui::LabelBase::EFFECT_BORDER);
                made->setAnchors(true, true, true, true);
                // Registered first: a name already taken throws before the tree holds the label.
                this->dataset->registerObjects(made.get());
                tesraui::Label* label = made.release();
                this->addChild(label);
                label->setHeldPart(true);
                this->labels.push_back(label);
            }
            this->_slide(0.0f);
        }
        else if (type == "UnregisterFromDataset" && this->dataset != nullptr)
        {
            for (tesraui::Label* label : this->labels)
            {
                // Out of the tree first: a deleted label must not stay among the children.
                this->removeChild(label);
                this->dataset->unregisterObjects(label);
                delete label;
            }
            this->labels.clear();
        }
    }

    harray<PropertyInfo> UpsellTextSlider::getPropertyDescriptions() const
    {
        static const harray<PropertyInfo> own = {
            PropertyInfo("text_key_prefix", PropertyInfo::STRING), PropertyInfo("font", PropertyInfo::STRING),
            PropertyInfo("display_time", PropertyInfo::FLOAT), PropertyInfo("move_time", PropertyInfo::FLOAT),
            PropertyInfo("move_range", PropertyInfo::FLOAT)};
        return tesraui::Object::getPropertyDescriptions() + own;
    }

    void UpsellTextSlider::update(float timeDelta)
    {
        tesraui::Object::update(timeDelta);
        this->_slide(timeDelta);
    }

    void UpsellTextSlider::_slide(float timeDelta)
    {
        this->elapsed += timeDelta;
        if (this->labels.size() == 0 || this->textKeyPrefix == "")
        {
            return;
        }
        if (this->texts.size() == 0 && this->dataset != nullptr)
        {
            for (int i = 0; i < 100; ++i)
            {
                const hstring key = this->textKeyPrefix + hstring(i);
                try
                {
                    if (!this->dataset->hasText(key))
                    {
                        break;
                    }
                    this->texts.push_back(this->dataset->getText(key));
                }
                catch (const quortypes::exception&)
                {
                    // A key of a dataset that does not exist is missing as well.
                    break;
                }
            }
        }
        if (this->texts.size() == 0)
        {
            return;
        }
        const float period = this->displayTime + this->moveTime;
        float p = 0.0f;
        float f = 0.0f;
        int step = 0;
        // Without a positive period the first text stands still.
        if (period > 0.0f)
        {
            const float t = positiveModulo(this->elapsed, period);
            if (t < this->displayTime)
            {
                f = t / this->displayTime * 2.0f - 1.0f;
            }
            else
            {
                p = (t - this->displayTime) / this->moveTime;
                f = this->displayTime > 0.0f ? 1.0f - 2.0f * p : 0.0f;
            }
            step = (int)(this->elapsed / period);
        }
        const int n = this->labels.size();
        const int m = this->texts.size();
        for (int j = 0; j < n; ++j)
        {
            tesraui::Label* label = this->labels[positiveModulo(j + positiveModulo(step, n), n)];
            label->setX((p - j) * this->rect.w + this->moveRange * f);
            label->setText(this->texts[(j + positiveModulo(step, m * n)) % m]);
        }
    }

    hstring UpsellTextSlider::getProperty(const hstring& name)
    {
        if (name == "text_key_prefix")
        {
            return this->textKeyPrefix;
        }
        if (name == "font")
        {
            return this->font;
        }
        if (name == "display_time")
        {
            return hstring(this->displayTime);
        }
        if (name == "move_time")
        {
            return hstring(this->moveTime);
        }
        if (name == "move_range")
        {
            return hstring(this->moveRange);
        }
        return tesraui::Object::getProperty(name);
    }

    bool UpsellTextSlider::setProperty(const hstring& name, const hstring& value)
    {
        if (name == "text_key_prefix")
        {
            this->textKeyPrefix = value;
            this->texts.clear();
            return true;
        }
        if (name == "font")
        {
            this->font = value;
            for (tesraui::Label* label : this->labels)
            {
                label->setFont(value);
            }
            return true;
        }
        if (name == "display_time")
        {
            this->displayTime = value.toFloat();
            return true;
        }
        if (name == "move_time")
        {
            this->moveTime = value.toFloat();
            return true;
        }
        if (name == "move_range")
        {
            this->moveRange = value.toFloat();
            return true;
        }
        return tesraui::Object::setProperty(name, value);
    }
} // namespace orvalo
