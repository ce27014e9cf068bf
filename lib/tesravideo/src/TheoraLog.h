#pragma once

#include <string>

// Where the video library's messages go: a leaf every file of the library may write to, set through
// TheoraVideoManager::setLogFunction. Until then, messages go to the console.
namespace theoralog
{
    typedef void (*Function)(const std::string& message);

    void write(const std::string& message);
    void setFunction(Function function);
} // namespace theoralog
