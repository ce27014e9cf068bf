#include <tesra/tesra.h>

#include "Game.h"

int main(int argc, char** argv)
{
    if (!tesra::checkSingleInstance("VUMO", argc > 0 ? hstring(argv[0]) : hstring()))
    {
        return 0;
    }
    const int result = tesra::main(gameInit, gameDestroy, argc, argv);
    tesra::releaseSingleInstance();
    return result;
}
