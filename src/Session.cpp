#include "Session.h"

#include <quortypes/Log.h>

#include "Config.h"
#include "SessionState.h"
#include "UserFolder.h"

namespace vumo
{
    namespace Session
    {
        const hstring logTag = "vumo";

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
