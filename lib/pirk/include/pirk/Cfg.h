#pragma once

#include <quortypes/harray.h>
#include <quortypes/hdict.h>
#include <quortypes/hstring.h>

namespace pirk
{
    // One section of a sectioned CFG text: "[name]:extra" followed by "key:value" lines.
    struct CfgCategory
    {
        hstring name;
        hstring extra;
        hdict<hstring> values;
    };

    // Never throws for malformed text: each bad line gives one warning and is dropped.
    harray<CfgCategory> parseCfg(const hstring& text);
    harray<CfgCategory> parseCfgResource(const hstring& name);
} // namespace pirk
