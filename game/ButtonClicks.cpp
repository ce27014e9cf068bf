#include "ButtonClicks.h"

#include <memory>
#include <utility>

#include <quortypes/Log.h>
#include <quortypes/exception.h>
#include <tesraui/Event.h>
#include <tesraui/Object.h>
#include <yim/AudioManager.h>
#include <yim/yim.h>

#include "Session.h"

namespace
{
    const char* const clickSound = "ui.click";

    class ClickFirst : public tesraui::Event
    {
    public:
        explicit ClickFirst(std::shared_ptr<tesraui::Event> then) : then(std::move(then)) {}

        void execute(tesraui::EventArgs* args) override
        {
            ButtonClicks::play();
            if (this->then != nullptr)
            {
                this->then->execute(args);
            }
        }

    private:
        std::shared_ptr<tesraui::Event> then;
    };
} // namespace

namespace ButtonClicks
{
    void play()
    {
        if (yim::manager == nullptr || !yim::manager->hasSound(clickSound))
        {
            return;
        }
        try
        {
            yim::manager->play(clickSound, 0.0f, false, 1.0f);
        }
        catch (const quortypes::exception& e)
        {
            // A sound that fails to play leaves the button working.
            quortypes::Log::error(vumo::Session::logTag, e.getMessage());
        }
    }

    void addTo(tesraui::Object* button)
    {
        if (button == nullptr)
        {
            return;
        }
        std::shared_ptr<tesraui::Event> before = button->getEvents().tryGet("Click", nullptr);
        if (std::dynamic_pointer_cast<ClickFirst>(before) != nullptr)
        {
            return;
        }
        button->registerEvent("Click", std::make_shared<ClickFirst>(std::move(before)));
    }
} // namespace ButtonClicks
