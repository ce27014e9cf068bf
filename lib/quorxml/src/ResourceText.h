#pragma once

#include <quortypes/hstring.h>

namespace quorxml
{
    // The few resource operations the document needs, kept in one place.
    namespace resource
    {
        bool exists(const hstring& name);
        hstring normalize(const hstring& name);
        // The whole text without carriage returns.
        hstring readAll(const hstring& name);
    } // namespace resource
} // namespace quorxml
