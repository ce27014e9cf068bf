#pragma once

#include <quortypes/PropertyInfo.h>
#include <quortypes/PropertyTable.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <tesra/Color.h>
#include <tesraui/HeldImage.h>

namespace kavtypes
{
    class Rectangle;
}

namespace tesraui
{
    class Dataset;

    // The progress value with its progress and mask images. A second base beside ImageBox: the owner
    // supplies the dataset and the image operations with its own of the same names.
    class ProgressBase
    {
    public:
        ProgressBase();
        virtual ~ProgressBase();

        virtual Dataset* getDataset() const = 0;
        virtual Image* getImage() const = 0;
        virtual void setImage(Image* image) = 0;
        virtual hstring getImageName() const = 0;
        virtual void setImageByName(const hstring& name) = 0;
        virtual harray<PropertyInfo> getPropertyDescriptions() const;
        virtual bool trySetImageByName(const hstring& name) = 0;

        Image* getProgressImage() const { return progressImage; }
        // Null for none, stored as "null".
        void setProgressImage(Image* image);
        Image* getMaskImage() const { return maskImage; }
        void setMaskImage(Image* image);
        const hstring& getProgressImageName() const { return progressImageName; }
        const hstring& getMaskImageName() const { return maskImageName; }
        // Kept as given; drawing clamps it to 0..1.
        float getProgress() const { return progress; }
        void setProgress(float value) { progress = value; }

        // "" for a name the block does not have.
        hstring getProperty(const hstring& name);
        // False for a name the block does not have.
        bool setProperty(const hstring& name, const hstring& value);

    protected:
        HeldImage progressImage;
        hstring progressImageName;
        HeldImage maskImage;
        hstring maskImageName;
        float progress = 1.0f;

        // The progress clamped to 0..1.
        float _clampedProgress() const;
        // The mask, when set, over the whole rectangle.
        void _drawMask(const kavtypes::Rectangle& rect, const tesra::Color& color);
        // Logs that the operation needs a dataset; false when the owner has none.
        virtual bool _checkDataset(const char* operation) const = 0;

    private:
        static const PropertyTable<ProgressBase>& _properties();
    };
} // namespace tesraui
