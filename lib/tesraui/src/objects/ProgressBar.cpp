#include <quortypes/Log.h>
#include <tesraui/Image.h>
#include <tesraui/ProgressBar.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    static const char* const directionWords[] = {"right", "left", "down", "up"};

    ProgressBar::ProgressBar(const hstring& name, kavtypes::Rectangle rect)
        : ImageBox(name, rect), ProgressBase()
    {
    }

    ProgressBar::~ProgressBar() {}

    Object* ProgressBar::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new ProgressBar(name, rect);
    }

    harray<PropertyInfo> ProgressBar::getPropertyDescriptions() const
    {
        static harray<PropertyInfo> descriptions;
        if (descriptions.size() == 0)
        {
            descriptions = ImageBox::getPropertyDescriptions();
            harray<PropertyInfo> progress = ProgressBase::getPropertyDescriptions();
            descriptions.insert(descriptions.end(), progress.begin(), progress.end());
            descriptions.push_back(PropertyInfo("stretching", PropertyInfo::BOOL));
            descriptions.push_back(PropertyInfo("direction", PropertyInfo::ENUM));
        }
        return descriptions;
    }

    hstring ProgressBar::getProperty(const hstring& name)
    {
        if (name == "direction")
        {
            return (this->direction >= RIGHT && this->direction <= UP) ? directionWords[this->direction] : "";
        }
        if (name == "stretching")
        {
            return hstring(this->stretching ? 1 : 0);
        }
        hstring result = ProgressBase::getProperty(name);
        return result != "" ? result : ImageBox::getProperty(name);
    }

    bool ProgressBar::setProperty(const hstring& name, const hstring& value)
    {
        if (name == "direction")
        {
            for (int code = RIGHT; code <= UP; ++code)
            {
                if (value == directionWords[code])
                {
                    this->direction = code;
                    return true;
                }
            }
            quortypes::Log::warn(logTag, "'direction=' does not support value '" + value + "'.");
            return false;
        }
        if (name == "stretching")
        {
            this->stretching = value.toBool();
            return true;
        }
        if ((name == "progress_image" || name == "mask_image") &&
            !this->_checkDataset(("set image '" + value + "'").c_str()))
        {
            return true;
        }
        return ProgressBase::setProperty(name, value) || ImageBox::setProperty(name, value);
    }

    // The part of the rectangle that a progress p uncovers, from the side the direction starts at.
    static kavtypes::Rectangle cut(kavtypes::Rectangle rect, int direction, float p)
    {
        switch (direction)
        {
        case ProgressBar::LEFT:
            rect.x += rect.w - rect.w * p;
            rect.w *= p;
            break;
        case ProgressBar::DOWN:
            rect.h *= p;
            break;
        case ProgressBar::UP:
            rect.y += rect.h - rect.h * p;
            rect.h *= p;
            break;
        default:
            rect.w *= p;
            break;
        }
        return rect;
    }

    void ProgressBar::_draw()
    {
        ImageBox::_draw();
        float p = this->_clampedProgress();
        tesra::Color color = this->getDerivedColor();
        color.a = (unsigned char)(color.a * this->getDisabledAlphaFactor());
        kavtypes::Rectangle drawRect = this->getDrawRect();
        if (this->progressImage != nullptr && p > 0.0f)
        {
            kavtypes::Rectangle source = this->progressImage->getSourceRect();
            if (!this->stretching)
            {
                this->progressImage->setSourceRect(cut(source, this->direction, p));
            }
            this->progressImage->draw(cut(drawRect, this->direction, p), color);
            if (!this->stretching)
            {
                this->progressImage->setSourceRect(source);
            }
        }
        this->_drawMask(drawRect, color);
    }
} // namespace tesraui
