#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include <fintu/Renderer.h>
#include <quortypes/Log.h>
#include <quortypes/ResourceDir.h>
#include <tesraparticle/tesraparticle.h>
#include <tesraui/Container.h>
#include <tesraui/Image.h>
#include <tesraui/Texture.h>
#include <tesraui/exception.h>
#include <tesraui/tesraui.h>
#include <yim/AudioManager.h>
#include <yim/yim.h>

#include <tesra/tesra.h>

#include "Chapter.h"
#include "FolderDepth.h"
#include "Scene.h"
#include "Session.h"
#include "SessionWork.h"
#include "Transitions.h"
#include "Variables.h"
#include "lua/Calls.h"
#include "lua/LuaInterface.h"
#include "objects/VumoViewportObject.h"
#include "ScriptTexts.h"
#include "GameUiHost.h"
#include "lua/Host.h"

namespace vumo
{
    namespace Session
    {
        namespace
        {
            // Watched: unloading its chapter deletes it, before the switch says which scene comes next.
            tesraui::Watched<Scene> activeScene;
            TransitionManager* runningTransition = nullptr;
            hdict<TransitionManager*> transitions;
            std::vector<std::unique_ptr<TransitionManager>> ownedTransitions;

            // One switch from the old scene to its target, as its steps hand it on.
            struct SceneSwitch
            {
                GameUiHost& ui = getGameUiHost();
                hstring chapterName;
                hstring sceneName;
                Chapter* chapter = nullptr;
                Scene* scene = nullptr;
                // The target chapter was not loaded before this switch.
                bool mustLoad = false;
                Scene* oldScene = nullptr;
                hstring previousScene;
                // The target's own activation had begun when the switch failed.
                bool activating = false;
            };

            void splitTarget(const hstring& target, hstring& chapter, hstring& scene)
            {
                const int dot = target.find('.');
                chapter = target.subString(0, dot);
                scene = target.subString(dot + 1);
            }

            // The target and the game's redirect of it, found once; throws on what the switch could fail on
            // before anything is torn down.
            void resolveSwitchTarget(SceneSwitch& change, const hstring& target)
            {
                splitTarget(target, change.chapterName, change.sceneName);
                change.chapter = findSceneTarget(change.chapterName, change.sceneName);
                const hstring redirect =
                    change.ui.OnSceneChanging(change.chapterName + "." + change.sceneName);
                if (redirect == "")
                {
                    return;
                }
                if (!redirect.contains("."))
                {
                    throw quortypes::exception("Invalid scene redirect '" + redirect +
                                                   "', expecting '<chapter>.<scene>'",
                                               __FILE__, __LINE__);
                }
                splitTarget(redirect, change.chapterName, change.sceneName);
                change.chapter = findSceneTarget(change.chapterName, change.sceneName);
            }

            // The target chapter is loaded and its scene found before anything of the old scene is torn down,
            // so that a chapter that cannot load leaves the game where it was. False when it failed,
            // reported.
            bool loadSwitchTarget(SceneSwitch& change)
            {
                GameUiSceneHooks& hooks = change.ui;
                Chapter* chapter = change.chapter;
                change.mustLoad = !chapter->isLoaded();
                try
                {
                    if (change.mustLoad)
                    {
                        hooks.OnBeginLoading(chapter->getName());
                        hooks.OnUpdateLoading(0.2f);
                        chapter->load();
                    }
                    change.scene = chapter->getScene(change.sceneName);
                }
                catch (const quortypes::exception& e)
                {
                    if (change.mustLoad)
                    {
                        chapter->discardFailedLoad();
                    }
                    quortypes::Log::error(logTag, "Scene switch failed: " + e.getMessage());
                    if (change.mustLoad)
                    {
                        hooks.OnFinishLoading(chapter->getName());
                    }
                    LuaInterface::getHost().reportScriptError({"", "", true}, e.getMessage());
                    return false;
                }
                return true;
            }

            // False when the old scene went during its deactivation hook, and its chapter with it: the
            // chapter loaded for this switch goes again.
            bool deactivateOldScene(SceneSwitch& change, bool sceneDiffers)
            {
                if (change.oldScene == nullptr)
                {
                    return true;
                }
                const tesraui::LifeToken::Watch oldAlive = change.oldScene->watchLife();
                change.oldScene->deactivate(sceneDiffers);
                if (oldAlive.isAlive())
                {
                    return true;
                }
                if (change.mustLoad && getActiveChapter() != change.chapter &&
                    !change.chapter->isPersistent())
                {
                    change.chapter->unload();
                }
                return false;
            }

            // The old chapter goes when the target lies in another one, unless it stays loaded for good.
            void unloadOldChapter(SceneSwitch& change)
            {
                Scene* oldScene = change.oldScene;
                if (oldScene == nullptr || oldScene->getChapter() == change.chapter ||
                    oldScene->getChapter()->isPersistent())
                {
                    return;
                }
                Chapter* oldChapter = oldScene->getChapter();
                tesraui::processEvents();
                if (change.ui.isDebugModeEnabled())
                {
                    const hstring user = oldChapter->findImageUser(change.ui.getRootObject());
                    if (user != "")
                    {
                        throw quortypes::exception("Dead resource link detected while unloading chapter '" +
                                                       oldChapter->getName() + "': " + user,
                                                   __FILE__, __LINE__);
                    }
                }
                oldChapter->unload();
                change.oldScene = nullptr;
                setActiveScene(nullptr);
                if (fintu::renderer != nullptr)
                {
                    fintu::renderer->clearCache();
                }
                if (yim::manager != nullptr)
                {
                    yim::manager->clearMemory();
                }
                tesraparticle::clearCache();
            }

            void activateSwitchTarget(SceneSwitch& change)
            {
                if (change.mustLoad)
                {
                    change.ui.onChapterLoaded(change.chapter);
                    // The game's hook may have put a scene of its own in place of the one found before.
                    change.scene = change.chapter->getScene(change.sceneName);
                }
                LuaInterface::execute(SceneTexts::setActiveChapter(change.chapter->getName()));
                setActiveScene(change.scene);
                change.activating = true;
                change.scene->activate();
            }

            // Watched: the loading hook runs between loads and may destroy any of them.
            typedef harray<tesraui::Watched<tesraui::Texture>> WatchedTextures;

            void collectTextures(tesraui::Object* object, WatchedTextures& out)
            {
                if (!object->isVisible() || object->getAlpha() == 0)
                {
                    return;
                }
                for (tesraui::Image* image : object->getImages())
                {
                    tesraui::Texture* texture = (image != nullptr ? image->getTexture() : nullptr);
                    if (texture != nullptr &&
                        std::none_of(out.begin(), out.end(),
                                     [texture](const tesraui::Watched<tesraui::Texture>& listed)
                                     { return listed.get() == texture; }))
                    {
                        out.push_back(tesraui::Watched<tesraui::Texture>(texture));
                    }
                }
                for (tesraui::Object* child : object->getChildren())
                {
                    collectTextures(child, out);
                }
            }

            // Loaded behind the loading screen rather than on the first frames of the new scene.
            void loadVisibleTextures(GameUiSceneHooks& hooks)
            {
                VumoViewportObject* viewport = getViewport();
                if (viewport == nullptr)
                {
                    return;
                }
                WatchedTextures textures;
                collectTextures(viewport, textures);
                const bool visible = viewport->isVisible();
                viewport->setVisible(false);
                for (int i = 0; i < textures.size(); ++i)
                {
                    tesraui::Texture* texture = textures[i].get();
                    if (texture != nullptr && !texture->isLoaded())
                    {
                        texture->load();
                    }
                    hooks.OnUpdateLoading(0.6f + 0.35f * (float)(i + 1) / (float)textures.size());
                }
                viewport->setVisible(visible);
            }

            void finishLoading(const SceneSwitch& change)
            {
                if (change.mustLoad)
                {
                    change.ui.OnUpdateLoading(1.0f);
                    change.ui.OnFinishLoading(change.chapter->getName());
                }
            }

            void announceSceneChanged(GameUiSceneHooks& hooks)
            {
                hooks.OnSceneChanged();
                tesraui::notifyEvent("SceneChanged", nullptr);
            }

            // After a failure past the point of no return: back to the old scene when it still stands, else
            // on to the new one unless it was its activation that failed; the loading screen closes, and the
            // failure is logged and shown once.
            void recoverFromFailedSwitch(const SceneSwitch& change, const hstring& message)
            {
                quortypes::Log::error(logTag, "Scene switch failed: " + message);
                Scene* oldScene = change.oldScene;
                Chapter* chapter = change.chapter;
                // Each step runs script code that may fail again: that is logged, and the recovery goes on.
                auto attempt = [](const std::function<void()>& step)
                {
                    try
                    {
                        step();
                    }
                    catch (const quortypes::exception& e)
                    {
                        quortypes::Log::error(logTag, e.getMessage());
                    }
                };
                Scene* failed = (chapter->isLoaded() && chapter->hasScene(change.sceneName)
                                     ? chapter->getScene(change.sceneName)
                                     : nullptr);
                // A scene whose activation throws is never left active: the game goes on without one, with
                // the failure shown, rather than update a scene left half made.
                auto activate = [&attempt](Scene* scene)
                {
                    const tesraui::LifeToken::Watch alive = scene->watchLife();
                    try
                    {
                        scene->activate();
                    }
                    catch (const quortypes::exception& e)
                    {
                        quortypes::Log::error(logTag, e.getMessage());
                        if (alive.isAlive())
                        {
                            attempt([scene]() { scene->abandonActivation(); });
                        }
                    }
                };
                if (oldScene != nullptr)
                {
                    // The old scene still stands: the game goes back to it, and whatever was made for the new
                    // one goes.
                    if (failed != nullptr && failed != oldScene && failed->isActive())
                    {
                        attempt([failed]() { failed->abandonActivation(); });
                    }
                    if (failed != oldScene || !oldScene->isActive())
                    {
                        const tesraui::LifeToken::Watch oldAlive = oldScene->watchLife();
                        if (change.mustLoad && chapter != oldScene->getChapter() && chapter->isLoaded() &&
                            !chapter->isPersistent())
                        {
                            attempt([chapter]() { chapter->unload(); });
                        }
                        if (oldAlive.isAlive())
                        {
                            VariableDictionary::getGlobal().get("prev_scene").set(change.previousScene);
                            const hstring oldChapter = oldScene->getChapter()->getName();
                            attempt([&oldChapter]()
                                    { LuaInterface::execute(SceneTexts::setActiveChapter(oldChapter)); });
                            setActiveScene(oldScene);
                            activate(oldScene);
                        }
                    }
                }
                else if (change.activating)
                {
                    // Its own activation failed, and the old chapter is gone: no scene is active until the
                    // game switches to one.
                    if (failed != nullptr)
                    {
                        attempt([failed]() { failed->abandonActivation(); });
                    }
                }
                else if (failed != nullptr && getActiveScene() != failed)
                {
                    // The old chapter is gone: the new scene is all there is to go on with.
                    setActiveScene(failed);
                    attempt([chapter]()
                            { LuaInterface::execute(SceneTexts::setActiveChapter(chapter->getName())); });
                    activate(failed);
                }
                finishLoading(change);
                if (oldScene == nullptr && getActiveScene() != nullptr)
                {
                    // The scene did change, though not cleanly.
                    announceSceneChanged(change.ui);
                }
                LuaInterface::getHost().reportScriptError({"", "", true}, message);
            }
        } // namespace

        bool switchScene(const hstring& target)
        {
            // A switch or reset its hooks ask for waits until this one is done.
            const WorkUnderWay switching;
            VariableDictionary& variables = VariableDictionary::getGlobal();
            // A scene switched to itself keeps its textures; the asked target counts, not the game's
            // redirect.
            const bool sceneDiffers = (variables.get("active_scene").value() != target);
            if (!target.contains("."))
            {
                throw quortypes::exception(
                    "TransitionManager: unable to switch the scene, scene name format is "
                    "incorrect, expecting '<chapter>.<scene>', got '" +
                        target + "'",
                    __FILE__, __LINE__);
            }
            SceneSwitch change;
            try
            {
                resolveSwitchTarget(change, target);
            }
            catch (const quortypes::exception& e)
            {
                // The old scene stays as it is.
                LuaInterface::getHost().reportScriptError({"Scene switch failed: "}, e.getMessage());
                return false;
            }
            if (!loadSwitchTarget(change))
            {
                return false;
            }
            // Told only now, so that a switch that fails tells nobody it happened.
            tesraui::notifyEvent("SceneChanging", nullptr);
            change.previousScene = variables.get("prev_scene").value();
            variables.get("prev_scene").assign(variables.get("active_scene"));
            change.oldScene = activeScene.get();
            if (!deactivateOldScene(change, sceneDiffers))
            {
                return true;
            }
            // Unloading the old chapter deletes the old scene; an unload that fails halfway may have done so
            // already.
            const tesraui::LifeToken::Watch oldStands =
                (change.oldScene != nullptr ? change.oldScene->watchLife() : tesraui::LifeToken::Watch());
            try
            {
                unloadOldChapter(change);
                activateSwitchTarget(change);
            }
            catch (const quortypes::exception& e)
            {
                if (!oldStands.isAlive())
                {
                    change.oldScene = nullptr;
                }
                recoverFromFailedSwitch(change, e.getMessage());
                return false;
            }
            if (change.mustLoad)
            {
                loadVisibleTextures(change.ui);
            }
            finishLoading(change);
            announceSceneChanged(change.ui);
            return true;
        }

        bool isTransitionRunning()
        {
            return runningTransition != nullptr;
        }

        TransitionManager* getRunningTransition()
        {
            return runningTransition;
        }

        void updateTransition(float timeDelta)
        {
            TransitionManager* transition = runningTransition;
            if (transition == nullptr)
            {
                return;
            }
            // A transition its hooks ask for starts at the next frame's start, after this one's update.
            const WorkUnderWay updating;
            bool running = false;
            try
            {
                running = transition->update(timeDelta);
            }
            catch (...)
            {
                // Reported once by whoever catches it; a transition left running would retry every frame.
                runningTransition = nullptr;
                transition->cancel();
                throw;
            }
            if (!running)
            {
                runningTransition = nullptr;
            }
        }

        Scene* getActiveScene()
        {
            return activeScene.get();
        }

        void setActiveScene(Scene* scene)
        {
            activeScene = tesraui::Watched<Scene>(scene);
        }

        Chapter* getActiveChapter()
        {
            Scene* scene = activeScene.get();
            return scene != nullptr ? scene->getChapter() : nullptr;
        }

        hstring getActiveChapterName()
        {
            Scene* scene = activeScene.get();
            return scene != nullptr ? scene->getChapter()->getName() : hstring();
        }

        hstring getActiveSceneName()
        {
            Scene* scene = activeScene.get();
            return scene != nullptr ? scene->getName() : hstring();
        }

        TransitionManager* getTransition(const hstring& effect)
        {
            return transitions.tryGet(effect, nullptr);
        }

        void createTransitions()
        {
            ownedTransitions.push_back(std::make_unique<Transitions::Immediate>());
            TransitionManager* immediate = ownedTransitions.back().get();
            transitions[""] = immediate;
            transitions["none"] = immediate;
            for (const char* name : {"fade", "zoom", "crossfade"})
            {
                ownedTransitions.push_back(std::make_unique<Transitions::Fade>());
                TransitionManager* fade = ownedTransitions.back().get();
                transitions[name] = fade;
            }
        }

        void destroyScenes()
        {
            if (Scene* scene = activeScene.get())
            {
                scene->deactivate(false);
                activeScene = tesraui::Watched<Scene>();
            }
            runningTransition = nullptr;
            ownedTransitions.clear();
            transitions.clear();
        }

        void changeScene(const hstring& name, float duration, const hstring& effect, const hstring& extra)
        {
            checkSwitchRequest(name, effect);
            const hstring fullName = (name.contains(".") ? name : getActiveChapterName() + "." + name);
            TransitionManager* transition = getTransition(effect);
            if (!isSwitchPoint())
            {
                // Asked for in the middle of the engine's work (a hook, an event handler, a frame's update):
                // the switch waits for the next frame's start, where nothing of that work is on the stack.
                queueScript(
                    ObjectTexts::queuedSceneSwitch(fullName, formatString("%f", duration), effect, ""), true);
                return;
            }
            const WorkUnderWay starting;
            if (runningTransition != nullptr)
            {
                // Whatever the replaced transition drew would otherwise stay on screen, and the game would
                // wait for its end.
                TransitionManager* replaced = runningTransition;
                runningTransition = nullptr;
                replaced->cancel();
            }
            bool running = false;
            try
            {
                transition->start(fullName, duration, extra);
                running = transition->update(0.0f);
            }
            catch (...)
            {
                transition->cancel();
                throw;
            }
            if (running)
            {
                runningTransition = transition;
            }
        }

        void setLocalization(const hstring& name)
        {
            const hstring previous = tesraui::getLocalization();
            tesraui::setLocalization(name);
            if (LuaInterface::isHook("ui.OnLocalizationChanged"))
            {
                LuaInterface::execute(HookTexts::localizationChanged(previous));
            }
        }
    } // namespace Session
} // namespace vumo
