#include <quortypes/Log.h>
#include <tesraui/Dataset.h>
#include <tesraui/tesraui.h>

#include "texts/KeyFormatter.h"

namespace tesraui
{
    namespace
    {
        const unsigned int blank = ' ';

        ustring toU(const char* text)
        {
            return hstring(text).toUnicode();
        }

        hstring toUtf8(const ustring& text)
        {
            return hstring::fromUnicode(text);
        }

        ustring trimmedBlanks(const ustring& text)
        {
            size_t start = text.find_first_not_of(blank);
            if (start == ustring::npos)
            {
                return ustring();
            }
            size_t end = text.find_last_not_of(blank);
            return text.substr(start, end - start + 1);
        }

        // Every blank-separated word is a text key; its text becomes one argument.
        void appendTexts(Dataset* dataset, const ustring& words, harray<hstring>& result)
        {
            size_t position = 0;
            while (position < words.size())
            {
                size_t end = words.find(blank, position);
                if (end == ustring::npos)
                {
                    end = words.size();
                }
                if (end > position)
                {
                    result.push_back(dataset->getText(toUtf8(words.substr(position, end - position))));
                }
                position = end + 1;
            }
        }

        // Walks the arguments by position: copying the rest after each one made a long list quadratic.
        bool processArgs(Dataset* dataset, const ustring& args, harray<hstring>& result, hstring& error)
        {
            size_t position = 0;
            while (position < args.size())
            {
                size_t open = args.find('{', position);
                size_t close = args.find('}', position);
                if (open == ustring::npos && close == ustring::npos)
                {
                    appendTexts(dataset, args.substr(position), result);
                    return true;
                }
                if (open == ustring::npos || close == ustring::npos)
                {
                    error = "'{' without '}' or '}' without '{'.";
                    return false;
                }
                if (close < open)
                {
                    error = "'}' before '{'.";
                    return false;
                }
                appendTexts(dataset, args.substr(position, open - position), result);
                result.push_back(toUtf8(args.substr(open + 1, close - open - 1)));
                position = close + 1;
            }
            return true;
        }

        // Counts the "%s" of a format that may hold nothing but "%s" and "%%".
        bool countArgs(const ustring& format, int& count, hstring& error)
        {
            count = 0;
            for (size_t i = 0; i < format.size(); ++i)
            {
                if (format[i] != '%')
                {
                    continue;
                }
                if (i + 1 >= format.size())
                {
                    error = "Last character is '%'!";
                    return false;
                }
                ++i;
                if (format[i] == 's')
                {
                    ++count;
                }
                else if (format[i] != '%')
                {
                    error = formatString("Unsupported formatting '%%%s'!",
                                         hstring::fromUnicode(format[i]).c_str());
                    return false;
                }
            }
            return true;
        }

        // Inlines each "%f" and lists the arguments in the order the final format takes them. The format
        // and the arguments are walked by index, so the cost is linear in both.
        bool preprocessFormat(const ustring& format, const harray<hstring>& args, ustring& result,
                              harray<hstring>& consumed, hstring& error)
        {
            const size_t argCount = (size_t)args.size();
            size_t next = 0;
            size_t position = 0;
            while (position < format.size())
            {
                size_t index = format.find('%', position);
                if (index == ustring::npos)
                {
                    result.append(format, position, ustring::npos);
                    break;
                }
                if (index + 1 >= format.size())
                {
                    error = "Last character is '%'!";
                    return false;
                }
                unsigned int kind = format[index + 1];
                if (kind == '%' || kind == 's')
                {
                    if (kind == 's')
                    {
                        if (next >= argCount)
                        {
                            error = "Not enough args!";
                            return false;
                        }
                        consumed.push_back(args[(int)next++]);
                    }
                    result.append(format, position, index + 2 - position);
                }
                else if (kind == 'f')
                {
                    if (next >= argCount)
                    {
                        error = "Not enough args!";
                        return false;
                    }
                    ustring nested = args[(int)next++].toUnicode();
                    int count = 0;
                    if (!countArgs(nested, count, error))
                    {
                        return false;
                    }
                    if (argCount - next < (size_t)count)
                    {
                        error = "Not enough args!";
                        return false;
                    }
                    result.append(format, position, index - position);
                    result += nested;
                    consumed.insert(consumed.end(), args.begin() + next, args.begin() + next + count);
                    next += (size_t)count;
                }
                else
                {
                    error =
                        formatString("Unsupported formatting '%%%s'!", hstring::fromUnicode(kind).c_str());
                    return false;
                }
                position = index + 2;
            }
            // Arguments the format does not ask for stay unused.
            consumed.insert(consumed.end(), args.begin() + next, args.end());
            return true;
        }

        bool applyFormat(const ustring& format, const harray<hstring>& args, hstring& result, hstring& error)
        {
            int count = 0;
            if (!countArgs(format, count, error))
            {
                return false;
            }
            if (args.size() < count)
            {
                error = "Not enough args!";
                return false;
            }
            ustring text;
            int next = 0;
            for (size_t i = 0; i < format.size(); ++i)
            {
                if (format[i] == '%' && format[i + 1] == 's')
                {
                    text += args[next++].toUnicode();
                    ++i;
                }
                else if (format[i] == '%')
                {
                    text += toU("%%");
                    ++i;
                }
                else
                {
                    text += format[i];
                }
            }
            // Inserted arguments count too: a "%%" in one of them comes out as "%".
            result = toUtf8(text).replaced("%%", "%");
            return true;
        }

        hstring failed(const hstring& key, const hstring& error, const char* step, const ustring& format,
                       const ustring& args)
        {
            quortypes::Log::error(logTag, error);
            quortypes::Log::writef(logTag, "- while %s: '%s' with args '%s'.", step, toUtf8(format).c_str(),
                                   toUtf8(args).c_str());
            return key;
        }
    } // namespace

    hstring formatTextKey(Dataset* dataset, const hstring& key)
    {
        ustring ukey = key.toUnicode();
        if (ukey.size() > 0 && ukey[0] == '{')
        {
            size_t close = ukey.find('}');
            if (close == ustring::npos)
            {
                quortypes::Log::errorf(logTag, "Could not parse formatted key '%s'.", key.c_str());
                return key;
            }
            ustring format = ukey.substr(1, close - 1);
            ustring argsText = trimmedBlanks(ukey.substr(close + 1));
            harray<hstring> args;
            hstring error;
            if (!processArgs(dataset, argsText, args, error))
            {
                return failed(key, error, "processing args", format, argsText);
            }
            ustring finalFormat;
            harray<hstring> consumed;
            if (!preprocessFormat(format, args, finalFormat, consumed, error))
            {
                return failed(key, error, "preprocessing format", format, argsText);
            }
            hstring result;
            if (!applyFormat(finalFormat, consumed, result, error))
            {
                return failed(key, error, "processing format", format, argsText);
            }
            return result;
        }
        if (key.contains('{') || key.contains('}'))
        {
            quortypes::Log::errorf(logTag, "Malformed formatted text key '%s'!", key.c_str());
            return key;
        }
        if (!dataset->hasText(key))
        {
            quortypes::Log::warnf(logTag, "Text key '%s' does not exist!", key.c_str());
        }
        return dataset->getText(key);
    }
} // namespace tesraui
