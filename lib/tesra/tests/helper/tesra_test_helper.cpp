// A separate process for the tests that need one: a second program instance, or a
// program that ends through a fatal message box.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include <quortypes/Log.h>
#include <tesra/tesra.h>

int main(int argc, char** argv)
{
    if (argc == 3 && strcmp(argv[1], "instance") == 0)
    {
        if (!tesra::checkSingleInstance(argv[2], "Game"))
        {
            return 3;
        }
        std::cout << "running" << std::endl;
        // Holds the instance until the test closes our input.
        std::string line;
        while (std::getline(std::cin, line))
        {
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
    fprintf(stderr, "usage: %s instance NAME | fatal LOGFILE\n", argv[0]);
    return 2;
}
