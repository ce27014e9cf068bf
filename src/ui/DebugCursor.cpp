#include "DebugCursor.h"

#include <vector>

#include <tesra/RenderSystem.h>
#include <tesra/Vertex.h>
#include <tesra/tesra.h>
#include <tesraui/Container.h>
#include <tesraui/tesraui.h>

#include "GameUiHost.h"

namespace vumo
{
    namespace
    {
        MultiTouchDebugCursor* current = nullptr;

        // The arrow's outline, one unit long.
        const kavtypes::Vector2 arrow[] = {kavtypes::Vector2(0.0f, 0.0f), kavtypes::Vector2(1.0f, 0.5f),
                                           kavtypes::Vector2(0.5f, 1.0f), kavtypes::Vector2(0.0f, 0.0f)};
    } // namespace

    MultiTouchDebugCursor::MultiTouchDebugCursor(GameUiHost& ui, const hstring& name,
                                                 kavtypes::Rectangle rect)
        : tesraui::Object(name, rect), ui(ui)
    {
        if (tesraui::Container* root = this->ui.getRootObject())
        {
            this->centre = root->getSize() * 0.5f;
        }
        this->lastCursor = tesraui::getCursorPosition();
        current = this;
    }

    MultiTouchDebugCursor::~MultiTouchDebugCursor()
    {
        if (current == this)
        {
            current = nullptr;
        }
        if (this->active)
        {
            this->active = false;
            this->ui.OnTouch(harray<kavtypes::Vector2>());
        }
    }

    MultiTouchDebugCursor* MultiTouchDebugCursor::getInstance()
    {
        return current;
    }

    harray<kavtypes::Vector2> MultiTouchDebugCursor::getTouchPoints() const
    {
        harray<kavtypes::Vector2> points;
        points.push_back(this->lastCursor);
        points.push_back(this->centre * 2.0f - this->lastCursor);
        if (this->ctrlHeld)
        {
            points.push_back(this->centre);
        }
        return points;
    }

    void MultiTouchDebugCursor::setActive(bool value)
    {
        this->active = value;
        this->lastCursor = tesraui::getCursorPosition();
        this->lastPoints = (value ? this->getTouchPoints() : harray<kavtypes::Vector2>());
        // The hook gets a copy: nothing of this cursor is read once it runs.
        const harray<kavtypes::Vector2> points = this->lastPoints;
        this->ui.OnTouch(points);
    }

    void MultiTouchDebugCursor::onCursorMoved()
    {
        const kavtypes::Vector2 cursor = tesraui::getCursorPosition();
        if (this->shiftHeld)
        {
            // The centre keeps its distance to the pointer, so the pinch's middle can be placed.
            this->centre += cursor - this->lastCursor;
        }
        this->lastCursor = cursor;
        if (!this->active)
        {
            return;
        }
        const harray<kavtypes::Vector2> points = this->getTouchPoints();
        if (points != this->lastPoints)
        {
            this->lastPoints = points;
            this->ui.OnTouch(points);
        }
    }

    void MultiTouchDebugCursor::_draw()
    {
        tesraui::Container* root = this->ui.getRootObject();
        if (tesra::rendersys == nullptr || root == nullptr)
        {
            return;
        }
        const float size = root->getHeight() / 50.0f;
        const kavtypes::Vector2 origin = this->getDerivedPoint(kavtypes::Vector2());
        const unsigned int color = 0xFFCC00FF;
        std::vector<tesra::ColoredVertex> vertices;
        for (const kavtypes::Vector2& point : this->getTouchPoints())
        {
            const kavtypes::Vector2 at = point - origin - this->center;
            for (int i = 0; i < 3; ++i)
            {
                const kavtypes::Vector2 a = at + arrow[i] * size;
                const kavtypes::Vector2 b = at + arrow[i + 1] * size;
                vertices.emplace_back(a.x, a.y, 0.0f, color);
                vertices.emplace_back(b.x, b.y, 0.0f, color);
            }
        }
        tesra::rendersys->render(tesra::RenderOperation::LINE_LIST, vertices.data(), (int)vertices.size());
    }
} // namespace vumo
