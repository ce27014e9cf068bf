// Writes the seed files of the ".amp" fuzz corpus into the folder given: maps made by the tests' region
// helper, small enough for the fuzzer to work on.
#include <cstdio>
#include <fstream>
#include <string>

#include "../tests/AmpFiles.h"

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    using ampfiles::Region;
    const std::string folder = argv[1];
    const struct
    {
        const char* name;
        std::string bytes;
    } files[] = {
        {"empty", ampfiles::file(8, 8, {})},
        {"one", ampfiles::file(8, 8, {{0xFF0000, 1, 1, 3, 4, 2, 2, nullptr}})},
        {"overlap", ampfiles::file(16, 8,
                                   {{0xFF0000, 1, 1, 3, 4, 2, 3, [](int x, int y) { return x != y; }},
                                    {0x00FF00, 2, 2, 6, 5, 4, 4, nullptr},
                                    {0x000000, 10, 0, 12, 2, 11, 1, nullptr}})},
        {"negative", ampfiles::file(4, 4, {{0x123456, -3, -2, 1, 1, -1, 0, nullptr}})},
    };
    for (const auto& file : files)
    {
        std::ofstream(folder + "/" + file.name, std::ios::binary) << file.bytes;
    }
    return 0;
}
