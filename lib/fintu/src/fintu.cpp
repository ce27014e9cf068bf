#include <memory>

#include <quortypes/Log.h>
#include <fintu/Renderer.h>
#include <fintu/fintu.h>

namespace fintu
{
    const hstring logTag = "fintu";
    Renderer* renderer = nullptr;

    namespace
    {
        // The public pointer borrows from this, so that callers keep reaching the renderer through it. It is
        // held where exit's static destruction does not reach: a program that ends without destroy() leaves
        // the renderer and its fonts as it always has.
        std::unique_ptr<Renderer>& ownedRenderer()
        {
            static auto* owner = new std::unique_ptr<Renderer>();
            return *owner;
        }
    } // namespace

    void init()
    {
        quortypes::Log::write(logTag, "Initializing Fintu.");
        ownedRenderer() = std::make_unique<Renderer>();
        renderer = ownedRenderer().get();
    }

    void destroy()
    {
        if (renderer != nullptr)
        {
            quortypes::Log::write(logTag, "Destroying Fintu.");
            // Fonts going with it may still reach it through the public pointer.
            ownedRenderer().reset();
            renderer = nullptr;
        }
    }
} // namespace fintu
