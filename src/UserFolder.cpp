#include "UserFolder.h"

#include <pirk/util.h>

namespace vumo
{
    namespace Session
    {
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
    } // namespace Session
} // namespace vumo
