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

    const PropertyTable<UpsellImageSliderBase>& UpsellImageSliderBase::_properties()
    {
        using Table = PropertyTable<UpsellImageSliderBase>;
        static const Table table = {
            // A new prefix finds the images anew.
            {"image_name_prefix", PropertyInfo::STRING,
             [](UpsellImageSliderBase& slider) { return slider.imageNamePrefix; },
             [](UpsellImageSliderBase& slider, const hstring& value)
             {
                 slider.imageNamePrefix = value;
                 slider.images.clear();
             }},
            Table::floatRow("display_time", &UpsellImageSliderBase::displayTime),
            Table::floatRow("move_time", &UpsellImageSliderBase::moveTime),
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(UpsellImageSliderBase, tesraui::Object, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(UpsellImageSliderBase, tesraui::Object, _properties)

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
