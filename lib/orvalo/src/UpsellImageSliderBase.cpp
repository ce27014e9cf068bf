#include <memory>

#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>
#include <tesraui/exception.h>

#include <orvalo/UpsellImageSliderBase.h>

namespace orvalo
{
    UpsellImageSliderBase::UpsellImageSliderBase(const hstring& name, kavtypes::Rectangle rect,
                                                 int imageBoxCount)
        : tesraui::Object(name, rect), imageBoxCount(imageBoxCount)
    {
    }

    UpsellImageSliderBase::~UpsellImageSliderBase() = default;

    void UpsellImageSliderBase::notifyEvent(const hstring& type, void* args)
    {
        tesraui::Object::notifyEvent(type, args);
        if (type == "RegisterInDataset" && this->imageBoxes.size() == 0 && this->dataset != nullptr)
        {
            for (int i = 0; i < this->imageBoxCount; ++i)
            {
                // Named after the slider too: two image sliders may share a dataset.
                std::unique_ptr<tesraui::ImageBox> made(new tesraui::ImageBox(
                    this->name + "_OrvaloUpsellImageBox_" + hstring(i), kavtypes::Rectangle(0, 0, -1, -1)));
                // Registered first: a name already taken throws before the tree holds the box.
                this->dataset->registerObjects(made.get());
                tesraui::ImageBox* box = made.release();
                this->addChild(box);
                box->setHeldPart(true);
                this->imageBoxes.push_back(box);
                this->_setupImageBox(box, i);
            }
        }
    }

    harray<PropertyInfo> UpsellImageSliderBase::getPropertyDescriptions() const
    {
        static const harray<PropertyInfo> own = {PropertyInfo("image_name_prefix", PropertyInfo::STRING),
                                                 PropertyInfo("display_time", PropertyInfo::FLOAT),
                                                 PropertyInfo("move_time", PropertyInfo::FLOAT)};
        return tesraui::Object::getPropertyDescriptions() + own;
    }

    void UpsellImageSliderBase::update(float timeDelta)
    {
        tesraui::Object::update(timeDelta);
        if (this->imageBoxes.size() > 0 && this->imageNamePrefix != "")
        {
            this->_tryLoadImages();
            if (this->images.size() > 0)
            {
                this->_updateImages(timeDelta);
            }
        }
    }

    hstring UpsellImageSliderBase::getProperty(const hstring& name)
    {
        if (name == "image_name_prefix")
        {
            return this->imageNamePrefix;
        }
        if (name == "display_time")
        {
            return hstring(this->displayTime);
        }
        if (name == "move_time")
        {
            return hstring(this->moveTime);
        }
        return tesraui::Object::getProperty(name);
    }

    bool UpsellImageSliderBase::setProperty(const hstring& name, const hstring& value)
    {
        if (name == "image_name_prefix")
        {
            this->imageNamePrefix = value;
            this->images.clear();
            return true;
        }
        if (name == "display_time")
        {
            this->displayTime = value.toFloat();
            return true;
        }
        if (name == "move_time")
        {
            this->moveTime = value.toFloat();
            return true;
        }
        return tesraui::Object::setProperty(name, value);
    }

    bool UpsellImageSliderBase::_tryLoadImages()
    {
        if (this->images.size() > 0 || this->dataset == nullptr)
        {
            return false;
        }
        for (int i = 0; i < 100; ++i)
        {
            try
            {
                this->images.push_back(this->dataset->getImage(this->imageNamePrefix + hstring(i)));
            }
            catch (const tesraui::_ResourceNotExistsException&)
            {
                // The first gap ends the list.
                break;
            }
        }
        return this->images.size() > 0;
    }
} // namespace orvalo
