#include <atomic>

#include <quortypes/FileFaults.h>

namespace quortypes
{
    namespace
    {
        std::atomic<FileFaultHook> hook{nullptr};
    } // namespace

    void setFileFaultHook(FileFaultHook value)
    {
        hook = value;
    }

    int fileFault(const char* operation, const hstring& path)
    {
        FileFaultHook current = hook;
        return current != nullptr ? current(operation, path) : 0;
    }
} // namespace quortypes
