#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <new>
#include <string>

#include <quortypes/Log.h>
#include <quortypes/exception.h>
#include <tesra/RenderSystem.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>

#include "system/AbruptEnd.h"
#include "system/EndWatchdog.h"
#include "system/MessageBoxAnswer.h"
#include "system/TerminationSignals.h"
#include "platform/Platform.h"

using quortypes::Log;

namespace tesra
{

    const char* const messageBoxAnswerVariable = "TESRA_MESSAGEBOX_ANSWER";

    const hstring logTag = "tesra";
    RenderSystem* rendersys = nullptr;
    Window* window = nullptr;

    namespace
    {
        // The public pointers borrow from these, so that every library keeps reaching both through them.
        // Held where exit's static destruction does not reach: a program that ends without destroy() leaves
        // them as it always has, instead of ending them after what they log to is gone.
        std::unique_ptr<RenderSystem>& ownedRenderSystem()
        {
            static auto* owner = new std::unique_ptr<RenderSystem>();
            return *owner;
        }

        std::unique_ptr<Window>& ownedWindow()
        {
            static auto* owner = new std::unique_ptr<Window>();
            return *owner;
        }

        harray<hstring> textureExtensions;
        void (*messageBoxCallback)(MessageBoxButton) = nullptr;

        // Warnings, errors and boxes that end the program: the box may never reach anyone (no display, a
        // desktop without the dialog helper the platform tries first), so their text also goes where
        // whoever started the program looks.
        bool mustBeHeard(int style)
        {
            return (style & (MESSAGE_STYLE_WARNING | MESSAGE_STYLE_TERMINATE_ON_DISPLAY)) != 0;
        }

        int& exitCode()
        {
            static int code = 0;
            return code;
        }

        std::map<hstring, int>& nameCounters()
        {
            static std::map<hstring, int> counters;
            return counters;
        }
    } // namespace

    void init(int renderSystemType, int windowType)
    {
        Log::write(logTag, formatString("Initializing TESRA. (Platform: %s %s)", platform::name().c_str(),
                                        platform::architecture().c_str()));
        textureExtensions.push_back(".jpt");
        textureExtensions.push_back(".png");
        textureExtensions.push_back(".jpg");
        if (rendersys == nullptr)
        {
            if (renderSystemType == 0 || renderSystemType == 1)
            {
                ownedRenderSystem() = platform::createRenderSystem();
                rendersys = ownedRenderSystem().get();
            }
            if (rendersys == nullptr)
            {
                // These fixed line numbers are part of the message text reports already quote.
                throw quortypes::exception("Could not create given rendersystem!", "src/tesra", 233);
            }
        }
        if (window == nullptr)
        {
            if (windowType == 0 || windowType == 1)
            {
                ownedWindow() = platform::createWindow();
                window = ownedWindow().get();
            }
            if (window == nullptr)
            {
                throw quortypes::exception("Could not create given windowsystem!", "src/tesra", 289);
            }
        }
        Log::write(logTag,
                   formatString("Using: %s, %s", rendersys->getName().c_str(), window->getName().c_str()));
    }

    void createRenderSystem(RenderSystem::Options options)
    {
        if (rendersys != nullptr)
        {
            rendersys->create(options);
        }
    }

    void createWindow(int width, int height, bool fullscreen, const hstring& title, Window::Options options)
    {
        if (window == nullptr)
        {
            return;
        }
        window->create(width, height, fullscreen, title, options);
        if (rendersys != nullptr)
        {
            rendersys->attach(window);
        }
    }

    void destroy()
    {
        if (rendersys == nullptr && window == nullptr)
        {
            return;
        }
        Log::write(logTag, "Destroying TESRA.");
        if (window != nullptr)
        {
            window->unassign();
        }
        if (rendersys != nullptr && window != nullptr)
        {
            rendersys->destroy();
            window->destroy();
        }
        // The window before the render system; each goes while its public pointer still names it.
        ownedWindow().reset();
        window = nullptr;
        ownedRenderSystem().reset();
        rendersys = nullptr;
    }

    harray<hstring> getTextureExtensions()
    {
        return textureExtensions;
    }

    void setTextureExtensions(const harray<hstring>& extensions)
    {
        textureExtensions = extensions;
    }

    int main(void (*initHook)(const harray<hstring>& args), void (*destroyHook)(), int argc, char** argv)
    {
        // Before the window starts its platform, which then leaves these signals to us.
        const TerminationSignals signals;
        const EndWatchdog watchdog;
        harray<hstring> args;
        if (argv != nullptr && argv[0] != nullptr)
        {
            for (int i = 0; i < argc; ++i)
            {
                args.push_back(hstring(argv[i]));
            }
        }
        initHook(args);
        if (window != nullptr)
        {
            window->enterMainLoop();
        }
        EndWatchdog::noteLoopEnded();
        destroyHook();
        return exitCode();
    }

    void setExitCode(int code)
    {
        exitCode() = code;
    }

    void setTerminationSignalListener(void (*listener)(int signal))
    {
        TerminationSignals::setListener(listener);
    }

    void setAbruptEndListener(void (*listener)())
    {
        AbruptEnd::setListener(listener);
    }

    bool checkSingleInstance(const hstring& name, const hstring& fallbackName)
    {
        hstring instanceName = (name == "" ? fallbackName : name);
        for (char& c : instanceName)
        {
            if (c == '\\')
            {
                c = '/';
            }
        }
        if (platform::acquireInstanceLock(instanceName) != platform::InstanceLock::HELD_ELSEWHERE)
        {
            return true;
        }
        showMessageBox("Warning", "Cannot launch '" + instanceName + "', already running!", MESSAGE_BUTTON_OK,
                       MESSAGE_STYLE_WARNING);
        return false;
    }

    void releaseSingleInstance()
    {
        platform::releaseInstanceLock();
    }

    void showMessageBox(const hstring& title, const hstring& text, int buttons, int style,
                        const std::map<MessageBoxButton, hstring>& customButtonTitles,
                        void (*callback)(MessageBoxButton))
    {
        const bool terminate = (style & MESSAGE_STYLE_TERMINATE_ON_DISPLAY) != 0;
        if (terminate)
        {
            if (window != nullptr)
            {
                window->terminateMainLoop();
                window->destroy();
            }
            style |= MESSAGE_STYLE_MODAL;
        }
        messageBoxCallback = callback;
        if (mustBeHeard(style))
        {
            fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
            fflush(stderr);
        }
        const int shownButtons = messageBoxButtonSet(buttons);
        int result = 0;
        const char* answer = getenv(messageBoxAnswerVariable);
        if (answer != nullptr)
        {
            result = scriptedMessageBoxAnswer(answer, shownButtons);
            Log::write(logTag, formatString("Message box '%s': '%s' (not shown, answered %s)",
                                            Log::quote(title).c_str(), Log::quote(text).c_str(),
                                            messageBoxButtonName(result).c_str()));
        }
        else
        {
            Log::write(logTag, formatString("Message box '%s': '%s'", Log::quote(title).c_str(),
                                            Log::quote(text).c_str()));
            result = platform::showMessageBox(title, text, shownButtons, style, customButtonTitles);
        }
        switch (result)
        {
        case MESSAGE_BUTTON_OK:
        case MESSAGE_BUTTON_CANCEL:
        case MESSAGE_BUTTON_YES:
        case MESSAGE_BUTTON_NO:
            if (messageBoxCallback != nullptr)
            {
                messageBoxCallback((MessageBoxButton)result);
            }
            break;
        default:
            Log::error(logTag, "Unknown message box callback: " + std::to_string(result));
            break;
        }
        if (terminate)
        {
            // The program ends here without its normal shut-down: keep the log of the
            // failure and tell the caller that the run failed.
            Log::mergeSegments(true);
            std::exit(1);
        }
    }

    hstring getPackageName()
    {
        Log::warn(logTag, "Cannot use getPackageName() on this platform.");
        return "";
    }

    hstring generateName(const hstring& prefix)
    {
        const int counter = ++nameCounters()[prefix];
        return prefix + std::to_string(counter);
    }

} // namespace tesra
