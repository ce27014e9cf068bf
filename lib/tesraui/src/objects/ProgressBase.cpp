#include <kavtypes/Rectangle.h>
#include <tesraui/Dataset.h>
#include <tesraui/Image.h>
#include <tesraui/ProgressBase.h>

namespace tesraui
{
    ProgressBase::ProgressBase() {}

    ProgressBase::~ProgressBase() {}

    harray<PropertyInfo> ProgressBase::getPropertyDescriptions() const
    {
        static harray<PropertyInfo> descriptions;
        if (descriptions.size() == 0)
        {
            descriptions.push_back(PropertyInfo("progress_image", PropertyInfo::STRING));
            descriptions.push_back(PropertyInfo("mask_image", PropertyInfo::STRING));
            descriptions.push_back(PropertyInfo("progress", PropertyInfo::FLOAT));
        }
        return descriptions;
    }

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

    hstring ProgressBase::getProperty(const hstring& name)
    {
        if (name == "progress_image")
        {
            return progressImageName;
        }
        if (name == "mask_image")
        {
            return maskImageName;
        }
        if (name == "progress")
        {
            return hstring(progress);
        }
        return "";
    }

    bool ProgressBase::setProperty(const hstring& name, const hstring& value)
    {
        // The owner has made sure there is a dataset to look images up in.
        if (name == "progress_image")
        {
            setProgressImage(getDataset()->getImage(value));
        }
        else if (name == "mask_image")
        {
            setMaskImage(getDataset()->getImage(value));
        }
        else if (name == "progress")
        {
            progress = value.toFloat();
        }
        else
        {
            return false;
        }
        return true;
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
