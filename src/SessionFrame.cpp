#include <utility>

#include <quortypes/Log.h>
#include <quortypes/harray.h>
#include <quortypes/hdeque.h>
#include <fintu/Renderer.h>
#include <tesraparticle/tesraparticle.h>
#include <tesraui/tesraui.h>
#include <yim/AudioManager.h>
#include <yim/yim.h>

#include "Chapter.h"
#include "Dialogs.h"
#include "Inventory.h"
#include "Scene.h"
#include "Session.h"
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

        void update(float timeDelta)
        {
            if (viewport == nullptr)
            {
                return;
            }
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
        }
    } // namespace Session
} // namespace vumo
