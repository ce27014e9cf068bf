#include <quortypes/Log.h>
#include <tesraui/Image.h>
#include <tesraui/ProgressBar.h>
#include <tesraui/tesraui.h>

#include "PropertyRows.h"

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

    const PropertyTable<ProgressBar>& ProgressBar::_properties()
    {
        static const PropertyTable<ProgressBar> table = {
            PropertyTable<ProgressBar>::flagRow("stretching", &ProgressBar::stretching),
            PropertyRows<ProgressBar>::wordRow("direction", directionWords, &ProgressBar::direction),
        };
        return table;
    }

    // The image box's, then the progress block's, then its own.
    harray<PropertyInfo> ProgressBar::getPropertyDescriptions() const
    {
        return _properties().describeAfter(ImageBox::getPropertyDescriptions() +
                                           ProgressBase::getPropertyDescriptions());
    }

    // The progress block answers first, then the image box.
    QUORTYPES_PROPERTY_TABLE_GET_SET_TWO_BASES(ProgressBar, ProgressBase, ImageBox, _properties)

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
