// A second program instance, or a program that ends through a fatal message box, for the tests.
#include <cstring>
#include <iostream>

#include <unistd.h>

#include <quortypes/Log.h>
#include <tesra/tesra.h>

int main(int argc, char** argv)
{
    if (argc == 4 && strcmp(argv[1], "instance") == 0)
    {
        if (!tesra::checkSingleInstance(argv[2], "Game"))
        {
            return 3;
        }
        std::cout << "running" << std::endl;
        // Holds the instance while the test keeps the file.
        while (access(argv[3], F_OK) == 0)
        {
            usleep(10000);
        }
        tesra::releaseSingleInstance();
        return 0;
    }
    if (argc == 3 && strcmp(argv[1], "fatal") == 0)
    {
        quortypes::Log::setFilename(argv[2], true);
        quortypes::Log::write("test", "before the failure");
        tesra::showMessageBox("VUMO ERROR!", "something failed", tesra::MESSAGE_BUTTON_OK,
                              tesra::MESSAGE_STYLE_CRITICAL | tesra::MESSAGE_STYLE_TERMINATE_ON_DISPLAY);
        quortypes::Log::write("test", "after the box");
        return 0;
    }
    std::cerr << "usage: " << argv[0] << " instance NAME HOLDFILE | fatal LOGFILE" << std::endl;
    return 2;
}
