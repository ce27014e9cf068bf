#include "Match3Scene.h"

#include <cmath>

// The scene's own objects found by name, and the duel's standing on screen: the two bars, or the health
// markers that stand in for them.

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
