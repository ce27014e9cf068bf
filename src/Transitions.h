#pragma once

#include <quortypes/hstring.h>
#include <tesraui/LifeToken.h>

namespace tesraui
{
    class ImageBox;
}

namespace vumo
{
    // A scene change: takes the target's full name and a duration, decides when the switch happens and may
    // draw an effect around it. The switch itself is the session's.
    class TransitionManager
    {
    public:
        virtual ~TransitionManager() = default;
        virtual void start(const hstring& target, float duration, const hstring& extra);
        // True while still running.
        virtual bool update(float timeDelta);
        // Drops whatever the transition shows and ends it for the game; a new request replacing a running one
        // calls it.
        virtual void cancel() = 0;

        // Session::switchScene on the target; its long frame does not count towards the duration.
        bool switchScene();

        const hstring& getTarget() const { return target; }
        float getElapsed() const { return elapsed; }
        // The chapter whose looping sounds this transition faded out, while it runs; empty when none.
        const hstring& getLeftChapter() const { return leftChapter; }

    protected:
        hstring target;
        float duration = 0.0f;
        float elapsed = 0.0f;
        bool justSwitched = false;
        hstring leftChapter;
    };

    namespace Transitions
    {
        class Immediate : public TransitionManager
        {
        public:
            void start(const hstring& target, float duration, const hstring& extra) override;
            bool update(float timeDelta) override;
            void cancel() override {}
        };

        // A black overlay fades in over half the duration, the scene switches one frame after full cover,
        // and the overlay fades out again.
        class Fade : public TransitionManager
        {
        public:
            static const char* const overlayName;

            ~Fade() override;
            void start(const hstring& target, float duration, const hstring& extra) override;
            bool update(float timeDelta) override;
            void cancel() override;

            tesraui::ImageBox* getOverlay() const { return overlay.get(); }
            float getSpeed() const { return speed; }

        protected:
            // Held while the fade runs; watched all the same, since the dataset may go first at shut-down.
            tesraui::Watched<tesraui::ImageBox> overlay;
            float speed = 0.0f;
            bool waited = false;
            // Between the game's "transition began" and "transition ended" hooks.
            bool began = false;
            float level = 0.0f;
            int direction = 0;

            void removeOverlay();
            void finish();
        };
    } // namespace Transitions
} // namespace vumo
