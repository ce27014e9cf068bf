#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <quortypes_testing/LogCapture.h>

// Collects the "tesra" log lines written while it lives.
struct LogCapture : quortypes_testing::TagLogCapture<harray<hstring>>
{
    LogCapture() : TagLogCapture("tesra") {}
};
