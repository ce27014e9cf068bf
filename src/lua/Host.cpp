#include <quortypes/Log.h>

#include "Host.h"
#include "LuaInterface.h"
#include "ScriptErrorLog.h"

namespace vumo
{
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
                ScriptErrorLog::write(logTag, e.getMessage());
            }
        }

        void Host::runObjectScript(tesraui::Dataset*, const hstring& code)
        {
            this->executeInUI(code);
        }

        void Host::showErrorOverlay(const hstring& message)
        {
            ScriptErrorLog::write(logTag, message);
        }

        void Host::runSceneScript(Scene* scene, const hstring& code)
        {
            try
            {
                execute(code, this->getSceneEnvironment(scene), "");
            }
            catch (const quortypes::exception& e)
            {
                ScriptErrorLog::write(logTag, e.getMessage());
            }
        }

        void Host::reportScriptError(const ScriptErrorContext& context, const hstring& error)
        {
            const hstring message = context.overlayPrefix + error;
            if (context.logPrefix == "" && !context.logged)
            {
                this->showErrorOverlay(message);
                return;
            }
            if (context.logPrefix != "")
            {
                ScriptErrorLog::write(logTag, context.logPrefix + error);
            }
            this->showErrorOverlayIfShown(message);
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
} // namespace vumo
