#pragma once

#include <tesraui/ButtonBase.h>
#include <tesraui/ImageBox.h>

namespace tesraui
{
    // An image box that is a button: a normal image and, by state, a hover, pushed or disabled one; queues
    // "MouseDown", "MouseUp", "Click" and the controller twins "ButtonDown", "ButtonUp", "ButtonClick".
    class ImageButton : public ImageBox, public ButtonBase
    {
    public:
        ImageButton(const hstring& name, kavtypes::Rectangle rect);
        ~ImageButton() override;

        static Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        // ButtonBase's view of the Object part.
        hstring getName() const override { return Object::getName(); }
        bool isCursorInside() override { return Object::isCursorInside(); }
        int getFocusIndex() const override { return Object::getFocusIndex(); }
        Object* getParent() const override { return Object::getParent(); }
        Dataset* getDataset() const override { return Object::getDataset(); }
        using Object::onMouseCancel;

        hstring getClassName() const override { return "ImageButton"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        // The current image, then the pushed, hover and disabled ones that are set.
        harray<Image*> getImages() const override;
        bool onMouseDown(unsigned int keyCode) override;
        bool onMouseUp(unsigned int keyCode) override;
        bool onMouseMove() override;
        bool onButtonDown(int buttonCode) override;
        bool onButtonUp(int buttonCode) override;
        void _mouseCancel() override;
        // Chooses the image shown until the next update from the state.
        void update(float timeDelta) override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        void _draw() override;

        Image* getImage() const override { return normalImage; }
        void setImage(Image* image) override;
        // Without a dataset a warning, and nothing changes.
        void setImageByName(const hstring& name) override;
        Image* getHoverImage() const { return hoverImage; }
        Image* getPushedImage() const { return pushedImage; }
        Image* getDisabledImage() const { return disabledImage; }
        // Null for none, stored as "null".
        void setHoverImage(Image* image);
        void setPushedImage(Image* image);
        void setDisabledImage(Image* image);
        // The dataset's image of that name; without a dataset a warning, and nothing changes.
        void setHoverImageByName(const hstring& name);
        void setPushedImageByName(const hstring& name);
        void setDisabledImageByName(const hstring& name);
        // False, doing nothing, when the name is the stored one.
        bool trySetHoverImageByName(const hstring& name);
        bool trySetPushedImageByName(const hstring& name);
        hstring getHoverImageName() const { return hoverImageName; }
        hstring getPushedImageName() const { return pushedImageName; }
        hstring getDisabledImageName() const { return disabledImageName; }

    protected:
        HeldImage normalImage;
        HeldImage hoverImage;
        HeldImage pushedImage;
        HeldImage disabledImage;
        hstring normalImageName;
        hstring hoverImageName;
        hstring pushedImageName;
        hstring disabledImageName;
        bool nullImageWarned = false;

        void _letGo() override
        {
            ImageBox::_letGo();
            this->normalImage = nullptr;
            this->hoverImage = nullptr;
            this->pushedImage = nullptr;
            this->disabledImage = nullptr;
        }
        // The image shown until the next update, by state.
        void _chooseImage();
        bool _imageByName(const hstring& name, Image*& image);

    private:
        static const PropertyTable<ImageButton>& _properties();
    };
} // namespace tesraui
