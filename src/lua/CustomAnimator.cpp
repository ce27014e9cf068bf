#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include <quortypes/UnderWay.h>
#include <tesraui/Animator.h>
#include <tesraui/Dataset.h>

#include "Calls.h"
#include "CustomAnimator.h"
#include "Host.h"
#include "HookCalls.h"
#include "LuaInterface.h"
#include "ScriptTexts.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            // What an animator's call is made of, kept between its calls: the names it was made from are
            // compared on every call, so that a renamed animator or function, another dataset or another
            // scene's environment makes it again.
            struct Site
            {
                hstring function;
                const tesraui::Dataset* dataset = nullptr;
                hstring datasetName;
                hstring animatorName;
                bool inScene = false;
                hstring environment;
                // The scene the environment's name was asked of, while the host says it stays.
                Scene* scene = nullptr;
                tesraui::LifeToken::Watch sceneWatch;
                PathKeys keys;
                // A call through this site is running (the function may evaluate animators itself).
                bool inUse = false;
                bool made = false;
            };

            // The sites by animator, found by address in a table of open addressing: a frame asks for every
            // custom animator's. Beyond this many animators they are all dropped, when no call is running.
            const size_t siteCapacity = 4096;
            const size_t slotCount = 2 * siteCapacity;
            std::vector<std::pair<const tesraui::Animator*, std::unique_ptr<Site>>> slots;
            size_t siteCount = 0;
            int runningCalls = 0;

            size_t slotOf(const tesraui::Animator* animator)
            {
                // Fibonacci hashing of the address: allocations share their low bits.
                const uint64_t bits =
                    (uint64_t) reinterpret_cast<uintptr_t>(animator) * 0x9E3779B97F4A7C15ull;
                return (size_t)(bits >> 51) & (slotCount - 1);
            }

            bool matches(const Site& site, const hstring& function, const tesraui::Dataset* dataset,
                         const tesraui::Animator* animator, bool inScene, const hstring& environment)
            {
                return site.made && site.function == function && site.dataset == dataset &&
                       (dataset == nullptr || site.datasetName == dataset->getName()) &&
                       site.animatorName == animator->getName() && site.inScene == inScene &&
                       site.environment == environment;
            }

            void make(Site& site, const hstring& function, tesraui::Dataset* dataset,
                      const tesraui::Animator* animator, bool inScene, const hstring& environment)
            {
                site.function = function;
                site.dataset = dataset;
                site.datasetName = (dataset != nullptr ? dataset->getName() : hstring());
                site.animatorName = animator->getName();
                site.inScene = inScene;
                site.environment = environment;
                site.keys =
                    PathKeys(inScene ? environment + "." + function : function, animator->getFullName());
                site.made = true;
            }

            // The kept site of the animator; null when it is in use or there is no room.
            Site* siteOf(const tesraui::Animator* animator)
            {
                if (slots.empty())
                {
                    slots.resize(slotCount);
                }
                size_t slot = slotOf(animator);
                while (slots[slot].first != nullptr)
                {
                    if (slots[slot].first == animator)
                    {
                        Site* site = slots[slot].second.get();
                        return site->inUse ? nullptr : site;
                    }
                    slot = (slot + 1) & (slotCount - 1);
                }
                if (siteCount >= siteCapacity)
                {
                    if (runningCalls > 0)
                    {
                        return nullptr;
                    }
                    for (auto& entry : slots)
                    {
                        entry.first = nullptr;
                        entry.second.reset();
                    }
                    siteCount = 0;
                    slot = slotOf(animator);
                }
                ++siteCount;
                slots[slot].first = animator;
                slots[slot].second.reset(new Site());
                return slots[slot].second.get();
            }

            // A site in use is not handed out again, and no site is dropped while a call runs.
            struct SiteUse
            {
                explicit SiteUse(Site& site) : siteInUse(site.inUse, true), calling(runningCalls) {}
                const quortypes::UnderWay<bool> siteInUse;
                const quortypes::CountedUnderWay calling;
            };
        } // namespace

        float evaluateCustomAnimator(tesraui::Animator* animator, float time)
        {
            // A script's mistake must not end the game: it is reported and the animator keeps its value.
            try
            {
                const hdict<std::shared_ptr<tesraui::Event>>& events = animator->getEvents();
                if (events.size() != 1)
                {
                    throw _LuaError("Animator with custom Lua function needs to have one event assigned: " +
                                        animator->getName(),
                                    animator->getFullName(), __FILE__, __LINE__);
                }
                const hstring& function = events.begin()->first;
                tesraui::Dataset* dataset = animator->getDataset();
                Host& host = getHost();
                Scene* scene = host.getActiveScene();
                const bool inScene = (dataset == nullptr || dataset->getName() != "ui") && scene != nullptr;
                std::unique_ptr<Site> scratch;
                Site* kept = siteOf(animator);
                if (kept == nullptr)
                {
                    scratch.reset(new Site());
                }
                Site& site = (kept != nullptr ? *kept : *scratch);
                hstring asked;
                const hstring* environment = &asked;
                if (inScene && site.scene == scene && site.sceneWatch.isAlive())
                {
                    environment = &site.environment;
                }
                else if (inScene)
                {
                    asked = host.getSceneEnvironment(scene);
                    site.scene = scene;
                    site.sceneWatch = host.watchSceneEnvironment(scene);
                }
                if (!matches(site, function, dataset, animator, inScene, *environment))
                {
                    make(site, function, dataset, animator, inScene, *environment);
                }
                const SiteUse use(site);
                const hstring& path = site.keys.getPath();
                const hstring& fullName = site.keys.getName();
                auto makeCode = [&]() { return ObjectTexts::customAnimatorCall(path, fullName, time); };
                HookText text;
                text.tailCall = true;
                const auto make = [&makeCode](hstring& code, hstring&) { code = makeCode(); };
                text.setMake(make);
                int count = 0;
                float value = NAN;
                if (callPathFunction(site.keys, time, text, count, value) != HookCall::Called)
                {
                    harray<hstring> results;
                    executeWithReturnValues(makeCode(), "", results);
                    count = results.size();
                    value = (count == 1 ? results[0].toFloat() : NAN);
                }
                if (count != 1)
                {
                    throw _LuaError("Custom animator function must return exactly one value!, animator: " +
                                        animator->getName(),
                                    animator->getFullName(), __FILE__, __LINE__);
                }
                return value;
            }
            catch (const quortypes::exception& e)
            {
                getHost().reportScriptError({}, e.getMessage());
            }
            // The animator applies no NaN.
            return NAN;
        }
    } // namespace LuaInterface
} // namespace vumo
