#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <pirk/util.h>
#include <quortypes_testing/LogCapture.h>
#include <quortypes_testing/ScratchDir.h>

namespace pirktest
{
    typedef std::vector<std::string> Lines;

    using quortypes_testing::ScratchDir;

    using quortypes_testing::ScopedEnv;

    // The library's log lines, level prefix included, while alive.
    struct LogCapture : quortypes_testing::TagLogCapture<Lines>
    {
        LogCapture() : TagLogCapture("pirk") {}
    };
} // namespace pirktest
