#pragma once

#include <algorithm>
#include <string>
#include <utility>

#include <quortypes/Log.h>
#include <quortypes/hstring.h>

namespace quortypes_testing
{
    // Collects the lines logged under one tag, level prefix included, while it lives. Lines is the container
    // a library's tests compare with: a harray<hstring> or a std::vector<std::string>. An empty tag collects
    // every tag's lines. It takes the log's one callback, so one lives at a time.
    template <class Lines> struct TagLogCapture
    {
        explicit TagLogCapture(const std::string& wanted)
        {
            tag = wanted;
            lines.clear();
            quortypes::Log::setCallback(
                [](const hstring& lineTag, const hstring& text)
                {
                    if (tag.empty() || lineTag == tag)
                    {
                        lines.push_back(text);
                    }
                });
        }
        ~TagLogCapture() { quortypes::Log::setCallback(nullptr); }
        TagLogCapture(const TagLogCapture&) = delete;
        TagLogCapture& operator=(const TagLogCapture&) = delete;

        Lines take() { return std::exchange(lines, Lines()); }
        // How often exactly `text` was written; the lines stay for take().
        int count(const std::string& text) const { return (int)std::count(lines.begin(), lines.end(), text); }
        bool contains(const std::string& text) const { return this->count(text) > 0; }

        static inline Lines lines;
        static inline std::string tag;
    };
} // namespace quortypes_testing
