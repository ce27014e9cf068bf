#pragma once

#include <tesraui/ImageBox.h>
#include <tesraui/ProgressBase.h>

namespace tesraui
{
    // Uncovers its progress image along one direction over its own image; the mask goes on top.
    class ProgressBar : public ImageBox, public ProgressBase
    {
    public:
        enum Direction
        {
            RIGHT = 0,
            LEFT = 1,
            DOWN = 2,
            UP = 3
        };

        ProgressBar(const hstring& name, kavtypes::Rectangle rect);
        ~ProgressBar() override;

        static Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        Dataset* getDataset() const override { return Object::getDataset(); }
        Image* getImage() const override { return ImageBox::getImage(); }
        void setImage(Image* image) override { ImageBox::setImage(image); }
        hstring getImageName() const override { return ImageBox::getImageName(); }
        void setImageByName(const hstring& name) override { ImageBox::setImageByName(name); }
        bool trySetImageByName(const hstring& name) override { return setImageByNameIfChanged(name); }

        hstring getClassName() const override { return "ProgressBar"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        void _draw() override;

        bool isStretching() const { return stretching; }
        void setStretching(bool value) { stretching = value; }
        int getDirection() const { return direction; }
        void setDirection(int value) { direction = value; }

    protected:
        bool stretching = false;
        int direction = RIGHT;

        bool _checkDataset(const char* operation) const override { return Object::_checkDataset(operation); }
        void _letGo() override
        {
            ImageBox::_letGo();
            this->progressImage = nullptr;
            this->maskImage = nullptr;
        }

    private:
        static const PropertyTable<ProgressBar>& _properties();
    };
} // namespace tesraui
