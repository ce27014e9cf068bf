#include <quortypes/Log.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Dataset.h>
#include <tesraui/Image.h>
#include <tesraui/ImageBox.h>
#include <tesraui/exception.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    ImageBox::ImageBox(const hstring& name, kavtypes::Rectangle rect) : Object(name, rect) {}

    ImageBox::~ImageBox() {}

    Object* ImageBox::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new ImageBox(name, rect);
    }

    const PropertyTable<ImageBox>& ImageBox::_properties()
    {
        static const PropertyTable<ImageBox> table = {
            {"image", PropertyInfo::STRING, &ImageBox::getImageName, &ImageBox::setImageByName},
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(ImageBox, Object, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(ImageBox, Object, _properties)

    harray<Image*> ImageBox::getImages() const
    {
        harray<Image*> result;
        if (this->image != nullptr)
        {
            result.push_back(this->image);
        }
        return result;
    }

    void ImageBox::setImage(Image* image)
    {
        this->image = image;
        if (image == nullptr)
        {
            imageName = "null";
            return;
        }
        kavtypes::Rectangle source = image->getSourceRect();
        float scale = getDefaultScale();
        if (this->rect.w == -1.0f)
        {
            this->rect.w = source.w * scale;
            center.x = this->rect.w * 0.5f;
        }
        if (this->rect.h == -1.0f)
        {
            this->rect.h = source.h * scale;
            center.y = this->rect.h * 0.5f;
        }
        imageName = image->getFullName();
    }

    void ImageBox::setImageByName(const hstring& name)
    {
        if (!_checkDataset("set an image by name"))
        {
            throw _ResourceNotExistsException(name, "Image", nullptr, "src/objects/ImageBox", __LINE__);
        }
        setImage(dataset->getImage(name));
    }

    bool ImageBox::setImageByNameIfChanged(const hstring& name)
    {
        if (name == imageName)
        {
            return false;
        }
        setImageByName(name);
        return true;
    }

    void ImageBox::resizeToFitImage()
    {
        if (this->image != nullptr)
        {
            kavtypes::Rectangle source = this->image->getSourceRect();
            setSize(source.w * getDefaultScale(), source.h * getDefaultScale());
            resetCenter();
        }
    }

    void ImageBox::notifyEvent(const hstring& type, void* args)
    {
        // A box that never named an image has nothing to look up; the lookup of "" would throw out of the
        // broadcast and leave the rest of the dataset's objects without the notification.
        if (type == "UpdateImage" && imageName != "")
        {
            setImageByName(imageName);
        }
        Object::notifyEvent(type, args);
    }

    bool ImageBox::onMouseDown(unsigned int keyCode)
    {
        return Object::onMouseDown(keyCode) || _triggerClickEvent("MouseDown", keyCode);
    }

    bool ImageBox::onMouseUp(unsigned int keyCode)
    {
        return Object::onMouseUp(keyCode) || _triggerClickEvent("Click", keyCode);
    }

    void ImageBox::_draw()
    {
        if (this->image == nullptr)
        {
            // Outside a dataset there is not even a null image to draw.
            if (dataset == nullptr)
            {
                return;
            }
            this->image = dataset->getImage("null");
        }
        tesra::Color color = getDerivedColor();
        color.a = (unsigned char)(color.a * getDisabledAlphaFactor());
        kavtypes::Rectangle drawRect = getDrawRect();
        if (isDebugEnabled())
        {
            tesra::rendersys->drawFilledRect(drawRect, tesra::Color(0, 0, 0, 32));
            tesra::rendersys->drawRect(drawRect, tesra::Color(255, 255, 255, 64));
        }
        this->image->draw(drawRect, color);
    }
} // namespace tesraui
