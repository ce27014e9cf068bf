#pragma once

#include <stdlib.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace quortypes_testing
{
    // The system's temporary folder: $TMPDIR when it is set, else /tmp. Throws when it is no folder.
    inline std::filesystem::path tempRoot()
    {
        std::error_code error;
        std::filesystem::path root = std::filesystem::temp_directory_path(error);
        if (error)
        {
            const char* set = std::getenv("TMPDIR");
            throw std::runtime_error("No temporary folder at TMPDIR " +
                                     std::string(set != nullptr ? set : "(not set)") + ": " +
                                     error.message());
        }
        return root;
    }

    // A path in the temporary folder, for a file of the caller's own.
    inline std::string tempPath(const std::string& name)
    {
        return (tempRoot() / name).string();
    }

    // Makes a new folder in the temporary folder, named the prefix and six random characters, and returns
    // its path. It uses the standard library only, so that it does not depend on the code under test. A
    // folder that cannot be made (a full disk, a folder that refuses writes) throws with the reason: the
    // case fails and the next one runs, where a path that is not there would lose every write after it.
    inline std::string makeTempFolder(const std::string& prefix)
    {
        std::string pattern = (tempRoot() / (prefix + "XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr)
        {
            const int code = errno;
            throw std::runtime_error("Cannot make the temporary folder " + pattern + ": " +
                                     std::strerror(code));
        }
        return pattern;
    }
} // namespace quortypes_testing
