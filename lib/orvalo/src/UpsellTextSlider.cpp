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
                // Named after the slider: two text sliders may share a dataset.
                std::unique_ptr<tesraui::Label> made(
                    new tesraui::Label(this->name + "_OrvaloUpsellLabel_" + hstring(i),
                                       kavtypes::Rectangle(0, 0, this->rect.w, this->rect.h)));
                made->setFont(this->font);
                made->setEffect(tesraui::LabelBase::EFFECT_BORDER);
                made->setAnchors(true, true, true, true);
                // Cut at the slider's sides, as the static image slider's boxes are: a text sliding to the
                // next one, or drifting while it shows, never runs past the slider onto what lies beside it.
                made->setClip(true);
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
                // Out of the dataset, the label is this slider's alone.
                const std::unique_ptr<tesraui::Label> unregistered(label);
            }
            this->labels.clear();
        }
    }

    const PropertyTable<UpsellTextSlider>& UpsellTextSlider::_properties()
    {
        using Table = PropertyTable<UpsellTextSlider>;
        static const Table table = {
            // A new prefix reads the texts anew.
            {"text_key_prefix", PropertyInfo::STRING,
             [](UpsellTextSlider& slider) { return slider.textKeyPrefix; },
             [](UpsellTextSlider& slider, const hstring& value)
             {
                 slider.textKeyPrefix = value;
                 slider.texts.clear();
             }},
            {"font", PropertyInfo::STRING, [](UpsellTextSlider& slider) { return slider.font; },
             [](UpsellTextSlider& slider, const hstring& value)
             {
                 slider.font = value;
                 for (tesraui::Label* label : slider.labels)
                 {
                     label->setFont(value);
                 }
             }},
            Table::floatRow("display_time", &UpsellTextSlider::displayTime),
            Table::floatRow("move_time", &UpsellTextSlider::moveTime),
            Table::floatRow("move_range", &UpsellTextSlider::moveRange),
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(UpsellTextSlider, tesraui::Object, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(UpsellTextSlider, tesraui::Object, _properties)

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
            step = truncateToInt(this->elapsed / period);
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

} // namespace orvalo
