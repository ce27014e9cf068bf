#pragma once

#include <quortypes/hstring.h>

namespace quortypes
{
    // Lets tests make file operations fail as a read-only folder, a full disk or a broken drive would,
    // where running as root would let the real operations through. The hook gets the operation ("write"
    // for the bytes of an atomic save, "remove" for removing a file or a folder, "read" for opening a file
    // to read it, as a file of another user refuses it) and the path, and
    // returns the errno to fail with, or 0 to let the operation run. Null, the default, fails nothing.
    typedef int (*FileFaultHook)(const char* operation, const hstring& path);
    void setFileFaultHook(FileFaultHook hook);
    // The errno the hook asks for, or 0.
    int fileFault(const char* operation, const hstring& path);
} // namespace quortypes
