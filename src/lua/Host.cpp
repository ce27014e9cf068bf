#include <quortypes/Log.h>

#include "Host.h"
#include "LuaInterface.h"

namespace LuaInterface
{
    namespace
    {
        Host defaultHost;
        Host* current = &defaultHost;
    } // namespace

    void setHost(Host* host)
    {
        current = (host != nullptr ? host : &defaultHost);
    }

    Host& getHost()
    {
        return *current;
    }

    void Host::showFatalError(const quortypes::exception& exception)
    {
        quortypes::Log::error(logTag, exception.getMessage());
    }

    void Host::executeInUI(const hstring& code)
    {
        try
        {
            execute(code, "ui", "");
        }
        catch (const quortypes::exception& e)
        {
            quortypes::Log::error(logTag, e.getMessage());
        }
    }

    void Host::showErrorOverlay(const hstring& message)
    {
        quortypes::Log::error(logTag, message);
    }

    void Host::runSceneScript(Scene* scene, const hstring& code)
    {
        try
        {
            execute(code, this->getSceneEnvironment(scene), "");
        }
        catch (const quortypes::exception& e)
        {
            quortypes::Log::error(logTag, e.getMessage());
        }
    }

    tesraui::Dataset* Host::getSceneDataset(Scene*)
    {
        return nullptr;
    }

    hstring Host::getSceneEnvironment(Scene*)
    {
        return "";
    }
} // namespace LuaInterface
