#pragma once

#include <quortypes/exception.h>
#include <quortypes/hstring.h>
#include <tesraui/LifeToken.h>

class Scene;

namespace tesraui
{
    class Dataset;
}

namespace LuaInterface
{
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
        virtual bool isDebugModeEnabled() { return false; }

        virtual Scene* getActiveScene() { return nullptr; }
        // Runs code in the scene's environment; its failures are reported, never thrown.
        virtual void runSceneScript(Scene* scene, const hstring& code);
        virtual tesraui::Dataset* getSceneDataset(Scene* scene);
        // The global name of the scene's environment table.
        virtual hstring getSceneEnvironment(Scene* scene);
        // Alive while that name stays what it is, so that it may be kept; the default watches nothing.
        virtual tesraui::LifeToken::Watch watchSceneEnvironment(Scene*) { return {}; }
    };

    // Null restores the defaults; the host is not owned.
    void setHost(Host* host);
    Host& getHost();
} // namespace LuaInterface
