#include <quortypes/Log.h>
#include <quortypes/ResourceDir.h>
#include <tesraui/exception.h>
#include <tesraui/tesraui.h>

#include "Chapter.h"
#include "Scene.h"
#include "Session.h"
#include "Transitions.h"
#include "lua/Calls.h"
#include "lua/LuaInterface.h"
#include "ui/HookTexts.h"

namespace Session
{
    namespace
    {
        Scene* activeScene = nullptr;
        TransitionManager* runningTransition = nullptr;
        unsigned int transitionStarts = 0;
        hdict<TransitionManager*> transitions;
        harray<TransitionManager*> ownedTransitions;

        bool hasSceneFileIn(const hstring& folder, const hstring& scene)
        {
            for (const hstring& file : quortypes::ResourceDir::files(folder))
            {
                if (file.endsWith(".scene") && file.subString(0, file.find('.')) == scene)
                {
                    return true;
                }
            }
            for (const hstring& sub : quortypes::ResourceDir::directories(folder))
            {
                if (hasSceneFileIn(folder + "/" + sub, scene))
                {
                    return true;
                }
            }
            return false;
        }
    } // namespace

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
        // Hooks run by the update may start another transition, which then stays the running one, even when
        // it is this same transition started anew.
        TransitionManager* transition = runningTransition;
        if (transition == nullptr)
        {
            return;
        }
        const unsigned int startsBefore = transitionStarts;
        bool running = false;
        try
        {
            running = transition->update(timeDelta);
        }
        catch (...)
        {
            // Reported once by whoever catches it; a transition left running would retry every frame.
            if (runningTransition == transition && transitionStarts == startsBefore)
            {
                runningTransition = nullptr;
                transition->cancel();
            }
            throw;
        }
        if (!running && runningTransition == transition && transitionStarts == startsBefore)
        {
            runningTransition = nullptr;
        }
    }

    Chapter* getChapter(const hstring& name)
    {
        Chapter* chapter = Chapter::fromDataset(tesraui::getDatasets().tryGet(name, nullptr));
        if (chapter != nullptr)
        {
            return chapter;
        }
        const hstring folder = Chapter::getFolder(name);
        if (name == "" || !quortypes::ResourceDir::exists(folder))
        {
            throw tesraui::_GenericException("Chapter '" + name + "' not found!", __FILE__, __LINE__);
        }
        return new Chapter(folder + "/" + name + ".datadef", name);
    }

    bool hasSceneFile(const hstring& chapter, const hstring& scene)
    {
        const hstring folder = Chapter::getFolder(chapter) + "/scenes";
        return quortypes::ResourceDir::exists(folder) && hasSceneFileIn(folder, scene);
    }

    Chapter* findSceneTarget(const hstring& chapterName, const hstring& sceneName)
    {
        if (!Chapter::isIdentifier(chapterName))
        {
            throw quortypes::exception("Invalid chapter folder name '" + chapterName + "'", __FILE__,
                                       __LINE__);
        }
        Chapter* chapter = getChapter(chapterName);
        if (!chapter->hasScene(sceneName) && (chapter->isLoaded() || !hasSceneFile(chapterName, sceneName)))
        {
            throw _SceneNotFoundExeption(
                "Scene '" + sceneName + "' not found in chapter '" + chapterName + "'", __FILE__, __LINE__);
        }
        return chapter;
    }

    void checkSceneTarget(const hstring& name)
    {
        if (name.contains(".") && !name.startsWith("ui."))
        {
            const int dot = name.find('.');
            findSceneTarget(name.subString(0, dot), name.subString(dot + 1));
        }
    }

    void checkStartScene(const hstring& name)
    {
        // No script asked for this scene: without the key named, the author would search the scripts for
        // a switch that is not there.
        const hstring source = "Start scene '" + name + "' from the key \"scene\" of cfg/vumo.cfg: ";
        try
        {
            if (!name.contains(".") && activeScene == nullptr)
            {
                throw quortypes::exception("no scene is active yet, so the name needs its chapter: "
                                           "'<chapter>." +
                                               name + "'",
                                           __FILE__, __LINE__);
            }
            checkSceneTarget(name);
        }
        catch (const quortypes::exception& e)
        {
            throw quortypes::exception(source + e.getMessage(), __FILE__, __LINE__);
        }
    }

    Scene* getActiveScene()
    {
        return activeScene;
    }

    void setActiveScene(Scene* scene)
    {
        activeScene = scene;
    }

    Chapter* getActiveChapter()
    {
        return activeScene != nullptr ? activeScene->getChapter() : nullptr;
    }

    hstring getActiveChapterName()
    {
        return activeScene != nullptr ? activeScene->getChapter()->getName() : hstring();
    }

    hstring getActiveSceneName()
    {
        return activeScene != nullptr ? activeScene->getName() : hstring();
    }

    TransitionManager* getTransition(const hstring& effect)
    {
        return transitions.tryGet(effect, nullptr);
    }

    void createTransitions()
    {
        TransitionManager* immediate = new Transitions::Immediate();
        ownedTransitions.push_back(immediate);
        transitions[""] = immediate;
        transitions["none"] = immediate;
        for (const char* name : {"fade", "zoom", "crossfade"})
        {
            TransitionManager* fade = new Transitions::Fade();
            ownedTransitions.push_back(fade);
            transitions[name] = fade;
        }
    }

    void destroyScenes()
    {
        if (activeScene != nullptr)
        {
            activeScene->deactivate(false);
            activeScene = nullptr;
        }
        runningTransition = nullptr;
        for (TransitionManager* transition : ownedTransitions)
        {
            delete transition;
        }
        ownedTransitions.clear();
        transitions.clear();
    }

    void changeScene(const hstring& name, float duration, const hstring& effect, const hstring& extra)
    {
        hstring fullName = name;
        if (name.contains("."))
        {
            if (name.startsWith("ui."))
            {
                throw quortypes::exception(
                    formatString("Unable to switch scene to UI chapter (%s), not permitted.", name.c_str()),
                    __FILE__, __LINE__);
            }
        }
        else
        {
            if (activeScene == nullptr)
            {
                throw quortypes::exception("Can't switch to '" + name +
                                               "', active_scene is null therefore scene name must have a "
                                               "chapter prefix",
                                           __FILE__, __LINE__);
            }
            Chapter* chapter = activeScene->getChapter();
            if (!chapter->hasScene(name))
            {
                throw quortypes::exception("Can't switch to '" + name + "', scene not found in chapter '" +
                                               chapter->getName() + "'",
                                           __FILE__, __LINE__);
            }
            fullName = chapter->getName() + "." + name;
        }
        TransitionManager* transition = getTransition(effect);
        if (transition == nullptr)
        {
            throw tesraui::_GenericException("Transition effect '" + effect + "' not found!", __FILE__,
                                             __LINE__);
        }
        if (runningTransition != nullptr)
        {
            // Whatever the replaced transition drew would otherwise stay on screen, and the game would wait
            // for its end.
            TransitionManager* replaced = runningTransition;
            runningTransition = nullptr;
            replaced->cancel();
            if (runningTransition != nullptr)
            {
                // The game's hook on that end asked for a switch of its own: the later request stands.
                return;
            }
        }
        ++transitionStarts;
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
        if (LuaInterface::isFunction("ui.OnLocalizationChanged"))
        {
            LuaInterface::execute(HookTexts::localizationChanged(previous));
        }
    }
} // namespace Session
