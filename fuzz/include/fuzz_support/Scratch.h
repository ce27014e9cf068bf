#pragma once

// Files that fuzz targets hand to readers that take file names: a folder of the process's own under the
// temporary folder, removed at a normal exit.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <quortypes_testing/TempFolder.h>

namespace fuzz_support
{
    // The folder's path, made at the first call.
    inline const std::string& scratchFolder()
    {
        // Never destroyed: the removal at exit runs after the destructors of statics made later.
        static const std::string* folder = []
        {
            const std::string* made = nullptr;
            try
            {
                made = new std::string(quortypes_testing::makeTempFolder("vumo-fuzz-"));
            }
            catch (const std::exception& e)
            {
                // The targets ask for it as they start: the run ends with the reason, and no input is blamed.
                std::fprintf(stderr, "%s\n", e.what());
                std::exit(2);
            }
            std::atexit(
                []
                {
                    std::error_code error;
                    std::filesystem::remove_all(*folder, error);
                });
            return made;
        }();
        return *folder;
    }

    // Writes the bytes to a file below the scratch folder, making its folders. A name that an input gives
    // twice, as a file and as a folder, keeps the first.
    inline void writeFile(const std::string& relative, const std::string& bytes)
    {
        const std::filesystem::path path = std::filesystem::path(scratchFolder()) / relative;
        std::error_code error;
        std::filesystem::create_directories(path.parent_path(), error);
        if (error)
        {
            return;
        }
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(bytes.data(), (std::streamsize)bytes.size());
    }

    // Empties the scratch folder but for the names kept (first-level entries).
    inline void clearScratch(const std::vector<std::string>& kept = {})
    {
        for (const std::filesystem::directory_entry& entry :
             std::filesystem::directory_iterator(scratchFolder()))
        {
            bool keep = false;
            for (const std::string& name : kept)
            {
                keep = keep || entry.path().filename() == name;
            }
            if (!keep)
            {
                std::error_code error;
                std::filesystem::remove_all(entry.path(), error);
            }
        }
    }

    // One input that stands for several files: the text up to the first line "=== NAME" is the file
    // first, each such line starts the file NAME. A name is kept only when it stays below the folder it is
    // written in (letters, digits, '_', '-', '.', '/' and no "..", at most 64 characters); the lines of
    // another name belong to the file before it.
    inline std::vector<std::pair<std::string, std::string>> splitFiles(const std::string& bytes,
                                                                       const std::string& first)
    {
        std::vector<std::pair<std::string, std::string>> files = {{first, ""}};
        size_t at = 0;
        while (at < bytes.size())
        {
            size_t end = bytes.find('\n', at);
            end = (end == std::string::npos ? bytes.size() : end + 1);
            const std::string line = bytes.substr(at, end - at);
            at = end;
            if (line.compare(0, 4, "=== ") == 0)
            {
                std::string name = line.substr(4);
                while (!name.empty() && (name.back() == '\n' || name.back() == '\r'))
                {
                    name.pop_back();
                }
                bool safe = !name.empty() && name.size() <= 64 && name[0] != '/' &&
                            name.find("..") == std::string::npos;
                for (char c : name)
                {
                    safe = safe && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                    (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.' || c == '/');
                }
                if (safe)
                {
                    files.emplace_back(name, "");
                    continue;
                }
            }
            files.back().second += line;
        }
        return files;
    }
} // namespace fuzz_support
