#pragma once

#include <quortypes/exception.h>
#include <quortypes/hstring.h>
#include <tesraui/LifeToken.h>

namespace tesraui
{
    class Dataset;
}

namespace vumo
{
    class Scene;

    namespace LuaInterface
    {
        // Where a script failed, and so how it is told: the texts the log line and the overlay put before
        // the error.
        struct ScriptErrorContext
        {
            // A log line of its own, written whether or not an overlay shows the error; without one the
            // error is logged in place of an overlay that cannot show, unless the caller logged it already.
            hstring logPrefix;
            hstring overlayPrefix;
            bool logged = false;

            ScriptErrorContext(const hstring& logPrefix = "", const hstring& overlayPrefix = "",
                               bool logged = false)
                : logPrefix(logPrefix), overlayPrefix(overlayPrefix), logged(logged)
            {
            }
        };

        // What the Lua host needs from the engine around it: the session, the game UI and the scenes fill
        // it in as they exist. The defaults behave as an engine with no UI and no active scene: failures
        // are logged under "vumo", debug mode is off.
        class Host
        {
        public:
            virtual ~Host() = default;

            // Returns when the program goes on.
            virtual void showFatalError(const quortypes::exception& exception);
            // Runs code in the UI's environment; its failures are reported, never thrown.
            virtual void executeInUI(const hstring& code);
            virtual void showErrorOverlay(const hstring& message);
            // Shows the message when an overlay can show it; nothing otherwise.
            virtual void showErrorOverlayIfShown(const hstring&) {}
            // The one way a failed script is reported to the player and the log.
            void reportScriptError(const ScriptErrorContext& context, const hstring& error);
            virtual bool isDebugModeEnabled() { return false; }

            virtual Scene* getActiveScene() { return nullptr; }
            // Runs code in the scene's environment; its failures are reported, never thrown.
            virtual void runSceneScript(Scene* scene, const hstring& code);
            virtual tesraui::Dataset* getSceneDataset(Scene* scene);
            // The global name of the scene's environment table.
            virtual hstring getSceneEnvironment(Scene* scene);
            // Alive while that name stays what it is, so that it may be kept; the default watches nothing.
            virtual tesraui::LifeToken::Watch watchSceneEnvironment(Scene*) { return {}; }
            // Alive while the scene stands (its chapter deletes it when it unloads); the default watches
            // nothing.
            virtual tesraui::LifeToken::Watch watchScene(Scene*) { return {}; }
            // Runs an object's code whose scene has gone: in the environment of the chapter the dataset is,
            // while it is loaded, else in the UI's; its failures are reported, never thrown. The default runs
            // it in the UI's.
            virtual void runObjectScript(tesraui::Dataset* dataset, const hstring& code);
        };

        // Null restores the defaults; the host is not owned.
        void setHost(Host* host);
        Host& getHost();
    } // namespace LuaInterface
} // namespace vumo
