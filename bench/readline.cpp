// Line reading over a 10 MB text file: quortypes::File::readLine beside std::getline, once into one reused
// string and once into a fresh string per line; times per line.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

#include <quortypes/File.h>
#include <quortypes_testing/TempFolder.h>

#include "Compare.h"

namespace
{
    const size_t fileSize = 10 * 1024 * 1024;

    // Lines of 10 to 130 bytes, some ending in "\r\n", written once per run.
    class TextFile
    {
    public:
        TextFile()
        {
            std::string pattern = quortypes_testing::tempPath("vumo-bench-readline-XXXXXX");
            int fd = mkstemp(pattern.data());
            if (fd < 0)
            {
                throw std::runtime_error("Cannot make the file " + pattern + ": " + std::strerror(errno));
            }
            this->path = pattern;
            std::string text;
            text.reserve(fileSize + 256);
            unsigned int seed = 12345;
            while (text.size() < fileSize)
            {
                seed = seed * 1103515245u + 12345u;
                size_t length = 10 + (seed >> 16) % 121;
                for (size_t i = 0; i < length; ++i)
                {
                    text.push_back((char)('a' + (i + seed) % 26));
                }
                text += (seed & 0x100) ? "\r\n" : "\n";
            }
            if (write(fd, text.data(), text.size()) != (ssize_t)text.size())
            {
                abort();
            }
            close(fd);
        }
        ~TextFile() { unlink(this->path.c_str()); }

        std::string path;
    };

    const TextFile& textFile()
    {
        static TextFile file;
        return file;
    }

    size_t readAllLines()
    {
        quortypes::File file(textFile().path);
        size_t lines = 0;
        while (!file.eof())
        {
            hstring line = file.readLine();
            benchmark::DoNotOptimize(line);
            ++lines;
        }
        return lines;
    }

    size_t getlineAll()
    {
        std::ifstream file(textFile().path, std::ios::binary);
        std::string line;
        size_t lines = 0;
        while (std::getline(file, line))
        {
            benchmark::DoNotOptimize(line);
            ++lines;
        }
        return lines;
    }

    // A fresh string for every line, as any function that hands each line back by value needs.
    size_t getlineFreshStrings()
    {
        std::ifstream file(textFile().path, std::ios::binary);
        size_t lines = 0;
        while (true)
        {
            std::string line;
            if (!std::getline(file, line))
            {
                break;
            }
            benchmark::DoNotOptimize(line);
            ++lines;
        }
        return lines;
    }

    // Ratio below 1.5 is the goal.
    void readLineBesideGetline(benchmark::State& state)
    {
        benchcompare::compare(state, {[] { benchmark::DoNotOptimize(readAllLines()); }},
                              {[] { benchmark::DoNotOptimize(getlineAll()); }}, (double)getlineAll());
    }

    void readLineBesideGetlineFreshStrings(benchmark::State& state)
    {
        benchcompare::compare(state, {[] { benchmark::DoNotOptimize(readAllLines()); }},
                              {[] { benchmark::DoNotOptimize(getlineFreshStrings()); }},
                              (double)getlineAll());
    }
} // namespace

BENCHMARK(readLineBesideGetline)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(readLineBesideGetlineFreshStrings)->Iterations(1)->Unit(benchmark::kMillisecond);
