#pragma once

#include <map>

#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <tesra/RenderSystem.h>
#include <tesra/Window.h>

namespace tesra
{

    enum MessageBoxButton
    {
        MESSAGE_BUTTON_OK = 1,
        MESSAGE_BUTTON_CANCEL = 2,
        MESSAGE_BUTTON_YES = 4,
        MESSAGE_BUTTON_NO = 8,
    };

    enum MessageBoxStyle
    {
        MESSAGE_STYLE_INFO = 1,
        MESSAGE_STYLE_WARNING = 2,
        MESSAGE_STYLE_CRITICAL = 3,
        MESSAGE_STYLE_QUESTION = 4,
        MESSAGE_STYLE_MODAL = 8,
        MESSAGE_STYLE_TERMINATE_ON_DISPLAY = 16,
    };

    // When this environment variable is set, message boxes are written to the log and
    // answered with the button it names ("ok", "cancel", "yes", "no") instead of shown.
    extern const char* const messageBoxAnswerVariable;

    extern const hstring logTag;
    extern RenderSystem* rendersys;
    extern Window* window;

    void init(int renderSystemType = 0, int windowType = 0);
    void createRenderSystem(RenderSystem::Options options = RenderSystem::Options());
    void createWindow(int width, int height, bool fullscreen, const hstring& title,
                      Window::Options options = Window::Options());
    void destroy();

    harray<hstring> getTextureExtensions();
    void setTextureExtensions(const harray<hstring>& extensions);

    // Runs initHook with the arguments, then the window's main loop when a window
    // exists, then destroyHook. A termination signal ends the loop at its next frame; one after it, or the
    // loop still running five seconds after it, ends the process at once (see setAbruptEndListener) with the
    // status 128 + the signal.
    int main(void (*initHook)(const harray<hstring>& args), void (*destroyHook)(), int argc, char** argv);
    // What main returns once the program has ended through its normal end; 0 unless set.
    void setExitCode(int code);
    // Called with the signal from inside the handler of a termination signal (SIGTERM, SIGINT, SIGHUP),
    // after the note that ends the main loop at its next frame, on the main thread: only what is safe in a
    // signal handler may run there. Null for none.
    void setTerminationSignalListener(void (*listener)(int signal));
    // Called when the program must end at once, the platform not letting it return to its main loop (the
    // connection to the X display was lost), or the main thread not getting there after a termination signal:
    // the last chance to keep what must not be lost. In the second case it runs on a thread of its own while
    // the main thread stands wherever it was held. Null for none.
    void setAbruptEndListener(void (*listener)());

    // False, after a warning box, when another process holds the same instance name.
    bool checkSingleInstance(const hstring& name, const hstring& fallbackName = "");
    void releaseSingleInstance();

    void showMessageBox(const hstring& title, const hstring& text, int buttons = MESSAGE_BUTTON_OK,
                        int style = MESSAGE_STYLE_INFO,
                        const std::map<MessageBoxButton, hstring>& customButtonTitles = {},
                        void (*callback)(MessageBoxButton) = nullptr);

    hstring getPackageName();
    // The prefix followed by a counter kept per prefix: Object1, Object2, ...
    hstring generateName(const hstring& prefix);

} // namespace tesra
