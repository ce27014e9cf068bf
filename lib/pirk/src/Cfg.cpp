#include <quortypes/Log.h>
#include <quortypes/Resource.h>

#include <pirk/Cfg.h>
#include <pirk/util.h>

namespace pirk
{
    harray<CfgCategory> parseCfgResource(const hstring& name)
    {
        quortypes::Log::debug(logTag, "Parsing CFG resource: " + name);
        return parseCfg(quortypes::Resource::readAll(name));
    }

    harray<CfgCategory> parseCfg(const hstring& text)
    {
        harray<CfgCategory> result;
        CfgCategory current;
        for (hstring line : text.split('\n', -1, true))
        {
            if (line.endsWith("\r"))
            {
                line.pop_back();
            }
            line = line.trimmed();
            if (line == "" || line.startsWith("#"))
            {
                continue;
            }
            if (line.startsWith("["))
            {
                int close = line.find(']');
                if (close < 0)
                {
                    quortypes::Log::warn(logTag, "Malformed CFG Category in line: " + line);
                    continue;
                }
                if (close == 1)
                {
                    quortypes::Log::warn(logTag, "Empty CFG Category not allowed in line: " + line);
                    continue;
                }
                if (current.name != "")
                {
                    result.push_back(current);
                }
                current = CfgCategory();
                current.name = line.subString(1, close - 1);
                hstring before, extra;
                if (line.subString(close).split(':', before, extra))
                {
                    current.extra = extra;
                }
                continue;
            }
            hstring key, value;
            line.split(':', key, value);
            if (current.name == "")
            {
                quortypes::Log::warn(logTag, "No CFG Category defined before line: " + line);
            }
            else if (current.values.hasKey(key))
            {
                quortypes::Log::warnf(logTag, "Key '%s' in CFG Category '[%s]%s%s' defined more than once!",
                                      key.c_str(), current.name.c_str(), ":", current.extra.c_str());
            }
            else
            {
                current.values[key] = value;
            }
        }
        if (current.name != "")
        {
            result.push_back(current);
        }
        return result;
    }
} // namespace pirk
