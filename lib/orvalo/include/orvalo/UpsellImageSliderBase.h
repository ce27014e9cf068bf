#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <tesraui/Object.h>

namespace tesraui
{
    class Image;
    class ImageBox;
} // namespace tesraui

namespace orvalo
{
    // Cycles the images prefix + 0, prefix + 1, ... of its dataset through its image boxes.
    class UpsellImageSliderBase : public tesraui::Object
    {
    public:
        UpsellImageSliderBase(const hstring& name, kavtypes::Rectangle rect, int imageBoxCount);
        ~UpsellImageSliderBase() override;

        void notifyEvent(const hstring& type, void* args) override;
        hstring getClassName() const override { return "UpsellImageSliderBase"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        void update(float timeDelta) override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;

        virtual bool _tryLoadImages();
        virtual void _updateImages(float /*timeDelta*/) {}

        const harray<tesraui::ImageBox*>& getImageBoxes() const { return this->imageBoxes; }
        const harray<tesraui::Image*>& getLoadedImages() const { return this->images; }
        float getSliderTime() const { return this->sliderTime; }

    protected:
        hstring imageNamePrefix;
        float displayTime = 3.0f;
        float moveTime = 0.5f;
        harray<tesraui::ImageBox*> imageBoxes;
        float sliderTime = 0.0f;
        int imageBoxCount;
        harray<tesraui::Image*> images;

        // Called once the boxes exist, before they are registered.
        virtual void _setupImageBox(tesraui::ImageBox* /*box*/, int /*index*/) {}

    private:
        static const PropertyTable<UpsellImageSliderBase>& _properties();
    };
} // namespace orvalo
