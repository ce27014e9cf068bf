#include "Session.h"

#include <pirk/util.h>
#include <quortypes/Log.h>

#include "Config.h"
#include "SessionState.h"

namespace vumo
{
    namespace Session
    {
        const hstring logTag = "vumo";

        namespace
        {
            hstring userFolder;
        } // namespace

        hstring resolveUserFolder(const hdict<hstring>& config)
        {
            if (userFolder == "")
            {
                int mode = config.tryGet("user_folder_no_unicode", "") == "1" ? 5 : 0;
                userFolder = pirk::getUserFolder("Torvin Games", config.tryGet("title", ""), mode);
            }
            return userFolder;
        }

        void forgetUserFolder()
        {
            userFolder = "";
        }

        hstring getUserFolder()
        {
            return resolveUserFolder(getConfig());
        }

        hstring getVersion()
        {
            return "3.4.2";
        }

        void logUI(const hstring& message)
        {
            quortypes::Log::write("ui", message);
        }

        hstring getParentPath(const hstring& path)
        {
            int separator = path.rfind('/');
            if (separator < 0)
            {
                separator = path.rfind('\\');
            }
            return separator < 0 ? hstring() : path.subString(0, separator);
        }
    } // namespace Session
} // namespace vumo
