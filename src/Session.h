#pragma once

#include <exception>
#include <functional>

#include <quortypes/exception.h>
#include <quortypes/hstring.h>

#include "LogTag.h"

namespace vumo
{
    class Chapter;
    class GameUiHost;
    class Scene;
    class TransitionManager;
    class VumoViewportObject;

    // The engine's global state and its operations. The configuration part is declared in Config.h.
    namespace Session
    {
        // The per-user folder for the player's state, with a trailing "/". Computed once, from the
        // configuration values "title" and "user_folder_no_unicode", and made when missing.
        hstring getUserFolder();
        // The path before its last "/", or when it has none before its last "\"; "" when it has neither.
        hstring getParentPath(const hstring& path);
        void logUI(const hstring& message);

        hstring getVersion();
        // Makes the game's UI, which installs itself as the game UI host.
        using UIFactory = std::function<GameUiHost*()>;
        // Starts every library, opens the window and creates the game's UI (a plain UI without a factory),
        // which the session owns until destroy. Any failure ends in the fatal error box.
        void init(UIFactory createUI = nullptr);
        void destroy();

        // Logs the failure, shows the "VUMO ERROR!" box and ends the program with exit code 1.
        [[noreturn]] void showFatalError(const hstring& message);
        [[noreturn]] void showFatalError(const quortypes::exception& exception);
        [[noreturn]] void showFatalError(const std::exception& exception);
        // Runs f; whatever it throws ends in the fatal error box.
        template <class F> void guarded(F f)
        {
            try
            {
                f();
            }
            catch (const quortypes::exception& e)
            {
                showFatalError(e);
            }
            catch (const std::exception& e)
            {
                showFatalError(e);
            }
        }

        // One frame of the game; does nothing before the viewport exists.
        void update(float timeDelta);
        // With unique, a text equal to the first one queued is not queued again.
        void queueScript(const hstring& code, bool unique);
        // Texts queued while these run run in the same frame, up to maxScriptsPerFrame a frame.
        void runQueuedScripts();
        const int maxScriptsPerFrame = 1000;

        void setPaused(bool value);
        bool isPaused();
        void lockScene();
        void unlockScene();
        bool isSceneLocked();
        bool isTransitionRunning();
        TransitionManager* getRunningTransition();

        // Why a switch to that name cannot be asked for, or "" when it can: a bare name needs an active
        // chapter holding that scene, and the UI chapter is never a target. Whether a full name exists is
        // left to findSceneTarget.
        hstring getSwitchNameError(const hstring& name);
        // A name with "." is "<chapter>.<scene>", a bare one a scene of the active chapter. The name and the
        // effect are checked before a running transition is dropped.
        void changeScene(const hstring& name, float duration, const hstring& effect,
                         const hstring& extra = "");
        // Switches to "<chapter>.<scene>" at once, through the game's redirect: loads the target, tears the
        // old scene down and activates the new one. False when it failed; the failure was then reported, and
        // the game stands on the old scene or, when that went, on the new one. The transitions call it when
        // they switch.
        bool switchScene(const hstring& target);
        // The loaded chapter of that name, or a new unloaded one for an existing chapter folder.
        Chapter* getChapter(const hstring& name);
        // The chapter holding the scene, loaded or not; throws when the chapter has no folder or lacks the
        // scene, the failures a switch to it would meet before anything is torn down.
        Chapter* findSceneTarget(const hstring& chapterName, const hstring& sceneName);
        // Throws as findSceneTarget for a full "<chapter>.<scene>" name; other names are left to changeScene.
        void checkSceneTarget(const hstring& name);
        // Throws what a switch to the scene with that effect would refuse without touching the active scene:
        // the name (getSwitchNameError), its chapter and scene (checkSceneTarget) and the effect. Every way
        // of asking for a switch checks it at the call, before the switch may be put off to a frame's start.
        void checkSwitchRequest(const hstring& name, const hstring& effect);
        // The same for a reset of the scene of that name: a bare name is a scene of the active chapter.
        void checkResetRequest(const hstring& name);
        // Checks the start scene of the configuration key "scene" as checkSceneTarget does, and also that a
        // bare name has an active chapter to be found in; the error says that the name came from that key.
        void checkStartScene(const hstring& name);
        // True when the chapter's folder holds a ".scene" file of that scene name (subfolders included).
        bool hasSceneFile(const hstring& chapter, const hstring& scene);
        Scene* getActiveScene();
        void setActiveScene(Scene* scene);
        Chapter* getActiveChapter();
        hstring getActiveChapterName();
        hstring getActiveSceneName();
        // The transition registered under that effect name, or null.
        TransitionManager* getTransition(const hstring& effect);
        void createTransitions();
        // Deactivates the active scene and deletes the transitions; shut-down calls it while the UI lives.
        void destroyScenes();
        void setLocalization(const hstring& name);
        VumoViewportObject* getViewport();
        void setViewport(VumoViewportObject* viewport);
        // Frees what nothing uses: idle UI textures and the text renderer's cache.
        void cleanMemory();

        // What the autosave keeps: the player's profile fills it in. Each second it syncs, or saves when a
        // save is due; a save syncs first itself. A save that fails returns false or throws; either way it is
        // retried later.
        class AutosaveTarget
        {
        public:
            virtual ~AutosaveTarget() = default;
            virtual void syncIfAllowed() {}
            virtual bool saveToFile() = 0;
        };
        // Null stops the autosave from saving anything; the target is not owned.
        void setAutosaveTarget(AutosaveTarget* target);
        int getAutosaveSeconds();
        float getAutosaveAccumulator();
    } // namespace Session
} // namespace vumo
