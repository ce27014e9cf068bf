#pragma once

#include <quortypes/FileBase.h>

namespace quortypes
{
    // A read-only data file, named relative to the resource working directory and prefix.
    class Resource : public FileBase
    {
    public:
        Resource() = default;
        explicit Resource(const hstring& name);
        ~Resource() override = default;

        void open(const hstring& name);

        static hstring makeFullPath(const hstring& name);
        static bool exists(const hstring& name, bool caseSensitive = true);
        static hstring readAll(const hstring& name);
        static int sizeOf(const hstring& name);

        static hstring getCwd() { return cwd; }
        static void setCwd(const hstring& value) { cwd = value; }
        static hstring getPrefix() { return prefix; }
        static void setPrefix(const hstring& value) { prefix = value; }
        static bool isPrefixDisabled() { return prefixDisabled; }
        static void setPrefixDisabled(bool value) { prefixDisabled = value; }

    protected:
        static hstring cwd;
        static hstring prefix;
        static bool prefixDisabled;

        // Resources are never written: throws _file_not_writeable.
        int writeRaw(const void* buffer, int size, int count) override;
    };
} // namespace quortypes
