#include "LineObject.h"

#include <vector>

#include <quortypes/exception.h>
#include <tesra/RenderSystem.h>
#include <tesra/Vertex.h>
#include <tesra/tesra.h>

namespace vumo
{
    tesraui::Object* LineObject::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new LineObject(name, rect);
    }

    const PropertyTable<LineObject>& LineObject::_properties()
    {
        static const PropertyTable<LineObject> table = {
            {"points", PropertyInfo::STRING,
             [](LineObject& line)
             {
                 hstring result;
                 for (int i = 0; i < line.points.size(); ++i)
                 {
                     result += formatString(i == 0 ? "%f,%f" : ";%f,%f", line.points[i].x, line.points[i].y);
                 }
                 return result;
             },
             [](LineObject& line, const hstring& value)
             {
                 // A part without "," names no point and is skipped.
                 harray<kavtypes::Vector2> result;
                 for (const hstring& part : value.split(';'))
                 {
                     hstring x;
                     hstring y;
                     if (part.split(',', x, y))
                     {
                         result.push_back(kavtypes::Vector2(x.toFloat(), y.toFloat()));
                     }
                 }
                 line.points = result;
             }},
            {"render_op", PropertyInfo::STRING,
             [](LineObject& line) {
                 return hstring(line.renderOperation == tesra::RenderOperation::LINE_STRIP ? "line_strip"
                                                                                           : "line_list");
             },
             [](LineObject& line, const hstring& value)
             {
                 if (value == "line_list")
                 {
                     line.renderOperation = tesra::RenderOperation::LINE_LIST;
                 }
                 else if (value == "line_strip")
                 {
                     line.renderOperation = tesra::RenderOperation::LINE_STRIP;
                 }
                 else
                 {
                     throw quortypes::exception("LineObject: invalid render op '" + value + "'",
                                                "objects/ObjectLineObject", __LINE__);
                 }
             }},
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_OWN_FIRST(LineObject, tesraui::Object, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(LineObject, tesraui::Object, _properties)

    void LineObject::_draw()
    {
        if (this->points.size() == 0 || tesra::rendersys == nullptr)
        {
            return;
        }
        const tesra::Color& c = this->color;
        const unsigned int packed = ((unsigned int)c.r << 24) | ((unsigned int)c.g << 16) |
                                    ((unsigned int)c.b << 8) | (unsigned int)c.a;
        std::vector<tesra::ColoredVertex> vertices;
        vertices.reserve(this->points.size());
        for (const kavtypes::Vector2& point : this->points)
        {
            vertices.emplace_back(point.x - this->center.x, point.y - this->center.y, 0.0f, packed);
        }
        tesra::rendersys->render(this->renderOperation, vertices.data(), (int)vertices.size());
    }
} // namespace vumo
