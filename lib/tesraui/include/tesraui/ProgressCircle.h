#pragma once

#include <tesraui/ImageBox.h>
#include <tesraui/ProgressBase.h>

namespace tesraui
{
    // Uncovers its progress image as a pie swept around the centre over its own image; the mask goes on
    // top. Directions are the start angle counted counter-clockwise from the right, swept either way.
    class ProgressCircle : public ImageBox, public ProgressBase
    {
    public:
        enum Direction
        {
            CLOCKWISE = 0,
            CLOCKWISE_90 = 1,
            CLOCKWISE_180 = 2,
            CLOCKWISE_270 = 3,
            COUNTERCLOCKWISE = 4,
            COUNTERCLOCKWISE_90 = 5,
            COUNTERCLOCKWISE_180 = 6,
            COUNTERCLOCKWISE_270 = 7
        };

        ProgressCircle(const hstring& name, kavtypes::Rectangle rect);
        ~ProgressCircle() override;

        static Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        Dataset* getDataset() const override { return Object::getDataset(); }
        Image* getImage() const override { return ImageBox::getImage(); }
        void setImage(Image* image) override { ImageBox::setImage(image); }
        hstring getImageName() const override { return ImageBox::getImageName(); }
        void setImageByName(const hstring& name) override { ImageBox::setImageByName(name); }
        bool trySetImageByName(const hstring& name) override { return setImageByNameIfChanged(name); }

        hstring getClassName() const override { return "ProgressCircle"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        void _draw() override;

        int getDirection() const { return direction; }
        void setDirection(int value) { direction = value; }

        // The pie's triangle list in unit-square points (x right, y down) for a progress strictly between
        // 0 and 1.
        static harray<kavtypes::Vector2> _pie(int direction, float progress);

    protected:
        int direction = CLOCKWISE;

        bool _checkDataset(const char* operation) const override { return Object::_checkDataset(operation); }
        void _letGo() override
        {
            ImageBox::_letGo();
            this->progressImage = nullptr;
            this->maskImage = nullptr;
        }

    private:
        static const PropertyTable<ProgressCircle>& _properties();
    };
} // namespace tesraui
