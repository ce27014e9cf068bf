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

    harray<PropertyInfo> ImageButton::getPropertyDescriptions() const
    {
        static harray<PropertyInfo> descriptions;
        if (descriptions.size() == 0)
        {
            descriptions = ImageBox::getPropertyDescriptions();
            descriptions.push_back(PropertyInfo("pushed_image", PropertyInfo::STRING));
            descriptions.push_back(PropertyInfo("hover_image", PropertyInfo::STRING));
            descriptions.push_back(PropertyInfo("disabled_image", PropertyInfo::STRING));
        }
        return descriptions;
    }

    harray<Image*> ImageButton::getImages() const
    {
        harray<Image*> result;
        for (Image* image : {this->image, this->pushedImage, this->hoverImage, this->disabledImage})
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
        this->normalImage = image;
        this->normalImageName = this->imageName;
    }

    void ImageButton::setImageByName(const hstring& name)
    {
        if (this->_checkDataset(("set image '" + name + "'").c_str()))
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
        this->hoverImage = image;
        this->hoverImageName = nameOf(image);
    }

    void ImageButton::setPushedImage(Image* image)
    {
        this->pushedImage = image;
        this->pushedImageName = nameOf(image);
    }

    void ImageButton::setDisabledImage(Image* image)
    {
        this->disabledImage = image;
        this->disabledImageName = nameOf(image);
    }

    bool ImageButton::_imageByName(const hstring& name, Image*& image)
    {
        if (!this->_checkDataset(("set image '" + name + "'").c_str()))
        {
            return false;
        }
        image = this->dataset->getImage(name);
        return true;
    }

    void ImageButton::setHoverImageByName(const hstring& name)
    {
        Image* image = nullptr;
        if (this->_imageByName(name, image))
        {
            this->setHoverImage(image);
        }
    }

    void ImageButton::setPushedImageByName(const hstring& name)
    {
        Image* image = nullptr;
        if (this->_imageByName(name, image))
        {
            this->setPushedImage(image);
        }
    }

    void ImageButton::setDisabledImageByName(const hstring& name)
    {
        Image* image = nullptr;
        if (this->_imageByName(name, image))
        {
            this->setDisabledImage(image);
        }
    }

    bool ImageButton::trySetHoverImageByName(const hstring& name)
    {
        if (name == this->hoverImageName)
        {
            return false;
        }
        this->setHoverImageByName(name);
        return true;
    }

    bool ImageButton::trySetPushedImageByName(const hstring& name)
    {
        if (name == this->pushedImageName)
        {
            return false;
        }
        this->setPushedImageByName(name);
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
        this->triggerEvent("MouseDown", keyCode);
        return true;
    }

    bool ImageButton::onMouseUp(unsigned int keyCode)
    {
        if (Object::onMouseUp(keyCode))
        {
            return true;
        }
        bool click = ButtonBase::onMouseUp(keyCode);
        bool up = this->hovered && this->triggerEvent("MouseUp", keyCode);
        if (click)
        {
            this->triggerEvent("Click", keyCode);
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
        this->triggerEvent("ButtonDown", buttonCode);
        return true;
    }

    bool ImageButton::onButtonUp(int buttonCode)
    {
        if (Object::onButtonUp(buttonCode))
        {
            return true;
        }
        bool click = ButtonBase::onButtonUp(buttonCode);
        bool up = this->hovered && this->triggerEvent("ButtonUp", buttonCode);
        if (click)
        {
            this->triggerEvent("ButtonClick", buttonCode);
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
        this->_chooseImage();
        Object::update(timeDelta);
    }

    void ImageButton::_chooseImage()
    {
        if (this->normalImage != nullptr)
        {
            this->image = this->normalImage;
        }
        else if (this->dataset != nullptr)
        {
            this->image = this->dataset->getImage("null");
        }
        else if (!this->nullImageWarned)
        {
            // Every frame would repeat it.
            this->nullImageWarned = true;
            this->_checkDataset("show the \"null\" image");
        }
        if (!this->isDerivedEnabled())
        {
            if (this->disabledImage != nullptr)
            {
                this->image = this->disabledImage;
            }
        }
        else if (this->hovered)
        {
            if (this->pushed)
            {
                if (this->pushedImage != nullptr)
                {
                    this->image = this->pushedImage;
                }
            }
            else if (this->hoverImage != nullptr && isHoverEffectEnabled())
            {
                this->image = this->hoverImage;
            }
        }
    }

    hstring ImageButton::getProperty(const hstring& name)
    {
        if (name == "pushed_image")
        {
            return this->pushedImageName;
        }
        if (name == "hover_image")
        {
            return this->hoverImageName;
        }
        if (name == "disabled_image")
        {
            return this->disabledImageName;
        }
        hstring result = ButtonBase::getProperty(name);
        return result != "" ? result : ImageBox::getProperty(name);
    }

    bool ImageButton::setProperty(const hstring& name, const hstring& value)
    {
        if (name == "pushed_image")
        {
            this->setPushedImageByName(value);
            return true;
        }
        if (name == "hover_image")
        {
            this->setHoverImageByName(value);
            return true;
        }
        if (name == "disabled_image")
        {
            this->setDisabledImageByName(value);
            return true;
        }
        return ButtonBase::setProperty(name, value) || ImageBox::setProperty(name, value);
    }

    void ImageButton::_draw()
    {
        bool enabled = this->isDerivedEnabled();
        tesra::Color color = this->getDerivedColor();
        kavtypes::Rectangle drawRect = this->getDrawRect();
        if (!enabled && this->disabledImage != nullptr)
        {
            this->disabledImage->draw(drawRect, color);
            return;
        }
        if (this->pushed && this->pushedImage == nullptr && this->image != nullptr && this->isCursorInside())
        {
            tesra::Color darkened((unsigned char)(color.r * 0.75f), (unsigned char)(color.g * 0.75f),
                                  (unsigned char)(color.b * 0.75f), color.a);
            this->image->draw(drawRect, darkened);
            return;
        }
        ImageBox::_draw();
        if (enabled && this->hovered && !this->pushed && this->hoverImage == nullptr &&
            isHoverEffectEnabled() && this->image != nullptr)
        {
            tesra::BlendMode blendMode = this->image->getBlendMode();
            this->image->setBlendMode(tesra::BlendMode::ADD);
            this->image->draw(drawRect, tesra::Color(color, (unsigned char)(color.a / 4)));
            this->image->setBlendMode(blendMode);
        }
    }
} // namespace tesraui
