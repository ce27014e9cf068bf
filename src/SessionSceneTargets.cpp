#include <quortypes/ResourceDir.h>
#include <tesraui/exception.h>
#include <tesraui/tesraui.h>

#include <tesra/tesra.h>

#include "Chapter.h"
#include "FolderDepth.h"
#include "Scene.h"
#include "Session.h"

// Where a switch or a reset would go, and what it would refuse there before it touches the scene.
namespace vumo
{
    namespace Session
    {
        namespace
        {
            bool hasSceneFileIn(const hstring& folder, const hstring& scene, int depth = 0)
            {
                harray<hstring> files;
                harray<hstring> folders;
                quortypes::ResourceDir::filesAndDirectories(folder, files, folders);
                for (const hstring& file : files)
                {
                    if (file.endsWith(".scene") && file.subString(0, file.find('.')) == scene)
                    {
                        return true;
                    }
                }
                for (const hstring& sub : folders)
                {
                    checkFolderDepth(folder + "/" + sub, depth);
                    if (hasSceneFileIn(folder + "/" + sub, scene, depth + 1))
                    {
                        return true;
                    }
                }
                return false;
            }
        } // namespace

        Chapter* getChapter(const hstring& name)
        {
            Chapter* chapter = Chapter::fromDataset(tesraui::getDatasets().tryGet(name, nullptr));
            if (chapter != nullptr)
            {
                return chapter;
            }
            // A finalizer may ask for a scene when the state closes, after the libraries a chapter stands on
            // have gone: no dataset is made then.
            if (tesra::rendersys == nullptr)
            {
                throw tesraui::_GenericException(
                    "Chapter '" + name + "' cannot be loaded: the engine is not running", __FILE__, __LINE__);
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
            if (!chapter->hasScene(sceneName) &&
                (chapter->isLoaded() || !hasSceneFile(chapterName, sceneName)))
            {
                throw _SceneNotFoundExeption("Scene '" + sceneName + "' not found in chapter '" +
                                                 chapterName + "'",
                                             __FILE__, __LINE__);
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

        void checkSwitchRequest(const hstring& name, const hstring& effect)
        {
            const hstring error = getSwitchNameError(name);
            if (error != "")
            {
                throw quortypes::exception(error, __FILE__, __LINE__);
            }
            checkSceneTarget(name);
            if (getTransition(effect) == nullptr)
            {
                throw tesraui::_GenericException("Transition effect '" + effect + "' not found!", __FILE__,
                                                 __LINE__);
            }
        }

        void checkResetRequest(const hstring& name)
        {
            if (name.contains("."))
            {
                checkSceneTarget(name);
                return;
            }
            Chapter* chapter = getActiveChapter();
            if (chapter == nullptr || !chapter->hasScene(name))
            {
                throw quortypes::exception("No scene '" + name + "' in the active chapter to reset", __FILE__,
                                           __LINE__);
            }
        }

        void checkStartScene(const hstring& name)
        {
            // No script asked for this scene: without the key named, the author would search the scripts for
            // a switch that is not there.
            const hstring source = "Start scene '" + name + "' from the key \"scene\" of cfg/vumo.cfg: ";
            try
            {
                if (!name.contains(".") && getActiveScene() == nullptr)
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

        hstring getSwitchNameError(const hstring& name)
        {
            if (name.contains("."))
            {
                if (name.startsWith("ui."))
                {
                    return formatString("Unable to switch scene to UI chapter (%s), not permitted.",
                                        name.c_str());
                }
                return "";
            }
            Scene* scene = getActiveScene();
            if (scene == nullptr)
            {
                return "Can't switch to '" + name +
                       "', active_scene is null therefore scene name must have a chapter prefix";
            }
            Chapter* chapter = scene->getChapter();
            if (!chapter->hasScene(name))
            {
                return "Can't switch to '" + name + "', scene not found in chapter '" + chapter->getName() +
                       "'";
            }
            return "";
        }
    } // namespace Session
} // namespace vumo
