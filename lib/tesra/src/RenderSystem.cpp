#include <quortypes/Log.h>
#include <tesra/RenderSystem.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>

namespace tesra
{

    hstring RenderSystem::Options::toString() const
    {
        return depthBuffer ? "depth-buffer" : "none";
    }

    RenderSystem::RenderSystem() = default;

    RenderSystem::~RenderSystem() = default;

    bool RenderSystem::create(Options options)
    {
        if (created)
        {
            return false;
        }
        quortypes::Log::write(logTag, formatString("Creating rendersystem: '%s' (options: %s)", name.c_str(),
                                                   options.toString().c_str()));
        this->options = options;
        created = true;
        return true;
    }

    bool RenderSystem::destroy()
    {
        if (!created)
        {
            return false;
        }
        quortypes::Log::write(logTag, formatString("Destroying rendersystem '%s'.", name.c_str()));
        created = false;
        return true;
    }

    void RenderSystem::presentFrame()
    {
        if (window != nullptr)
        {
            window->presentFrame();
        }
    }

} // namespace tesra
