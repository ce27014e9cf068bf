#include "Transitions.h"

#include <algorithm>
#include <functional>

#include <fintu/Renderer.h>
#include <quortypes/Log.h>
#include <quortypes/ResourceDir.h>
#include <tesraui/Container.h>
#include <tesraui/Image.h>
#include <tesraui/ImageBox.h>
#include <tesraui/Texture.h>
#include <tesraparticle/tesraparticle.h>
#include <tesraui/tesraui.h>
#include <yim/AudioManager.h>
#include <yim/yim.h>

#include "Chapter.h"
#include "Scene.h"
#include "Session.h"
#include "Variables.h"
#include "lua/LuaInterface.h"
#include "objects/LoopSound.h"
#include "objects/VumoViewportObject.h"
#include "ui/UI.h"

namespace
{
    void splitTarget(const hstring& target, hstring& chapter, hstring& scene)
    {
        const int dot = target.find('.');
        chapter = target.subString(0, dot);
        scene = target.subString(dot + 1);
    }

    // Everything the switch could fail on before anything is torn down.
    Chapter* findTarget(const hstring& chapterName, const hstring& sceneName)
    {
        return Session::findSceneTarget(chapterName, sceneName);
    }

    void collectTextures(tesraui::Object* object, harray<tesraui::Texture*>& out)
    {
        if (!object->isVisible() || object->getAlpha() == 0)
        {
            return;
        }
        for (tesraui::Image* image : object->getImages())
        {
            tesraui::Texture* texture = (image != nullptr ? image->getTexture() : nullptr);
            if (texture != nullptr && std::find(out.begin(), out.end(), texture) == out.end())
            {
                out.push_back(texture);
            }
        }
        for (tesraui::Object* child : object->getChildren())
        {
            collectTextures(child, out);
        }
    }

    void loadVisibleTextures(UI* ui)
    {
        VumoViewportObject* viewport = Session::getViewport();
        if (viewport == nullptr)
        {
            return;
        }
        harray<tesraui::Texture*> textures;
        collectTextures(viewport, textures);
        const bool visible = viewport->isVisible();
        viewport->setVisible(false);
        for (int i = 0; i < textures.size(); ++i)
        {
            if (!textures[i]->isLoaded())
            {
                textures[i]->load();
            }
            if (ui != nullptr)
            {
                ui->OnUpdateLoading(0.6f + 0.35f * (float)(i + 1) / (float)textures.size());
            }
        }
        viewport->setVisible(visible);
    }
} // namespace

void TransitionManager::start(const hstring& target, float duration, const hstring&)
{
    this->target = target;
    this->duration = duration;
    elapsed = 0.0f;
    justSwitched = false;
}

bool TransitionManager::update(float timeDelta)
{
    // The long frame of a chapter load does not count.
    elapsed += (justSwitched ? 0.01f : timeDelta);
    justSwitched = false;
    elapsed = std::min(elapsed, duration);
    return elapsed != duration;
}

bool TransitionManager::switchScene()
{
    justSwitched = true;
    VariableDictionary& variables = VariableDictionary::getGlobal();
    const bool sceneDiffers = (variables.get("active_scene").value() != target);
    if (!target.contains("."))
    {
        throw quortypes::exception("TransitionManager: unable to switch the scene, scene name format is "
                                   "incorrect, expecting '<chapter>.<scene>', got '" +
                                       target + "'",
                                   __FILE__, __LINE__);
    }
    UI* ui = UI::getInstance();
    hstring chapterName;
    hstring sceneName;
    splitTarget(target, chapterName, sceneName);
    Chapter* chapter = nullptr;
    try
    {
        chapter = findTarget(chapterName, sceneName);
        const hstring redirect = (ui != nullptr ? ui->OnSceneChanging(chapterName + "." + sceneName) : "");
        if (redirect != "")
        {
            if (!redirect.contains("."))
            {
                throw quortypes::exception("Invalid scene redirect '" + redirect +
                                               "', expecting '<chapter>.<scene>'",
                                           __FILE__, __LINE__);
            }
            splitTarget(redirect, chapterName, sceneName);
            chapter = findTarget(chapterName, sceneName);
        }
    }
    catch (const quortypes::exception& e)
    {
        // The old scene stays as it is.
        quortypes::Log::error(Session::logTag, "Scene switch failed: " + e.getMessage());
        if (ui != nullptr)
        {
            ui->showErrorOverlay(e.getMessage());
        }
        return false;
    }
    // The target chapter is loaded and its scene found before anything of the old scene is torn down, so
    // that a chapter that cannot load leaves the game where it was.
    const bool mustLoad = !chapter->isLoaded();
    Scene* scene = nullptr;
    try
    {
        if (mustLoad)
        {
            if (ui != nullptr)
            {
                ui->OnBeginLoading(chapter->getName());
                ui->OnUpdateLoading(0.2f);
            }
            chapter->load();
        }
        scene = chapter->getScene(sceneName);
    }
    catch (const quortypes::exception& e)
    {
        if (mustLoad)
        {
            chapter->discardFailedLoad();
        }
        quortypes::Log::error(Session::logTag, "Scene switch failed: " + e.getMessage());
        if (ui != nullptr)
        {
            if (mustLoad)
            {
                ui->OnFinishLoading(chapter->getName());
            }
            ui->showErrorOverlay(e.getMessage());
        }
        return false;
    }
    // Told only now, so that a switch that fails tells nobody it happened.
    tesraui::notifyEvent("SceneChanging", nullptr);
    target = sceneName;
    const hstring previousScene = variables.get("prev_scene").value();
    variables.get("prev_scene").assign(variables.get("active_scene"));
    Scene* oldScene = Session::getActiveScene();
    if (oldScene != nullptr)
    {
        const tesraui::LifeToken::Watch oldAlive = oldScene->watchLife();
        oldScene->deactivate(sceneDiffers);
        if (!oldAlive.isAlive())
        {
            // Its deactivation hook switched elsewhere at once and took the old chapter with it: that switch
            // stands, and the chapter loaded for this one goes again.
            if (mustLoad && Session::getActiveChapter() != chapter && !chapter->isPersistent())
            {
                chapter->unload();
            }
            return true;
        }
    }
    // The unload below deletes the old scene; one that fails halfway may have done so already.
    const tesraui::LifeToken::Watch oldStands =
        (oldScene != nullptr ? oldScene->watchLife() : tesraui::LifeToken::Watch());
    try
    {
        if (oldScene != nullptr && oldScene->getChapter() != chapter &&
            !oldScene->getChapter()->isPersistent())
        {
            Chapter* oldChapter = oldScene->getChapter();
            tesraui::processEvents();
            if (ui != nullptr && ui->isDebugModeEnabled())
            {
                const hstring user = oldChapter->findImageUser(ui->getRootObject());
                if (user != "")
                {
                    throw quortypes::exception("Dead resource link detected while unloading chapter '" +
                                                   oldChapter->getName() + "': " + user,
                                               __FILE__, __LINE__);
                }
            }
            oldChapter->unload();
            oldScene = nullptr;
            Session::setActiveScene(nullptr);
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
        if (mustLoad && ui != nullptr)
        {
            ui->onChapterLoaded(chapter);
            // The game's hook may have put a scene of its own in place of the one found above.
            scene = chapter->getScene(sceneName);
        }
        LuaInterface::execute("_G.chapter = " + chapter->getName());
        Session::setActiveScene(scene);
        scene->activate();
    }
    catch (const quortypes::exception& e)
    {
        if (!oldStands.isAlive())
        {
            oldScene = nullptr;
        }
        recoverFromFailedSwitch(oldScene, chapter, sceneName, mustLoad, previousScene, e.getMessage());
        return false;
    }
    if (mustLoad)
    {
        loadVisibleTextures(ui);
        if (ui != nullptr)
        {
            ui->OnUpdateLoading(1.0f);
            ui->OnFinishLoading(chapter->getName());
        }
    }
    if (ui != nullptr)
    {
        ui->OnSceneChanged();
    }
    tesraui::notifyEvent("SceneChanged", nullptr);
    return true;
}

void TransitionManager::recoverFromFailedSwitch(Scene* oldScene, Chapter* chapter, const hstring& sceneName,
                                                bool mustLoad, const hstring& previousScene,
                                                const hstring& message)
{
    quortypes::Log::error(Session::logTag, "Scene switch failed: " + message);
    UI* ui = UI::getInstance();
    // Each step runs script code that may fail again: that is logged, and the recovery goes on.
    auto attempt = [](const std::function<void()>& step)
    {
        try
        {
            step();
        }
        catch (const quortypes::exception& e)
        {
            quortypes::Log::error(Session::logTag, e.getMessage());
        }
    };
    Scene* failed =
        (chapter->isLoaded() && chapter->hasScene(sceneName) ? chapter->getScene(sceneName) : nullptr);
    if (oldScene != nullptr)
    {
        // The old scene still stands: the game goes back to it, and whatever was made for the new one goes.
        if (failed != nullptr && failed != oldScene && failed->isActive())
        {
            attempt([failed]() { failed->deactivate(false); });
        }
        if (failed != oldScene || !oldScene->isActive())
        {
            const tesraui::LifeToken::Watch oldAlive = oldScene->watchLife();
            if (mustLoad && chapter != oldScene->getChapter() && chapter->isLoaded() &&
                !chapter->isPersistent())
            {
                attempt([chapter]() { chapter->unload(); });
            }
            if (oldAlive.isAlive())
            {
                VariableDictionary::getGlobal().get("prev_scene").set(previousScene);
                const hstring oldChapter = oldScene->getChapter()->getName();
                attempt([&oldChapter]() { LuaInterface::execute("_G.chapter = " + oldChapter); });
                Session::setActiveScene(oldScene);
                attempt([oldScene]() { oldScene->activate(); });
            }
        }
    }
    else if (failed != nullptr && Session::getActiveScene() != failed)
    {
        // The old chapter is gone: the new scene is all there is to go on with.
        Session::setActiveScene(failed);
        attempt([chapter]() { LuaInterface::execute("_G.chapter = " + chapter->getName()); });
        attempt([failed]() { failed->activate(); });
    }
    if (mustLoad && ui != nullptr)
    {
        ui->OnUpdateLoading(1.0f);
        ui->OnFinishLoading(chapter->getName());
    }
    if (oldScene == nullptr && Session::getActiveScene() != nullptr)
    {
        // The scene did change, though not cleanly.
        if (ui != nullptr)
        {
            ui->OnSceneChanged();
        }
        tesraui::notifyEvent("SceneChanged", nullptr);
    }
    if (ui != nullptr)
    {
        ui->showErrorOverlay(message);
    }
}

namespace Transitions
{
    void Immediate::start(const hstring& target, float duration, const hstring& extra)
    {
        TransitionManager::start(target, duration, extra);
        switchScene();
    }

    bool Immediate::update(float)
    {
        return false;
    }

    const char* const Fade::overlayName = "vumo_fade_transition_overlay";

    Fade::~Fade()
    {
        // The overlay belongs to the viewport's dataset, which may already be gone at shut-down.
        overlay = nullptr;
    }

    void Fade::start(const hstring& target, float duration, const hstring& extra)
    {
        UI* ui = UI::getInstance();
        if (ui != nullptr)
        {
            ui->OnSceneTransitionBegan(target, "fade", duration);
        }
        TransitionManager::start(target, duration, extra);
        removeOverlay();
        began = true;
        leftChapter = "";
        VumoViewportObject* viewport = Session::getViewport();
        if (duration <= 0.0f || viewport == nullptr)
        {
            // No time to fade in: switch as the immediate transition does.
            switchScene();
            finish();
            return;
        }
        tesraui::Dataset* dataset = viewport->getDataset();
        if (dataset->hasObject(overlayName))
        {
            dataset->destroyObject(overlayName);
        }
        overlay = new tesraui::ImageBox(
            overlayName, kavtypes::Rectangle(0.0f, 0.0f, viewport->getWidth(), viewport->getHeight()));
        dataset->registerObjects(overlay);
        overlay->setZOrder(10000);
        overlay->setAnchors(true, true, true, true);
        overlay->setImageByName("0x000000");
        overlay->setAlpha(0);
        viewport->addChild(overlay);
        speed = 2.0f / duration;
        level = 0.0f;
        direction = 1;
        waited = false;
        // Leaving a chapter: its loops fade out under the cover.
        Chapter* active = Session::getActiveChapter();
        if (target.contains(".") && active != nullptr && !active->isPersistent() &&
            target.subString(0, target.find('.')) != active->getName())
        {
            leftChapter = active->getName();
            LoopSound::fadeOutAll(active->getName(), duration * 0.5f);
        }
    }

    bool Fade::update(float timeDelta)
    {
        const float step = (justSwitched ? 0.01f : timeDelta);
        TransitionManager::update(timeDelta);
        if (overlay == nullptr)
        {
            return false;
        }
        if (direction != 0)
        {
            level = std::max(0.0f, std::min(255.0f, level + direction * 255.0f * speed * step));
            if ((direction > 0 && level >= 255.0f) || (direction < 0 && level <= 0.0f))
            {
                direction = 0;
            }
            overlay->setAlpha((unsigned char)(level + 0.5f));
            if (direction != 0)
            {
                return true;
            }
        }
        if (overlay->getAlpha() == 255)
        {
            if (!waited)
            {
                waited = true;
                return true;
            }
            bool switched = false;
            try
            {
                switched = switchScene();
            }
            catch (...)
            {
                removeOverlay();
                finish();
                throw;
            }
            if (!switched)
            {
                removeOverlay();
                finish();
                return false;
            }
            direction = -1;
            return true;
        }
        removeOverlay();
        finish();
        return false;
    }

    void Fade::cancel()
    {
        removeOverlay();
        finish();
    }

    void Fade::removeOverlay()
    {
        if (overlay == nullptr)
        {
            return;
        }
        if (overlay->getParent() != nullptr)
        {
            overlay->getParent()->removeChild(overlay);
        }
        if (overlay->getDataset() != nullptr)
        {
            overlay->getDataset()->destroyObject(overlay);
        }
        overlay = nullptr;
        direction = 0;
    }

    void Fade::finish()
    {
        leftChapter = "";
        if (!began)
        {
            return;
        }
        // Cleared first: the hook may start the next transition, which cancels this one.
        began = false;
        if (UI::getInstance() != nullptr)
        {
            UI::getInstance()->OnSceneTransitionEnded();
        }
    }
} // namespace Transitions
