#pragma once

// The leak check at exit, moved before the destructors of the statics that exist when it is asked for: the
// libraries keep what they cache in containers at namespace scope, and once those are destroyed all that
// they held would read as leaked. Targets that keep a library started ask for it at their start.
#include <cstdlib>

// LeakSanitizer's, present in a build with AddressSanitizer.
extern "C" __attribute__((weak)) void __lsan_do_leak_check();

namespace fuzz_support
{
    // Reports the leaks and ends the program when there are any; the check at exit is then skipped.
    inline void checkLeaksNow()
    {
        if (__lsan_do_leak_check != nullptr)
        {
            __lsan_do_leak_check();
        }
    }

    inline void checkLeaksBeforeStatics()
    {
        std::atexit(&checkLeaksNow);
    }
} // namespace fuzz_support
