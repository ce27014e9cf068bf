#include <cmath>

#include <quortypes/Log.h>
#include <quortypes/util.h>
#include <tesra/Vertex.h>
#include <tesraui/Image.h>
#include <tesraui/ProgressCircle.h>
#include <tesraui/tesraui.h>

#include "PropertyRows.h"

using kavtypes::Vector2;

namespace tesraui
{
    static const char* const directionWords[] = {
        "clockwise",        "clockwise90",        "clockwise180",        "clockwise270",
        "counterclockwise", "counterclockwise90", "counterclockwise180", "counterclockwise270"};

    struct Sweep
    {
        Vector2 start;
        Vector2 corners[4];
    };

    // Per direction: where the sweep starts and the corners in the order it meets them.
    static const Sweep sweeps[8] = {
        {{1.0f, 0.5f}, {{1.0f, 1.0f}, {0.0f, 1.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}}},
        {{0.5f, 0.0f}, {{1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}, {0.0f, 0.0f}}},
        {{0.0f, 0.5f}, {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}}},
        {{0.5f, 1.0f}, {{0.0f, 1.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}}},
        {{1.0f, 0.5f}, {{1.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 1.0f}, {1.0f, 1.0f}}},
        {{0.5f, 0.0f}, {{0.0f, 0.0f}, {0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}}},
        {{0.0f, 0.5f}, {{0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}, {0.0f, 0.0f}}},
        {{0.5f, 1.0f}, {{1.0f, 1.0f}, {1.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 1.0f}}},
    };

    ProgressCircle::ProgressCircle(const hstring& name, kavtypes::Rectangle rect)
        : ImageBox(name, rect), ProgressBase()
    {
    }

    ProgressCircle::~ProgressCircle() {}

    Object* ProgressCircle::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new ProgressCircle(name, rect);
    }

    const PropertyTable<ProgressCircle>& ProgressCircle::_properties()
    {
        static const PropertyTable<ProgressCircle> table = {
            PropertyRows<ProgressCircle>::wordRow("direction", directionWords, &ProgressCircle::direction),
        };
        return table;
    }

    // The image box's, then the progress block's, then its own.
    harray<PropertyInfo> ProgressCircle::getPropertyDescriptions() const
    {
        return _properties().describeAfter(ImageBox::getPropertyDescriptions() +
                                           ProgressBase::getPropertyDescriptions());
    }

    // The progress block answers first, then the image box.
    QUORTYPES_PROPERTY_TABLE_GET_SET_TWO_BASES(ProgressCircle, ProgressBase, ImageBox, _properties)

    harray<Vector2> ProgressCircle::_pie(int direction, float progress)
    {
        static const float thresholds[4] = {0.125f, 0.375f, 0.625f, 0.875f};
        const Sweep& sweep = sweeps[(direction >= 0 && direction < 8) ? direction : 0];
        const Vector2 centre(0.5f, 0.5f);
        harray<Vector2> points({centre, sweep.start});
        int passed = 0;
        while (passed < 4 && progress >= thresholds[passed])
        {
            const Vector2& corner = sweep.corners[passed];
            points.push_back(corner);
            points.push_back(centre);
            points.push_back(corner);
            ++passed;
        }
        // The ray at the progress's angle meets the border between the last corner passed and the next.
        const Vector2& previous = sweep.corners[(passed + 3) % 4];
        const Vector2& next = sweep.corners[passed % 4];
        float angle = quortypes::modPositive(progress * 360.0f + 45.0f, 90.0f) - 45.0f;
        float t = 0.5f + 0.5f * std::tan(angle * (float)M_PI / 180.0f);
        points.push_back(previous + (next - previous) * t);
        return points;
    }

    void ProgressCircle::_draw()
    {
        ImageBox::_draw();
        float p = _clampedProgress();
        tesra::Color color = getDerivedColor();
        color.a = (unsigned char)(color.a * getDisabledAlphaFactor());
        kavtypes::Rectangle drawRect = getDrawRect();
        if (progressImage != nullptr)
        {
            if (p >= 1.0f)
            {
                progressImage->draw(drawRect, color);
            }
            else if (p > 0.0f)
            {
                harray<tesra::TexturedVertex> vertices;
                for (const Vector2& point : _pie(direction, p))
                {
                    vertices.push_back(tesra::TexturedVertex(drawRect.x + point.x * drawRect.w,
                                                             drawRect.y + point.y * drawRect.h, 0.0f, point.x,
                                                             point.y));
                }
                progressImage->draw(vertices, color);
            }
        }
        _drawMask(drawRect, color);
    }
} // namespace tesraui
