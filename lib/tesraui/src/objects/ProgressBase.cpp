#include <kavtypes/Rectangle.h>
#include <tesraui/Dataset.h>
#include <tesraui/Image.h>
#include <tesraui/ProgressBase.h>

namespace tesraui
{
    ProgressBase::ProgressBase() {}

    ProgressBase::~ProgressBase() {}

    const PropertyTable<ProgressBase>& ProgressBase::_properties()
    {
        using Row = PropertyTable<ProgressBase>::Row;
        // Without a dataset to find the image in a warning, and nothing changes.
        const auto imageRow =
            [](const char* name, hstring ProgressBase::*imageName, void (ProgressBase::*set)(Image*))
        {
            return Row(
                name, PropertyInfo::STRING, [imageName](ProgressBase& block) { return block.*imageName; },
                [set](ProgressBase& block, const hstring& value)
                {
                    if (block._checkDataset(("set image '" + value + "'").c_str()))
                    {
                        (block.*set)(block.getDataset()->getImage(value));
                    }
                });
        };
        static const PropertyTable<ProgressBase> table = {
            imageRow("progress_image", &ProgressBase::progressImageName, &ProgressBase::setProgressImage),
            imageRow("mask_image", &ProgressBase::maskImageName, &ProgressBase::setMaskImage),
            PropertyTable<ProgressBase>::floatRow("progress", &ProgressBase::progress),
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_ROOT(ProgressBase, _properties)

    static hstring nameOf(Image* image)
    {
        return image != nullptr ? image->getFullName() : hstring("null");
    }

    void ProgressBase::setProgressImage(Image* image)
    {
        progressImage = image;
        progressImageName = nameOf(image);
    }

    void ProgressBase::setMaskImage(Image* image)
    {
        maskImage = image;
        maskImageName = nameOf(image);
    }

    float ProgressBase::_clampedProgress() const
    {
        return progress < 0.0f ? 0.0f : (progress > 1.0f ? 1.0f : progress);
    }

    void ProgressBase::_drawMask(const kavtypes::Rectangle& rect, const tesra::Color& color)
    {
        if (maskImage != nullptr)
        {
            maskImage->draw(rect, color);
        }
    }
} // namespace tesraui
