#pragma once

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace benchconsole
{
    // Standard output goes to /dev/null while it lives, so that the console costs what it costs and the
    // results still reach the terminal afterwards.
    class QuietConsole
    {
    public:
        QuietConsole() : saved(dup(1))
        {
            fflush(stdout);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            close(null);
        }
        ~QuietConsole()
        {
            fflush(stdout);
            dup2(saved, 1);
            close(saved);
        }
        QuietConsole(const QuietConsole&) = delete;
        QuietConsole& operator=(const QuietConsole&) = delete;

    private:
        int saved;
    };
} // namespace benchconsole
