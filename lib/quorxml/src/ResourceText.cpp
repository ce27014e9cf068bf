#include <sys/stat.h>

#include <cstdio>

#include <quortypes/exception.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>

#include "ResourceText.h"

// Stand-in for the resource layer: reads plain files relative to the working directory.
namespace quorxml
{
    namespace resource
    {
        bool exists(const hstring& name)
        {
            struct stat info;
            return (stat(normalize(name).c_str(), &info) == 0 && S_ISREG(info.st_mode));
        }

        hstring normalize(const hstring& name)
        {
            harray<hstring> segments = name.replaced("\\", "/").split("/", -1, true);
            harray<hstring> result;
            for (const hstring& segment : segments)
            {
                if (segment == ".")
                {
                    continue;
                }
                if (segment == ".." && result.size() > 0 && result.back() != "..")
                {
                    result.pop_back();
                    continue;
                }
                result.push_back(segment);
            }
            hstring path = (name.startsWith("/") ? "/" : "") + result.joined("/");
            return (path != "" ? path : hstring("."));
        }

        hstring readAll(const hstring& name)
        {
            FILE* file = fopen(name.c_str(), "rb");
            if (file == nullptr)
            {
                throw quortypes::_file_not_found(name, true, "Document", __LINE__);
            }
            hstring text;
            char buffer[4096];
            size_t count = 0;
            while ((count = fread(buffer, 1, sizeof(buffer), file)) > 0)
            {
                text.append(buffer, count);
            }
            fclose(file);
            return text.replaced("\r", "");
        }
    } // namespace resource
} // namespace quorxml
