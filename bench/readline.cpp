// Line reading over a 10 MB text file: quortypes::File::readLine beside std::getline.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

#include <quortypes/File.h>

namespace
{
    const size_t fileSize = 10 * 1024 * 1024;

    // Lines of 10 to 130 bytes, some ending in "\r\n", written once per run.
    class TextFile
    {
    public:
        TextFile()
        {
            char pattern[] = "/tmp/vumo-bench-readline-XXXXXX";
            int fd = mkstemp(pattern);
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

    void readLineQuortypes(benchmark::State& state)
    {
        const std::string& path = textFile().path;
        size_t lines = 0;
        for (auto _ : state)
        {
            quortypes::File file(path);
            while (!file.eof())
            {
                hstring line = file.readLine();
                benchmark::DoNotOptimize(line);
                ++lines;
            }
        }
        state.SetBytesProcessed((int64_t)state.iterations() * fileSize);
        state.counters["lines"] = benchmark::Counter((double)lines, benchmark::Counter::kAvgIterations);
    }

    void getlineStd(benchmark::State& state)
    {
        const std::string& path = textFile().path;
        size_t lines = 0;
        for (auto _ : state)
        {
            std::ifstream file(path, std::ios::binary);
            std::string line;
            while (std::getline(file, line))
            {
                benchmark::DoNotOptimize(line);
                ++lines;
            }
        }
        state.SetBytesProcessed((int64_t)state.iterations() * fileSize);
        state.counters["lines"] = benchmark::Counter((double)lines, benchmark::Counter::kAvgIterations);
    }
} // namespace

BENCHMARK(readLineQuortypes)->Unit(benchmark::kMillisecond);
BENCHMARK(getlineStd)->Unit(benchmark::kMillisecond);
