#pragma once

#include <gtest/gtest.h>

#include <fstream>
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
        std::ofstream(this->path, std::ios::binary) << content;
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
