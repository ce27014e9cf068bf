// Localised texts: reading a texts folder and resolving plain and formatted keys through a dataset,
// beside the same work done with the standard library (std::ifstream, std::map, std::snprintf).

#include <stdio.h>
#include <stdlib.h>

#include <fstream>
#include <map>
#include <string>

#include <benchmark/benchmark.h>

#include <quortypes/Dir.h>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <tesraui/Dataset.h>
#include <quortypes_testing/TempFolder.h>

namespace
{
    const int KEYS = 2000;

    // A folder of texts files that lives as long as the program.
    struct TextsFolder
    {
        hstring path;

        TextsFolder()
        {
            this->path = quortypes_testing::makeTempFolder("bench_uitexts_");
            quortypes::Dir::create(this->path + "/texts");
            for (int file = 0; file < 4; ++file)
            {
                FILE* out = fopen(formatString("%s/texts/%d.txt", this->path.c_str(), file).c_str(), "wb");
                for (int i = file; i < KEYS; i += 4)
                {
                    fprintf(out, "# entry %d\nkey_%d\n{\nThe text of entry %d\nwith a second line\n}\n\n", i,
                            i, i);
                }
                fprintf(out, "fmt_two\n{\n%%s and %%s\n}\n");
                fclose(out);
            }
            quortypes::Resource::setCwd(this->path);
        }

        ~TextsFolder() { quortypes::Dir::remove(this->path); }
    };

    TextsFolder& folder()
    {
        static TextsFolder instance;
        return instance;
    }

    // The grammar's core with plain streams: key lines, blocks between "{" and "}".
    std::map<std::string, std::string> readWithStreams()
    {
        std::map<std::string, std::string> texts;
        for (int file = 0; file < 4; ++file)
        {
            std::ifstream in(std::string(folder().path) + "/texts/" + std::to_string(file) + ".txt");
            std::string line, key, block;
            bool inBlock = false;
            while (std::getline(in, line))
            {
                if (inBlock)
                {
                    if (line == "}")
                    {
                        inBlock = false;
                        texts[key] = block;
                    }
                    else
                    {
                        block += block.empty() ? line : "\n" + line;
                    }
                }
                else if (line == "{")
                {
                    inBlock = true;
                    block.clear();
                }
                else
                {
                    key = line.substr(0, line.find('#'));
                }
            }
        }
        return texts;
    }

    void loadTexts(benchmark::State& state)
    {
        folder();
        for (auto _ : state)
        {
            tesraui::Dataset dataset("", "bench");
            dataset.loadTexts("texts");
            benchmark::DoNotOptimize(dataset.getTexts().size());
        }
    }
    BENCHMARK(loadTexts)->Unit(benchmark::kMillisecond);

    void loadTextsReference(benchmark::State& state)
    {
        folder();
        for (auto _ : state)
        {
            benchmark::DoNotOptimize(readWithStreams().size());
        }
    }
    BENCHMARK(loadTextsReference)->Unit(benchmark::kMillisecond);

    void formattedKey(benchmark::State& state)
    {
        folder();
        tesraui::Dataset dataset("", "bench");
        dataset.loadTexts("texts");
        for (auto _ : state)
        {
            benchmark::DoNotOptimize(dataset.getTextFormatted("{%f (%s)}fmt_two key_7 key_1234 {42%%}"));
        }
    }
    BENCHMARK(formattedKey);

    void formattedKeyReference(benchmark::State& state)
    {
        std::map<std::string, std::string> texts = readWithStreams();
        char buffer[256];
        for (auto _ : state)
        {
            const std::string& format = texts.find("fmt_two")->second;
            std::string full = format + " (%s)";
            snprintf(buffer, sizeof(buffer), full.c_str(), texts.find("key_7")->second.c_str(),
                     texts.find("key_1234")->second.c_str(), "42%");
            benchmark::DoNotOptimize(buffer);
        }
    }
    BENCHMARK(formattedKeyReference);

    void plainKey(benchmark::State& state)
    {
        folder();
        tesraui::Dataset dataset("", "bench");
        dataset.loadTexts("texts");
        for (auto _ : state)
        {
            benchmark::DoNotOptimize(dataset.getText("key_1234"));
        }
    }
    BENCHMARK(plainKey);

    void plainKeyReference(benchmark::State& state)
    {
        std::map<std::string, std::string> texts = readWithStreams();
        for (auto _ : state)
        {
            benchmark::DoNotOptimize(std::string(texts.find("key_1234")->second));
        }
    }
    BENCHMARK(plainKeyReference);
} // namespace
