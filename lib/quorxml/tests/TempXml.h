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

// The message of the exception E that action throws from the given source, without its "[source:line] "
// decoration.
template <typename E, typename Action> std::string errorOf(const std::string& source, Action action)
{
    try
    {
        action();
    }
    catch (const E& e)
    {
        std::string message = e.getMessage();
        EXPECT_EQ(message.rfind("[" + source + ":", 0), 0u) << message;
        return message.substr(message.find("] ") + 2);
    }
    ADD_FAILURE() << "no exception";
    return "";
}
