#pragma once

#include <tesraui/HeldImage.h>
#include <tesraui/Object.h>

namespace tesraui
{
    class Image;

    // Shows one image of its dataset over its rectangle; raises "MouseDown" and "Click".
    class ImageBox : public Object
    {
    public:
        ImageBox(const hstring& name, kavtypes::Rectangle rect);
        ~ImageBox() override;

        static Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        void notifyEvent(const hstring& type, void* args) override;
        hstring getClassName() const override { return "ImageBox"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        harray<Image*> getImages() const override;
        bool onMouseDown(unsigned int keyCode) override;
        bool onMouseUp(unsigned int keyCode) override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        void _draw() override;

        virtual Image* getImage() const { return image; }
        // A width or height of exactly -1 takes the image's size.
        virtual void setImage(Image* image);
        virtual hstring getImageName() const { return imageName; }
        // "null", a name of the dataset's or "dataset.name"; throws when the dataset has no such image.
        virtual void setImageByName(const hstring& name);
        // False, doing nothing, when name is the stored full name.
        virtual bool setImageByNameIfChanged(const hstring& name);

        void resizeToFitImage();

    protected:
        HeldImage image;
        hstring imageName;

        void _letGo() override { this->image = nullptr; }

    private:
        static const PropertyTable<ImageBox>& _properties();
    };
} // namespace tesraui
