#include "Match3Gui.h"

#include <cmath>
#include <functional>

#include <tesraui/Object.h>

namespace Match3Gui
{
    namespace
    {
        void showMarkers(const hdict<tesraui::Object*>& named, const hstring& prefix, double count,
                         const std::function<bool(double)>& lost)
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
    } // namespace

    hdict<tesraui::Object*> namedObjects(const tesraui::Object* root)
    {
        // Breadth first, the first of a name kept: what a search for each name would find.
        hdict<tesraui::Object*> named;
        if (root == nullptr)
        {
            return named;
        }
        harray<tesraui::Object*> pending = root->getChildren();
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

    void showStanding(const hdict<tesraui::Object*>& named, const Standing& s)
    {
        if (!s.healthPoints)
        {
            tesraui::Object* enemy = named.tryGet("enemy_bar_progress", nullptr);
            tesraui::Object* player = s.time > 0.0f ? named.tryGet("player_bar_progress", nullptr) : nullptr;
            const float enemyScale = s.health / 1000.0f;
            const float playerScale = s.time > 0.0f ? s.timeLeft / s.time : 0.0f;
            if (s.horizontalBars)
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
        if (s.positiveEffect > 0)
        {
            const double count = (double)(1000 / s.positiveEffect);
            showMarkers(named, "enemy_health_", count,
                        [&s](double i) { return s.health < s.positiveEffect * i; });
        }
        if (s.time > 0.0f && s.negativeEffect > 0)
        {
            const double count = std::floor(std::floor((double)s.time) / s.negativeEffect);
            showMarkers(named, "player_health_", count,
                        [&s](double i) { return s.timeLeft < s.negativeEffect * i; });
        }
    }
} // namespace Match3Gui
