#include <cmath>

#include <kavtypes/Matrix4.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    kavtypes::Rectangle Object::getDrawRect() const
    {
        return kavtypes::Rectangle(-this->center.x, -this->center.y, this->rect.w, this->rect.h);
    }

    void Object::_drawDebug()
    {
        tesra::rendersys->drawRect(kavtypes::Rectangle(-1.0f, -1.0f, 2.0f, 2.0f),
                                   tesra::Color(255, 255, 255, 255));
        tesra::rendersys->drawRect(kavtypes::Rectangle(-3.0f, -3.0f, 6.0f, 6.0f),
                                   tesra::Color(0, 255, 0, 255));
    }

    void Object::draw()
    {
        tesra::RenderSystem* rs = tesra::rendersys;
        if (rs == nullptr || !this->visible || this->color.a == 0 || std::fabs(this->scale.x) < 0.0001f ||
            std::fabs(this->scale.y) < 0.0001f)
        {
            return;
        }
        kavtypes::Rectangle projection;
        kavtypes::Rectangle viewport;
        bool clipped = false;
        if (this->clip && this->parent != nullptr)
        {
            projection = rs->getOrthoProjection();
            viewport = rs->getViewport();
            kavtypes::Rectangle bounds = this->parent->getBoundingRect(nullptr);
            // An empty area (an outer clip left nothing, or the parent has no extent) shows nothing of the
            // subtree; the arithmetic below would divide by zero.
            if (viewport.w <= 0.0f || viewport.h <= 0.0f || projection.w == 0.0f || projection.h == 0.0f ||
                bounds.w <= 0.0f || bounds.h <= 0.0f)
            {
                return;
            }
            kavtypes::Vector2 ratio = projection.getSize() / viewport.getSize();
            rs->setOrthoProjection(kavtypes::Rectangle(-bounds.x, -bounds.y, bounds.w, bounds.h));
            kavtypes::Vector2 position = (bounds.getPosition() + projection.getPosition()) / ratio;
            kavtypes::Vector2 size = bounds.getSize() / ratio;
            rs->setViewport(kavtypes::Rectangle(position.x, position.y, size.x, size.y));
            clipped = true;
        }
        kavtypes::Matrix4 modelview = rs->getModelviewMatrix();
        kavtypes::Vector2 translation = this->rect.getPosition() + this->center;
        if (translation.x != 0.0f || translation.y != 0.0f)
        {
            rs->translate(translation.x, translation.y, 0.0f);
        }
        if (this->angle != 0.0f)
        {
            rs->rotate(this->angle, 0.0f, 0.0f, -1.0f);
        }
        if (this->scale.x != 1.0f || this->scale.y != 1.0f)
        {
            rs->scale(this->scale.x, this->scale.y, 1.0f);
        }
        this->_draw();
        if (isDebugEnabled())
        {
            this->_drawDebug();
        }
        if (this->center.x != 0.0f || this->center.y != 0.0f)
        {
            rs->translate(-this->center.x, -this->center.y, 0.0f);
        }
        for (Object* child : this->children)
        {
            child->draw();
        }
        if (clipped)
        {
            rs->setOrthoProjection(projection);
            rs->setViewport(viewport);
        }
        rs->setModelviewMatrix(modelview);
    }
} // namespace tesraui
