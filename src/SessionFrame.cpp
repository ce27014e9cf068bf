#include <utility>

#include <quortypes/Log.h>
#include <quortypes/harray.h>
#include <quortypes/hdeque.h>
#include <fintu/Renderer.h>
#include <tesraparticle/tesraparticle.h>
#include <tesraui/tesraui.h>
#include <tesrauilua/Boundary.h>
#include <yim/AudioManager.h>
#include <yim/yim.h>

#include "Chapter.h"
#include "Dialogs.h"
#include "Inventory.h"
#include "Scene.h"
#include "Session.h"
#include "SessionWork.h"
#include "SessionState.h"
#include "objects/ColorImage.h"
#include "objects/LoopSound.h"
#include "GameUiHost.h"

namespace vumo
{
    namespace Session
    {
        namespace
        {
            VumoViewportObject* viewport = nullptr;
            bool paused = false;
            bool sceneLocked = false;
            hdeque<hstring> queuedScripts;
            bool scriptLimitReported = false;
            float autosaveAccumulator = 0.0f;
            int autosaveSeconds = 0;
            AutosaveTarget* autosaveTarget = nullptr;
            // Engine work under way, counted by WorkUnderWay.
            int workUnderWay = 0;
            // While a text of the frame's queued scripts runs: the work count it runs at. -1 otherwise.
            int queuedTextWork = -1;

            // A text of the frame's queued scripts runs at the frame's start: what it switches or resets
            // happens at once.
            struct QueuedText : quortypes::UnderWay<int>
            {
                QueuedText() : quortypes::UnderWay<int>(queuedTextWork, workUnderWay) {}
            };

            void autosave()
            {
                if (autosaveTarget == nullptr)
                {
                    return;
                }
                if (autosaveSeconds <= 120)
                {
                    autosaveTarget->syncIfAllowed();
                    return;
                }
                // The save syncs first: the game is asked once whether it may.
                bool saved = false;
                try
                {
                    saved = autosaveTarget->saveToFile();
                }
                catch (const quortypes::exception& e)
                {
                    quortypes::Log::error(logTag, "Autosave failed: " + e.getMessage());
                }
                catch (const std::exception& e)
                {
                    quortypes::Log::error(logTag, hstring("Autosave failed: ") + e.what());
                }
                if (saved)
                {
                    quortypes::Log::write(logTag, "Game state autosaved");
                    autosaveSeconds = 0;
                }
                else
                {
                    autosaveSeconds = 10;
                }
            }
        } // namespace

        WorkUnderWay::WorkUnderWay() : mark(workUnderWay) {}

        bool isSwitchPoint()
        {
            // Scripts reach the engine only through registered functions: the one a queued text calls
            // directly is the only one running, and any more are calls made from a hook below it.
            if (queuedTextWork >= 0)
            {
                return workUnderWay == queuedTextWork && tesrauilua::getBoundaryDepth() <= 1;
            }
            return workUnderWay == 0 && tesrauilua::getBoundaryDepth() == 0;
        }

        void update(float timeDelta)
        {
            if (viewport == nullptr)
            {
                return;
            }
            const WorkUnderWay frame;
            runQueuedScripts();
            if (getActiveScene() != nullptr)
            {
                getActiveScene()->update(timeDelta);
            }
            // A paused game's talk waits too: a line shown under a message box is still there after it.
            if (!paused)
            {
                DialogManager::update(timeDelta);
            }
            updateTransition(timeDelta);
            if (yim::manager != nullptr)
            {
                yim::manager->update(timeDelta);
            }
            LoopSound::updateAll(timeDelta);
            vumo::ColorImage::updateAll(timeDelta);
            autosaveAccumulator += timeDelta;
            if (autosaveAccumulator > 1.0f)
            {
                // At most one second a frame; a long pause is not made up at once.
                ++autosaveSeconds;
                autosaveAccumulator -= 1.0f;
                if (!paused)
                {
                    autosave();
                }
            }
        }

        void queueScript(const hstring& code, bool unique)
        {
            if (unique && queuedScripts.size() > 0 && queuedScripts.front() == code)
            {
                return;
            }
            queuedScripts.push_back(code);
        }

        void runQueuedScripts()
        {
            int count = 0;
            while (queuedScripts.size() > 0)
            {
                if (count == maxScriptsPerFrame)
                {
                    // A text that queues itself again would otherwise never let the frame end.
                    if (!scriptLimitReported)
                    {
                        quortypes::Log::error(logTag,
                                              formatString("More than %d queued scripts in one frame, "
                                                           "the rest run in the next frame",
                                                           maxScriptsPerFrame));
                        scriptLimitReported = true;
                    }
                    return;
                }
                ++count;
                hstring code = std::move(queuedScripts.front());
                queuedScripts.pop_front();
                const QueuedText running;
                getGameUiHost().execute(code);
            }
            scriptLimitReported = false;
        }

        void setPaused(bool value)
        {
            GameUiHost& host = getGameUiHost();
            if (paused == value)
            {
                if (host.isDebugModeEnabled())
                {
                    quortypes::Log::write(logTag,
                                          value ? "Warning: Trying to pause an already paused Session."
                                                : "Warning: Trying to unpause an already unpaused Session.");
                }
                return;
            }
            paused = value;
            quortypes::Log::write(logTag, value ? "Session paused" : "Session unpaused");
            value ? host.OnGamePaused() : host.OnGameUnpaused();
        }

        bool isPaused()
        {
            return paused;
        }

        void lockScene()
        {
            if (sceneLocked)
            {
                quortypes::Log::write(logTag, "Scene Locked (was previously locked)");
                return;
            }
            // At once, so that nothing can use the item between the lock and the next frame.
            if (Inventory::getSelectedItem() != "")
            {
                Inventory::selectItem("");
            }
            sceneLocked = true;
            quortypes::Log::write(logTag, "Scene Locked");
        }

        void unlockScene()
        {
            if (!sceneLocked)
            {
                quortypes::Log::write(logTag, "Scene Unlocked (wasn't previously unlocked)");
                return;
            }
            sceneLocked = false;
            quortypes::Log::write(logTag, "Scene Unlocked");
        }

        bool isSceneLocked()
        {
            return sceneLocked;
        }

        VumoViewportObject* getViewport()
        {
            return viewport;
        }

        void setViewport(VumoViewportObject* value)
        {
            viewport = value;
        }

        void cleanMemory()
        {
            quortypes::Log::write(logTag, "cleanMemory() called, destroying unused resources...");
            tesraui::unloadUnusedTextures();
            if (fintu::renderer != nullptr)
            {
                fintu::renderer->clearCache();
            }
            if (yim::manager != nullptr)
            {
                yim::manager->clearMemory();
            }
            tesraparticle::clearCache();
            for (auto& pair : tesraui::getDatasets())
            {
                if (Chapter* chapter = Chapter::fromDataset(pair.second))
                {
                    chapter->unloadIdleResources();
                }
            }
        }

        void setAutosaveTarget(AutosaveTarget* target)
        {
            autosaveTarget = target;
        }

        int getAutosaveSeconds()
        {
            return autosaveSeconds;
        }

        float getAutosaveAccumulator()
        {
            return autosaveAccumulator;
        }

        // Leaves the frame state as a fresh start finds it.
        void resetFrameState()
        {
            viewport = nullptr;
            paused = false;
            sceneLocked = false;
            queuedScripts.clear();
            scriptLimitReported = false;
            autosaveAccumulator = 0.0f;
            autosaveSeconds = 0;
            queuedTextWork = -1;
        }
    } // namespace Session
} // namespace vumo
