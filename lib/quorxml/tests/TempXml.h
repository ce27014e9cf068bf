#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

// An XML file written below the working directory for one test and removed afterwards; documents
// are read as resources, which are named relative to the working directory.
class TempXml
{
public:
    TempXml(const std::string& name, const std::string& content) : path("quorxml_files/" + name)
    {
        mkdir("quorxml_files", 0777);
        FILE* file = fopen(this->path.c_str(), "wb");
        if (file == nullptr)
        {
            ADD_FAILURE() << "cannot write " << this->path;
            return;
        }
        EXPECT_EQ(fwrite(content.data(), 1, content.size(), file), content.size());
        fclose(file);
    }
    ~TempXml() { unlink(this->path.c_str()); }

    const std::string path;
};
