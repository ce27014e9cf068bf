#include <exception>

#include <quortypes/exception.h>
#include <quortypes/hstring.h>
#include <quortypes/Dir.h>
#include <quortypes/ResourceDir.h>

namespace quortypes
{
    // Looks for the same path with different letter case, to tell the user why a
    // file that seems to be there was not found. Returns the text to append to the
    // message ("" when there is no hint or the directories cannot be listed).
    static hstring differentCaseHint(const hstring& filename, bool isResource)
    {
        // An empty directory part stands for the current (or resource working) directory in listings,
        // and stays empty in the text.
        auto listed = [isResource](const hstring& dir) -> hstring
        { return (isResource || dir != "") ? dir : hstring("."); };
        auto files = [&](const hstring& dir)
        { return isResource ? ResourceDir::files(dir) : Dir::files(listed(dir)); };
        auto entries = [&](const hstring& dir)
        { return isResource ? ResourceDir::contents(dir) : Dir::entries(listed(dir)); };
        auto exists = [&](const hstring& dir, bool caseSensitive)
        { return isResource ? ResourceDir::exists(dir, caseSensitive) : Dir::exists(dir, caseSensitive); };
        auto join = [](const harray<hstring>& parts, int count)
        {
            hstring result = count > 0 ? parts[0] : hstring();
            for (int i = 1; i < count; ++i)
            {
                result = Dir::joinPath(result, parts[i]);
            }
            return result;
        };
        try
        {
            harray<hstring> segments = Dir::splitPath(filename);
            hstring wanted = segments.back().lowered();
            segments.pop_back();
            hstring directory = join(segments, segments.size());
            for (const hstring& entry : files(directory))
            {
                if (entry.lowered() == wanted)
                {
                    return " But there is file with a different case: " + Dir::joinPath(directory, entry);
                }
            }
            // The longest leading part of the directory that is only there with other letter case.
            for (int count = segments.size(); count > 0; --count)
            {
                hstring path = join(segments, count);
                if (exists(path, true) || !exists(path, false))
                {
                    continue;
                }
                hstring parent = join(segments, count - 1);
                hstring last = segments[count - 1].lowered();
                for (const hstring& entry : entries(parent))
                {
                    if (entry.lowered() == last)
                    {
                        return " But part of the path seems to have a different case: " +
                               Dir::joinPath(parent, entry);
                    }
                }
                return "";
            }
        }
        catch (const std::exception&)
        {
        }
        catch (const quortypes::exception&)
        {
        }
        return "";
    }

    _file_not_found::_file_not_found(const hstring& filename, bool isResource, const char* sourceFile,
                                     int lineNumber)
        : exception("", sourceFile, lineNumber)
    {
        hstring text = formatString("'%s' not found!", filename.c_str());
        text += differentCaseHint(filename, isResource);
        this->_setInternalMessage(text, sourceFile, lineNumber);
    }

    _file_not_readable::_file_not_readable(const hstring& filename, const hstring& reason,
                                           const char* sourceFile, int lineNumber)
        : exception("Unable to read file '" + filename + "': " + reason, sourceFile, lineNumber)
    {
    }
} // namespace quortypes
