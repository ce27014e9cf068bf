#include "TheoraLog.h"

#include <cstdio>

namespace theoralog
{
    namespace
    {
        void writeToConsole(const std::string& message)
        {
            printf("%s\n", message.c_str());
        }

        Function current = writeToConsole;
    } // namespace

    void write(const std::string& message)
    {
        current(message);
    }

    void setFunction(Function function)
    {
        current = function;
    }
} // namespace theoralog
