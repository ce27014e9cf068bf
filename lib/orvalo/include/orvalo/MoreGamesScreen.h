#pragma once

#include <quortypes/hstring.h>
#include <tesraui/Object.h>

namespace orvalo
{
    // The full-screen list of the other games. Its destructor releases the screen's datasets and tells
    // the library that the screen is gone, whoever deletes it.
    class MoreGamesScreen : public tesraui::Object
    {
    public:
        MoreGamesScreen(const hstring& name, kavtypes::Rectangle rect);
        ~MoreGamesScreen() override;

        hstring getClassName() const override { return "MoreGamesScreen"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        void update(float timeDelta) override;
        void clearChildUnderCursor() override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;

        float getAppearSpeed() const { return this->appearSpeed; }
        void setAppearSpeed(float value) { this->appearSpeed = value; }

    protected:
        float appearSpeed = 3.0f;

    private:
        static const PropertyTable<MoreGamesScreen>& _properties();
    };

    // Null, with the reason logged, when the screen cannot be made; why, when given, then receives the reason
    // in the game maker's words (the file and everything it lacks). Nothing throws.
    MoreGamesScreen* createMoreGamesScreen(tesraui::Object* parent, hstring* why = nullptr);
    // Shown at once, without the slide.
    MoreGamesScreen* createAndShowMoreGamesScreen(tesraui::Object* parent, hstring* why = nullptr);
    bool showMoreGamesScreen();
    bool hideMoreGamesScreen();
    void destroyMoreGamesScreen();
    bool isMoreGamesScreenCreated();
    bool isMoreGamesScreenShown();
    MoreGamesScreen* getMoreGamesScreen();
    tesraui::Object* getMoreGamesScreenButton(const hstring& name, const hstring& label);
    tesraui::Object* getPlayButton();
} // namespace orvalo
