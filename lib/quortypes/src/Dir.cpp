#include <quortypes/Dir.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"

namespace quortypes
{
    namespace
    {
        harray<hstring> splitAtSlash(const std::string& text)
        {
            harray<hstring> parts;
            size_t start = 0;
            while (true)
            {
                size_t end = text.find('/', start);
                if (end == std::string::npos)
                {
                    parts.push_back(text.substr(start));
                    return parts;
                }
                parts.push_back(text.substr(start, end - start));
                start = end + 1;
            }
        }

        hstring joinAll(const harray<hstring>& parts, int count)
        {
            hstring result = count > 0 ? parts[0] : hstring();
            for (int i = 1; i < count; ++i)
            {
                result = Dir::joinPath(result, parts[i]);
            }
            return result;
        }

        // A folder with everything below it; a folder goes once it is empty, its folders before it. A loop,
        // not a recursion: a tree on disk may nest as deep as a path may reach.
        bool removeTree(const std::string& root)
        {
            // Each folder with whether its entries have been taken out yet.
            std::vector<std::pair<std::string, bool>> pending = {{root, false}};
            bool removed = false;
            while (!pending.empty())
            {
                if (pending.back().second)
                {
                    removed = platform::removeEmptyDirectory(pending.back().first);
                    pending.pop_back();
                    continue;
                }
                pending.back().second = true;
                const std::string path = pending.back().first;
                std::vector<std::string> names;
                platform::listDirectory(path, names);
                for (const std::string& name : names)
                {
                    std::string child = Dir::joinPath(path, name);
                    // lstat: a link to a directory is removed as a link, its target stays untouched.
                    if (platform::entryKind(child, false) == platform::EntryKind::Directory)
                    {
                        pending.push_back({child, false});
                    }
                    else
                    {
                        platform::removeFile(child);
                    }
                }
            }
            return removed;
        }
    } // namespace

    hstring Dir::unifySeparators(const hstring& path)
    {
        std::string result;
        result.reserve(path.size());
        for (char c : static_cast<const std::string&>(path))
        {
            if (c == '\\')
            {
                c = '/';
            }
            if (c == '/' && !result.empty() && result.back() == '/')
            {
                continue;
            }
            result.push_back(c);
        }
        return result;
    }

    hstring Dir::joinPath(const hstring& a, const hstring& b, bool unify)
    {
        const std::string& left = a;
        const std::string& right = b;
        bool leftEnds = !left.empty() && left.back() == '/';
        bool rightStarts = !right.empty() && right.front() == '/';
        std::string result;
        if (!leftEnds && !rightStarts)
        {
            result = left + "/" + right;
        }
        else if (leftEnds && rightStarts)
        {
            result = left.substr(0, left.size() - 1) + right;
        }
        else
        {
            result = left + right;
        }
        return unify ? unifySeparators(result) : hstring(result);
    }

    harray<hstring> Dir::splitPath(const hstring& path)
    {
        std::string text = unifySeparators(path);
        while (!text.empty() && text.back() == '/')
        {
            text.pop_back();
        }
        return splitAtSlash(text);
    }

    hstring Dir::baseName(const hstring& path)
    {
        harray<hstring> parts = splitPath(path);
        return parts.empty() ? hstring() : parts.back();
    }

    hstring Dir::baseDir(const hstring& path)
    {
        harray<hstring> parts = splitPath(path);
        if (parts.size() < 2)
        {
            return ".";
        }
        return joinAll(parts, parts.size() - 1);
    }

    // True when normalizing the path from `from` on would give it back as it is: no backslash, no doubled
    // or trailing slash and no "." or ".." part. Most paths are so already, and every file lookup
    // normalizes its path: the split and join below allocate for every part.
    static bool alreadyNormal(const std::string& path, size_t from)
    {
        if (from >= path.size() || path.back() == '/' || path.find('\\', from) != std::string::npos)
        {
            return false;
        }
        size_t start = from;
        while (start <= path.size())
        {
            size_t end = path.find('/', start);
            if (end == std::string::npos)
            {
                end = path.size();
            }
            const size_t length = end - start;
            if ((length == 0 && start != from) || (length == 1 && path[start] == '.') ||
                (length == 2 && path[start] == '.' && path[start + 1] == '.'))
            {
                return false;
            }
            start = end + 1;
        }
        return true;
    }

    hstring Dir::normalize(const hstring& path)
    {
        const std::string& text = path;
        if (alreadyNormal(text, 0))
        {
            return path;
        }
        // A path below the current folder ("./a/b", as a resource path joined to a cwd of "." is) is the
        // rest of it.
        size_t from = 0;
        while (text.compare(from, 2, "./") == 0)
        {
            from += 2;
        }
        if (from > 0 && from < text.size() && text[from] != '/' && alreadyNormal(text, from))
        {
            return hstring(text.substr(from));
        }
        harray<hstring> kept;
        for (const hstring& part : splitPath(path))
        {
            if (part == ".")
            {
                continue;
            }
            if (part == ".." && !kept.empty() && kept.back() != "..")
            {
                // The leading empty part is the root, whose parent is the root itself.
                bool atRoot = kept.size() == 1 && kept[0] == "";
                if (!atRoot)
                {
                    kept.pop_back();
                }
                continue;
            }
            kept.push_back(part);
        }
        if (kept.empty())
        {
            return ".";
        }
        return joinAll(kept, kept.size());
    }

    bool Dir::exists(const hstring& path, bool caseSensitive)
    {
        hstring name = normalize(path);
        if (platform::isDirectory(name))
        {
            return true;
        }
        if (caseSensitive)
        {
            return false;
        }
        hstring lowered = baseName(name).lowered();
        for (const hstring& entry : directories(baseDir(name)))
        {
            if (entry.lowered() == lowered)
            {
                return true;
            }
        }
        return false;
    }

    harray<hstring> Dir::entries(const hstring& path, bool prependDir)
    {
        hstring name = normalize(path);
        std::vector<std::string> names;
        platform::listDirectory(name, names);
        harray<hstring> result;
        for (const std::string& entry : names)
        {
            result.push_back(prependDir ? joinPath(name, entry) : hstring(entry));
        }
        return result;
    }

    // The regular files and the directories of path, links followed; either may be left out.
    static void entriesByKind(const hstring& path, bool prependDir, harray<hstring>* files,
                              harray<hstring>* directories)
    {
        hstring name = Dir::normalize(path);
        std::vector<std::string> names;
        std::vector<platform::EntryKind> kinds;
        platform::listDirectory(name, names, &kinds);
        for (size_t i = 0; i < names.size(); ++i)
        {
            harray<hstring>* out = (kinds[i] == platform::EntryKind::File        ? files
                                    : kinds[i] == platform::EntryKind::Directory ? directories
                                                                                 : nullptr);
            if (out != nullptr)
            {
                out->push_back(prependDir ? Dir::joinPath(name, names[i]) : hstring(names[i]));
            }
        }
    }

    harray<hstring> Dir::directories(const hstring& path, bool prependDir)
    {
        harray<hstring> result;
        entriesByKind(path, prependDir, nullptr, &result);
        return result;
    }

    harray<hstring> Dir::files(const hstring& path, bool prependDir)
    {
        harray<hstring> result;
        entriesByKind(path, prependDir, &result, nullptr);
        return result;
    }

    void Dir::filesAndDirectories(const hstring& path, harray<hstring>& files, harray<hstring>& directories,
                                  bool prependDir)
    {
        files.clear();
        directories.clear();
        entriesByKind(path, prependDir, &files, &directories);
    }

    bool Dir::create(const hstring& path)
    {
        hstring name = normalize(path);
        if (name == "" || exists(name))
        {
            return false;
        }
        // Each level is created in turn; one that is already there is left as it is.
        harray<hstring> parts = splitAtSlash(name);
        hstring current = parts[0];
        platform::makeDirectory(current);
        for (int i = 1; i < parts.size(); ++i)
        {
            current = joinPath(current, parts[i]);
            platform::makeDirectory(current);
        }
        return exists(name);
    }

    bool Dir::remove(const hstring& path)
    {
        hstring name = normalize(path);
        if (name == "")
        {
            return false;
        }
        switch (platform::entryKind(name, false))
        {
        case platform::EntryKind::Directory:
            return removeTree(name);
        case platform::EntryKind::Link:
            // Removing a link to a directory takes the link away, never what it points at.
            return platform::isDirectory(name) && platform::removeFile(name);
        default:
            return false;
        }
    }
} // namespace quortypes
