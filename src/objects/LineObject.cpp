#include "LineObject.h"

#include <vector>

#include <quortypes/exception.h>
#include <tesra/RenderSystem.h>
#include <tesra/Vertex.h>
#include <tesra/tesra.h>

tesraui::Object* LineObject::createInstance(const hstring& name, kavtypes::Rectangle rect)
{
    return new LineObject(name, rect);
}

harray<PropertyInfo> LineObject::getPropertyDescriptions() const
{
    harray<PropertyInfo> result = {PropertyInfo("points", PropertyInfo::STRING),
                                   PropertyInfo("render_op", PropertyInfo::STRING)};
    harray<PropertyInfo> base = tesraui::Object::getPropertyDescriptions();
    result.insert(result.end(), base.begin(), base.end());
    return result;
}

hstring LineObject::getProperty(const hstring& name)
{
    if (name == "points")
    {
        hstring result;
        for (int i = 0; i < this->points.size(); ++i)
        {
            result += formatString(i == 0 ? "%f,%f" : ";%f,%f", this->points[i].x, this->points[i].y);
        }
        return result;
    }
    if (name == "render_op")
    {
        return (this->renderOperation == tesra::RenderOperation::LINE_STRIP ? "line_strip" : "line_list");
    }
    return tesraui::Object::getProperty(name);
}

bool LineObject::setProperty(const hstring& name, const hstring& value)
{
    if (name == "points")
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
        this->points = result;
        return true;
    }
    if (name == "render_op")
    {
        if (value == "line_list")
        {
            this->renderOperation = tesra::RenderOperation::LINE_LIST;
        }
        else if (value == "line_strip")
        {
            this->renderOperation = tesra::RenderOperation::LINE_STRIP;
        }
        else
        {
            throw quortypes::exception("LineObject: invalid render op '" + value + "'",
                                       "objects/ObjectLineObject", __LINE__);
        }
        return true;
    }
    return tesraui::Object::setProperty(name, value);
}

void LineObject::_draw()
{
    if (this->points.size() == 0 || tesra::rendersys == nullptr)
    {
        return;
    }
    const tesra::Color& c = this->color;
    const unsigned int packed =
        ((unsigned int)c.r << 24) | ((unsigned int)c.g << 16) | ((unsigned int)c.b << 8) | (unsigned int)c.a;
    std::vector<tesra::ColoredVertex> vertices;
    vertices.reserve(this->points.size());
    for (const kavtypes::Vector2& point : this->points)
    {
        vertices.emplace_back(point.x - this->center.x, point.y - this->center.y, 0.0f, packed);
    }
    tesra::rendersys->render(this->renderOperation, vertices.data(), (int)vertices.size());
}
