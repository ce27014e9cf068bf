// The fuzz targets' program in builds without libFuzzer: every file named, and every file below every
// folder named, goes once through LLVMFuzzerTestOneInput, in name order. A sanitizer's report or a crash
// ends the program, after the name of the input that caused it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <fuzz_support/Leaks.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i)
    {
        const fs::path path(argv[i]);
        if (fs::is_directory(path))
        {
            for (const fs::directory_entry& entry : fs::recursive_directory_iterator(path))
            {
                if (entry.is_regular_file())
                {
                    inputs.push_back(fs::absolute(entry.path()));
                }
            }
        }
        else if (fs::is_regular_file(path))
        {
            inputs.push_back(fs::absolute(path));
        }
        else
        {
            fprintf(stderr, "No such input: %s\n", argv[i]);
            return 2;
        }
    }
    if (inputs.empty())
    {
        fprintf(stderr, "usage: %s <file or folder>...: no input to replay\n", argv[0]);
        return 2;
    }
    std::sort(inputs.begin(), inputs.end());
    // Targets may change the working folder or silence the standard output: names are read first, and
    // progress goes to the standard error.
    if (LLVMFuzzerInitialize != nullptr)
    {
        LLVMFuzzerInitialize(&argc, &argv);
    }

    for (const fs::path& input : inputs)
    {
        std::ifstream in(input, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        fprintf(stderr, "%s (%zu bytes)\n", input.c_str(), bytes.size());
        // A buffer of exactly the input's size, as the fuzzer gives, so that a read past its end is caught.
        std::unique_ptr<uint8_t[]> data(new uint8_t[bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), data.get());
        LLVMFuzzerTestOneInput(data.get(), bytes.size());
    }
    fprintf(stderr, "%zu inputs replayed\n", inputs.size());
    // Before any static goes, as the fuzzer looks after an input.
    fuzz_support::checkLeaksNow();
    return 0;
}
