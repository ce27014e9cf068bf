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
            return (direction >= RIGHT && direction <= UP) ? directionWords[direction] : "";
        }
        if (name == "stretching")
        {
            return hstring(stretching ? 1 : 0);
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
                    direction = code;
                    return true;
                }
            }
            quortypes::Log::warn(logTag, "'direction=' does not support value '" + value + "'.");
            return false;
        }
        if (name == "stretching")
        {
            stretching = value.toBool();
            return true;
        }
        if ((name == "progress_image" || name == "mask_image") &&
            !_checkDataset(("set image '" + value + "'").c_str()))
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
        float p = _clampedProgress();
        tesra::Color color = getDerivedColor();
        color.a = (unsigned char)(color.a * getDisabledAlphaFactor());
        kavtypes::Rectangle drawRect = getDrawRect();
        if (progressImage != nullptr && p > 0.0f)
        {
            kavtypes::Rectangle source = progressImage->getSourceRect();
            if (!stretching)
            {
                progressImage->setSourceRect(cut(source, direction, p));
            }
            progressImage->draw(cut(drawRect, direction, p), color);
            if (!stretching)
            {
                progressImage->setSourceRect(source);
            }
        }
        _drawMask(drawRect, color);
    }
} // namespace tesraui
