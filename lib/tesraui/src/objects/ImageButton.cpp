#include <tesra/RenderModes.h>
#include <tesraui/Dataset.h>
#include <tesraui/Image.h>
#include <tesraui/ImageButton.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    ImageButton::ImageButton(const hstring& name, kavtypes::Rectangle rect)
        : ImageBox(name, rect), ButtonBase()
    {
    }

    ImageButton::~ImageButton() {}

    Object* ImageButton::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new ImageButton(name, rect);
    }

    const PropertyTable<ImageButton>& ImageButton::_properties()
    {
        using Table = PropertyTable<ImageButton>;
        static const Table table = {
            {"pushed_image", PropertyInfo::STRING, &ImageButton::getPushedImageName,
             &ImageButton::setPushedImageByName},
            {"hover_image", PropertyInfo::STRING, &ImageButton::getHoverImageName,
             &ImageButton::setHoverImageByName},
            {"disabled_image", PropertyInfo::STRING, &ImageButton::getDisabledImageName,
             &ImageButton::setDisabledImageByName},
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(ImageButton, ImageBox, _properties)

    // The button part answers first, then the image box.
    QUORTYPES_PROPERTY_TABLE_GET_SET_TWO_BASES(ImageButton, ButtonBase, ImageBox, _properties)

    harray<Image*> ImageButton::getImages() const
    {
        harray<Image*> result;
        for (Image* image : {this->image.get(), pushedImage.get(), hoverImage.get(), disabledImage.get()})
        {
            if (image != nullptr)
            {
                result.push_back(image);
            }
        }
        return result;
    }

    void ImageButton::setImage(Image* image)
    {
        ImageBox::setImage(image);
        normalImage = image;
        normalImageName = imageName;
    }

    void ImageButton::setImageByName(const hstring& name)
    {
        if (_checkDataset(("set image '" + name + "'").c_str()))
        {
            ImageBox::setImageByName(name);
        }
    }

    static hstring nameOf(Image* image)
    {
        return image != nullptr ? image->getFullName() : hstring("null");
    }

    void ImageButton::setHoverImage(Image* image)
    {
        hoverImage = image;
        hoverImageName = nameOf(image);
    }

    void ImageButton::setPushedImage(Image* image)
    {
        pushedImage = image;
        pushedImageName = nameOf(image);
    }

    void ImageButton::setDisabledImage(Image* image)
    {
        disabledImage = image;
        disabledImageName = nameOf(image);
    }

    bool ImageButton::_imageByName(const hstring& name, Image*& image)
    {
        if (!_checkDataset(("set image '" + name + "'").c_str()))
        {
            return false;
        }
        image = dataset->getImage(name);
        return true;
    }

    void ImageButton::setHoverImageByName(const hstring& name)
    {
        Image* image = nullptr;
        if (_imageByName(name, image))
        {
            setHoverImage(image);
        }
    }

    void ImageButton::setPushedImageByName(const hstring& name)
    {
        Image* image = nullptr;
        if (_imageByName(name, image))
        {
            setPushedImage(image);
        }
    }

    void ImageButton::setDisabledImageByName(const hstring& name)
    {
        Image* image = nullptr;
        if (_imageByName(name, image))
        {
            setDisabledImage(image);
        }
    }

    bool ImageButton::trySetHoverImageByName(const hstring& name)
    {
        if (name == hoverImageName)
        {
            return false;
        }
        setHoverImageByName(name);
        return true;
    }

    bool ImageButton::trySetPushedImageByName(const hstring& name)
    {
        if (name == pushedImageName)
        {
            return false;
        }
        setPushedImageByName(name);
        return true;
    }

    bool ImageButton::onMouseDown(unsigned int keyCode)
    {
        if (Object::onMouseDown(keyCode))
        {
            return true;
        }
        if (!ButtonBase::onMouseDown(keyCode))
        {
            return false;
        }
        triggerEvent("MouseDown", keyCode);
        return true;
    }

    bool ImageButton::onMouseUp(unsigned int keyCode)
    {
        if (Object::onMouseUp(keyCode))
        {
            return true;
        }
        bool click = ButtonBase::onMouseUp(keyCode);
        bool up = hovered && triggerEvent("MouseUp", keyCode);
        if (click)
        {
            triggerEvent("Click", keyCode);
            return true;
        }
        return up;
    }

    bool ImageButton::onButtonDown(int buttonCode)
    {
        if (Object::onButtonDown(buttonCode))
        {
            return true;
        }
        if (!ButtonBase::onButtonDown(buttonCode))
        {
            return false;
        }
        triggerEvent("ButtonDown", buttonCode);
        return true;
    }

    bool ImageButton::onButtonUp(int buttonCode)
    {
        if (Object::onButtonUp(buttonCode))
        {
            return true;
        }
        bool click = ButtonBase::onButtonUp(buttonCode);
        bool up = hovered && triggerEvent("ButtonUp", buttonCode);
        if (click)
        {
            triggerEvent("ButtonClick", buttonCode);
            return true;
        }
        return up;
    }

    bool ImageButton::onMouseMove()
    {
        return Object::onMouseMove() || ButtonBase::onMouseMove();
    }

    void ImageButton::_mouseCancel()
    {
        ImageBox::_mouseCancel();
        ButtonBase::_mouseCancel();
    }

    void ImageButton::update(float timeDelta)
    {
        ButtonBase::update(timeDelta);
        _chooseImage();
        Object::update(timeDelta);
    }

    void ImageButton::_chooseImage()
    {
        if (normalImage != nullptr)
        {
            this->image = normalImage;
        }
        else if (dataset != nullptr)
        {
            this->image = dataset->getImage("null");
        }
        else if (!nullImageWarned)
        {
            // Every frame would repeat it.
            nullImageWarned = true;
            _checkDataset("show the \"null\" image");
        }
        if (!isDerivedEnabled())
        {
            if (disabledImage != nullptr)
            {
                this->image = disabledImage;
            }
        }
        else if (hovered)
        {
            if (pushed)
            {
                if (pushedImage != nullptr)
                {
                    this->image = pushedImage;
                }
            }
            else if (hoverImage != nullptr && isHoverEffectEnabled())
            {
                this->image = hoverImage;
            }
        }
    }

    void ImageButton::_draw()
    {
        bool enabled = isDerivedEnabled();
        tesra::Color color = getDerivedColor();
        kavtypes::Rectangle drawRect = getDrawRect();
        if (!enabled && disabledImage != nullptr)
        {
            disabledImage->draw(drawRect, color);
            return;
        }
        if (pushed && pushedImage == nullptr && this->image != nullptr && isCursorInside())
        {
            tesra::Color darkened((unsigned char)(color.r * 0.75f), (unsigned char)(color.g * 0.75f),
                                  (unsigned char)(color.b * 0.75f), color.a);
            this->image->draw(drawRect, darkened);
            return;
        }
        ImageBox::_draw();
        if (enabled && hovered && !pushed && hoverImage == nullptr && isHoverEffectEnabled() &&
            this->image != nullptr)
        {
            tesra::BlendMode blendMode = this->image->getBlendMode();
            this->image->setBlendMode(tesra::BlendMode::ADD);
            this->image->draw(drawRect, tesra::Color(color, (unsigned char)(color.a / 4)));
            this->image->setBlendMode(blendMode);
        }
    }
} // namespace tesraui
