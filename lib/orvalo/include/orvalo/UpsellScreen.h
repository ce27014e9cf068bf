#pragma once

#include <quortypes/hstring.h>
#include <tesraui/Object.h>

namespace orvalo
{
    // The root of the upsell dataset ("orvalo_us"); its dataset makes it for the element type
    // "UpsellScreen".
    class UpsellScreen : public tesraui::Object
    {
    public:
        UpsellScreen(const hstring& name, kavtypes::Rectangle rect);
        ~UpsellScreen() override;

        hstring getClassName() const override { return "UpsellScreen"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        void clearChildUnderCursor() override;
        void update(float timeDelta) override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;

        float getContactTimeOut() const { return this->contactTimeOut; }

    protected:
        // Kept for the property interface only.
        float contactTimeOut = 60.0f;
        bool clearing = false;

    private:
        static const PropertyTable<UpsellScreen>& _properties();
    };

    // Null, with the reason logged, when the screen cannot be made; why, when given, then receives the reason
    // in the game maker's words (the file and everything it lacks). The name has no effect.
    UpsellScreen* createUpsellScreen(tesraui::Object* parent, const hstring& name, hstring* why = nullptr);
    void destroyUpsellScreen();
    UpsellScreen* getUpsellScreen();
    tesraui::Object* getUpsellButton(const hstring& name, const hstring& label);
    tesraui::Object* getUpsellLaterButton();
    tesraui::Object* getUpsellRestoreButton();
    tesraui::Object* getUpsellUnlockButton();
    bool isUpsellOverlayShown();
    void hideUpsellOverlay();
} // namespace orvalo
