#include <quortypes/Log.h>
#include <fintu/Renderer.h>
#include <fintu/fintu.h>

namespace fintu
{
    const hstring logTag = "fintu";
    Renderer* renderer = nullptr;

    void init()
    {
        quortypes::Log::write(logTag, "Initializing Fintu.");
        renderer = new Renderer();
    }

    void destroy()
    {
        if (renderer != nullptr)
        {
            quortypes::Log::write(logTag, "Destroying Fintu.");
            delete renderer;
            renderer = nullptr;
        }
    }
} // namespace fintu
