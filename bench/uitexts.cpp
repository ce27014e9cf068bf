// Localised texts: reading a texts folder and resolving plain and formatted keys through a dataset,
// beside the same work done with the standard library (std::ifstream, std::map, std::snprintf). A
// formatted key of many arguments runs beside a plain walk that composes the same text: the time per
// argument of both should stay flat from 16,000 to 64,000 arguments.

#include <stdio.h>
#include <stdlib.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "Compare.h"

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

    // A format of n "%s" over n literal arguments, and the text it composes.
    struct LongKey
    {
        std::string key;
        std::vector<std::string> args;
        std::string format;
    };

    LongKey longKey(int n)
    {
        LongKey result;
        std::string list;
        for (int i = 0; i < n; ++i)
        {
            result.format += "%s,";
            result.args.push_back(std::to_string(i));
            list += " {" + result.args.back() + "}";
        }
        result.key = "{" + result.format + "}" + list;
        return result;
    }

    // The same composition by index with the standard library.
    std::string composeByIndex(const std::string& format, const std::vector<std::string>& args)
    {
        std::string text;
        size_t next = 0;
        for (size_t i = 0; i < format.size(); ++i)
        {
            if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's')
            {
                text += args[next++];
                ++i;
            }
            else
            {
                text += format[i];
            }
        }
        return text;
    }

    void formattedKeyManyArguments(benchmark::State& state)
    {
        folder();
        const int n = (int)state.range(0);
        tesraui::Dataset dataset("", "bench");
        const LongKey key = longKey(n);
        const hstring hkey = key.key.c_str();
        benchcompare::Side ours;
        ours.body = [&] { benchmark::DoNotOptimize(dataset.getTextFormatted(hkey)); };
        benchcompare::Side reference;
        reference.body = [&] { benchmark::DoNotOptimize(composeByIndex(key.format, key.args)); };
        benchcompare::compare(state, ours, reference, n, 3, 0.1);
    }
    BENCHMARK(formattedKeyManyArguments)->Arg(16000)->Arg(32000)->Arg(64000)->Iterations(1);

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
