#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <tesraui/Object.h>

namespace tesraui
{
    class Label;
}

namespace orvalo
{
    // Two labels that drift while a text shows and slide one width on to the next text.
    class UpsellTextSlider : public tesraui::Object
    {
    public:
        UpsellTextSlider(const hstring& name, kavtypes::Rectangle rect);
        ~UpsellTextSlider() override;
        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        void notifyEvent(const hstring& type, void* args) override;
        hstring getClassName() const override { return "UpsellTextSlider"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        void update(float timeDelta) override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;

        const harray<tesraui::Label*>& getLabels() const { return this->labels; }
        const harray<hstring>& getTexts() const { return this->texts; }

    protected:
        hstring textKeyPrefix;
        hstring font;
        float displayTime = 3.0f;
        float moveTime = 0.5f;
        float moveRange = 50.0f;
        harray<tesraui::Label*> labels;
        float elapsed = 0.0f;
        harray<hstring> texts;

        void _slide(float timeDelta);

    private:
        static const PropertyTable<UpsellTextSlider>& _properties();
    };
} // namespace orvalo
