#pragma once

#include <stdlib.h>

#include <fstream>
#include <string>

#include <quortypes/Dir.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>
#include <quortypes/hstring.h>

#include "TempFolder.h"

namespace quortypes_testing
{
    // A scratch folder that resources are read from while the object lives.
    class ResourceFolder
    {
    public:
        explicit ResourceFolder(const std::string& prefix = "vumo")
        {
            this->path = makeTempFolder(prefix + "_test_");
            this->oldCwd = quortypes::Resource::getCwd();
            quortypes::Resource::setCwd(this->path);
        }
        ~ResourceFolder()
        {
            quortypes::Resource::setCwd(this->oldCwd);
            quortypes::Dir::remove(this->path);
        }
        void write(const hstring& name, const std::string& data)
        {
            hstring full = quortypes::Dir::joinPath(this->path, name);
            quortypes::Dir::create(quortypes::Dir::baseDir(full));
            std::ofstream(full.c_str(), std::ios::binary) << data;
        }
        hstring path;

    private:
        hstring oldCwd;
    };

    // An exception's own text, without the "[source:line] " in front.
    inline std::string messageText(const quortypes::exception& e)
    {
        std::string message = e.getMessage();
        size_t end = message.find("] ");
        return end == std::string::npos ? message : message.substr(end + 2);
    }

    // The text of the E that f throws, or "nothing thrown".
    template <class E = quortypes::exception, class F> std::string thrownText(F f)
    {
        try
        {
            f();
        }
        catch (E& e)
        {
            return messageText(e);
        }
        return "nothing thrown";
    }
} // namespace quortypes_testing
