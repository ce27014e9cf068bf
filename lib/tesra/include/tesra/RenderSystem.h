#pragma once

#include <quortypes/hstring.h>

namespace tesra
{

    class Window;

    // The renderer of the library; one instance per process. Implementations draw
    // through a graphics interface of the platform.
    class RenderSystem
    {
    public:
        struct Options
        {
            bool depthBuffer = false;

            hstring toString() const;
        };

        RenderSystem();
        virtual ~RenderSystem();
        RenderSystem(const RenderSystem&) = delete;
        RenderSystem& operator=(const RenderSystem&) = delete;

        const hstring& getName() const { return name; }
        bool isCreated() const { return created; }
        const Options& getOptions() const { return options; }

        virtual bool create(Options options);
        virtual bool destroy();
        // Binds the render system to the window it draws into.
        virtual void attach(Window* window) = 0;
        virtual void setResolution(int width, int height, bool fullscreen) = 0;
        // Clears the whole target, to transparent black.
        virtual void clear(bool useColor = true, bool depth = false) = 0;
        // Ends the frame; the base hands it to the window.
        virtual void presentFrame();

    protected:
        hstring name = "Generic";
        bool created = false;
        Options options;
    };

} // namespace tesra
