#pragma once

#include <quortypes/hstring.h>

namespace tesraui
{
    class Dataset;

    // Resolves a plain key or a formatted key "{format}args" against the dataset's texts. A key that cannot
    // be resolved is logged and comes back unchanged; only a dotted key naming no dataset throws.
    hstring formatTextKey(Dataset* dataset, const hstring& key);
} // namespace tesraui
