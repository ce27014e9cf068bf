#pragma once

#include <cstdio>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

// An XML file written below the working directory for one test and removed afterwards; documents
// are read as resources, which are named relative to the working directory.
class TempXml
{
public:
    TempXml(const std::string& name, const std::string& content) : path("quorxml_tests/" + name)
    {
        mkdir("quorxml_tests", 0777);
        FILE* file = fopen(this->path.c_str(), "wb");
        if (file != nullptr)
        {
            fwrite(content.data(), 1, content.size(), file);
            fclose(file);
        }
    }
    ~TempXml() { unlink(this->path.c_str()); }

    const std::string path;
};
