#include "Match3Scene.h"

#include <algorithm>
#include <cmath>

#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>

// The scene's own objects found by name, the duel's standing on screen (the two bars, or the health markers
// that stand in for them) and the board's edge that cells falling in are cut at.

bool Match3Scene::getRowBand(float cellHeight, float& top, float& bottom) const
{
    if (cells.empty())
    {
        return false;
    }
    const float first = slotY(0);
    const float last = slotY(rows - 1);
    top = std::min(first, last);
    bottom = std::max(first, last) + std::max(cellHeight, 0.0f);
    return true;
}

void Match3Element::_draw()
{
    tesra::RenderSystem* rs = tesra::rendersys;
    tesraui::Object* root = (scene != nullptr ? scene->getRootObject() : nullptr);
    float top = 0.0f;
    float bottom = 0.0f;
    // A mover ends a hair's breadth from its slot: only a cell truly beyond the rows is cut.
    if (rs == nullptr || root == nullptr || parent != root || !scene->getRowBand(getHeight(), top, bottom) ||
        (getY() >= top - 0.5f && getY() + getHeight() <= bottom + 0.5f))
    {
        ImageBox::_draw();
        return;
    }
    // The band in the units of the projection in force, as the root object (and a zoom of it) places it,
    // then in pixels of the viewport in force, cut to that viewport so that an enclosing clip still holds.
    const float bandTop = root->getDerivedPoint(kavtypes::Vector2(0.0f, top)).y;
    const float bandBottom = root->getDerivedPoint(kavtypes::Vector2(0.0f, bottom)).y;
    const kavtypes::Rectangle projection = rs->getOrthoProjection();
    const kavtypes::Rectangle viewport = rs->getViewport();
    if (viewport.h <= 0.0f || projection.h == 0.0f)
    {
        return;
    }
    const float ratio = projection.h / viewport.h;
    const float start = viewport.y + (std::min(bandTop, bandBottom) + projection.y) / ratio;
    const float end = viewport.y + (std::max(bandTop, bandBottom) + projection.y) / ratio;
    const float from = std::max(start, viewport.y);
    const float size = std::min(end, viewport.y + viewport.h) - from;
    // Not a number when the band is beyond what a float places: nothing of the cell can be.
    if (!(size > 0.0f))
    {
        return;
    }
    rs->setOrthoProjection(kavtypes::Rectangle(projection.x, projection.y + (viewport.y - from) * ratio,
                                               projection.w, size * ratio));
    rs->setViewport(kavtypes::Rectangle(viewport.x, from, viewport.w, size));
    ImageBox::_draw();
    rs->setOrthoProjection(projection);
    rs->setViewport(viewport);
}

hdict<tesraui::Object*> Match3Scene::_namedObjects() const
{
    // Breadth first, the first of a name kept: what a search for each name would find.
    hdict<tesraui::Object*> named;
    if (rootObject == nullptr)
    {
        return named;
    }
    harray<tesraui::Object*> pending = rootObject->getChildren();
    for (int i = 0; i < pending.size(); ++i)
    {
        tesraui::Object* object = pending[i];
        if (!named.hasKey(object->getName()))
        {
            named[object->getName()] = object;
        }
        for (tesraui::Object* child : object->getChildren())
        {
            pending.push_back(child);
        }
    }
    return named;
}

tesraui::Object* Match3Scene::_findObject(const hstring& name) const
{
    return _namedObjects().tryGet(name, nullptr);
}

void Match3Scene::_updateHealthDisplay()
{
    // One walk of the scene's tree a frame, however many markers there are.
    const hdict<tesraui::Object*> named = _namedObjects();
    if (!healthPoints)
    {
        tesraui::Object* enemy = named.tryGet("enemy_bar_progress", nullptr);
        tesraui::Object* player = time > 0.0f ? named.tryGet("player_bar_progress", nullptr) : nullptr;
        const float enemyScale = health / 1000.0f;
        const float playerScale = time > 0.0f ? timeLeft / time : 0.0f;
        if (horizontalBars)
        {
            if (enemy != nullptr)
            {
                enemy->setScaleX(enemyScale);
            }
            if (player != nullptr)
            {
                player->setScaleX(playerScale);
            }
        }
        else
        {
            if (enemy != nullptr)
            {
                enemy->setScaleY(enemyScale);
            }
            if (player != nullptr)
            {
                player->setScaleY(playerScale);
            }
        }
        return;
    }
    // Markers show lost health from the highest index down; a side without an effect has none. Only the
    // markers the scene has are walked: a count from the settings can run to billions.
    if (positiveEffect > 0)
    {
        const double count = (double)(1000 / positiveEffect);
        _showHealthMarkers(named, "enemy_health_", count,
                           [this](double i) { return health < positiveEffect * i; });
    }
    if (time > 0.0f && negativeEffect > 0)
    {
        const double count = std::floor(std::floor((double)time) / negativeEffect);
        _showHealthMarkers(named, "player_health_", count,
                           [this](double i) { return timeLeft < negativeEffect * i; });
    }
}

void Match3Scene::_showHealthMarkers(const hdict<tesraui::Object*>& named, const hstring& prefix,
                                     double count, const std::function<bool(double)>& lost)
{
    for (auto it = named.lower_bound(prefix); it != named.end() && it->first.startsWith(prefix); ++it)
    {
        const hstring suffix = it->first.subString(prefix.size());
        if (suffix.size() == 0 || suffix.size() > 9 ||
            suffix.find_first_not_of("0123456789") != std::string::npos)
        {
            continue;
        }
        const double index = (double)suffix.toInt();
        if (index < count)
        {
            it->second->setVisible(lost(index));
        }
    }
}
