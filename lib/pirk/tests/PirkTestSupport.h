#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <quortypes/Log.h>

#include <pirk/util.h>
#include <quortypes_testing/ScratchDir.h>

namespace pirktest
{
    typedef std::vector<std::string> Lines;

    using quortypes_testing::ScratchDir;

    using quortypes_testing::ScopedEnv;

    // The library's log lines, level prefix included, while alive.
    struct LogCapture
    {
        LogCapture()
        {
            lines.clear();
            quortypes::Log::setCallback([](const hstring& tag, const hstring& text)
                                        { tag == "pirk" ? lines.push_back(text) : void(); });
        }
        ~LogCapture() { quortypes::Log::setCallback(nullptr); }
        Lines take() { return std::exchange(lines, Lines()); }
        static inline Lines lines;
    };
} // namespace pirktest
