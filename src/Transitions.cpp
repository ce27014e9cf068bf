#include "Transitions.h"

#include <algorithm>

#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>

#include "Chapter.h"
#include "EngineObjects.h"
#include "Session.h"
#include "objects/LoopSound.h"
#include "objects/VumoViewportObject.h"
#include "GameUiHost.h"

namespace vumo
{
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
        return Session::switchScene(target);
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

        Fade::~Fade() = default;

        void Fade::start(const hstring& target, float duration, const hstring& extra)
        {
            getGameUiHost().OnSceneTransitionBegan(target, "fade", duration);
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
            // The last fade's overlay went with it: an object of that name now is the game's own.
            tesraui::Dataset* dataset = viewport->getDataset();
            tesraui::ImageBox* made = new tesraui::ImageBox(
                EngineObjects::freeName(dataset, overlayName),
                kavtypes::Rectangle(0.0f, 0.0f, viewport->getWidth(), viewport->getHeight()));
            made->setOutsideHolder("the fade transition");
            made->setZOrder(10000);
            made->setAnchors(true, true, true, true);
            EngineObjects::attach(made, viewport, dataset);
            made->setImageByName("0x000000");
            made->setAlpha(0);
            overlay = tesraui::Watched<tesraui::ImageBox>(made);
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
            tesraui::ImageBox* overlay = this->overlay.get();
            if (overlay == nullptr)
            {
                // Gone without the fade's doing (its dataset at shut-down): the fade ends.
                removeOverlay();
                finish();
                return false;
            }
            if (direction != 0)
            {
                level = std::max(0.0f, std::min(255.0f, level + direction * 255.0f * speed * step));
                if ((direction > 0 && level >= 255.0f) || (direction < 0 && level <= 0.0f))
                {
                    direction = 0;
                }
            }
            // The overlay only shows the fade's level: whatever a script set on it since is drawn over, and
            // the switch is decided by the level alone.
            overlay->setAlpha((unsigned char)(level + 0.5f));
            if (direction != 0)
            {
                return true;
            }
            if (level >= 255.0f)
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
            tesraui::ImageBox* overlay = this->overlay.get();
            this->overlay = tesraui::Watched<tesraui::ImageBox>();
            direction = 0;
            if (overlay == nullptr)
            {
                return;
            }
            overlay->setOutsideHolder(nullptr);
            if (overlay->getParent() != nullptr)
            {
                overlay->getParent()->removeChild(overlay);
            }
            if (overlay->getDataset() != nullptr)
            {
                overlay->getDataset()->destroyObject(overlay);
            }
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
            getGameUiHost().OnSceneTransitionEnded();
        }
    } // namespace Transitions
} // namespace vumo
