// hstring formatting, splitting and UTF-8 decoding, each beside the same work
// done with the standard library.

#include <benchmark/benchmark.h>

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

#include <codecvt>
#include <cstdio>
#include <locale>
#include <string>
#include <vector>

static void formatHstring(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state)
    {
        hstring text = formatString("[%s:%d] %s %f", "hsbase", ++i, "file not found", 1.5);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(formatHstring);

static void formatSnprintf(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state)
    {
        char buffer[256];
        int size = snprintf(buffer, sizeof(buffer), "[%s:%d] %s %f", "hsbase", ++i, "file not found", 1.5);
        std::string text(buffer, size);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(formatSnprintf);

static void formatHstringLong(benchmark::State& state)
{
    std::string payload(2000, 'x');
    for (auto _ : state)
    {
        hstring text = formatString("<%s>", payload.c_str());
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(formatHstringLong);

static void formatSnprintfLong(benchmark::State& state)
{
    std::string payload(2000, 'x');
    for (auto _ : state)
    {
        int size = snprintf(nullptr, 0, "<%s>", payload.c_str());
        std::string text(size, '\0');
        snprintf(&text[0], size + 1, "<%s>", payload.c_str());
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(formatSnprintfLong);

static std::string csvLine()
{
    std::string line;
    for (int i = 0; i < 100; ++i)
    {
        line += (i > 0 ? "," : "") + std::to_string(i * 37);
    }
    return line;
}

static void splitHstring(benchmark::State& state)
{
    hstring line = csvLine();
    for (auto _ : state)
    {
        harray<hstring> pieces = line.split(",");
        benchmark::DoNotOptimize(pieces);
    }
}
BENCHMARK(splitHstring);

static void splitStdFind(benchmark::State& state)
{
    std::string line = csvLine();
    for (auto _ : state)
    {
        std::vector<std::string> pieces;
        size_t position = 0, found;
        while ((found = line.find(',', position)) != std::string::npos)
        {
            pieces.push_back(line.substr(position, found - position));
            position = found + 1;
        }
        pieces.push_back(line.substr(position));
        benchmark::DoNotOptimize(pieces);
    }
}
BENCHMARK(splitStdFind);

static void rsplitHstring(benchmark::State& state)
{
    hstring line = csvLine();
    for (auto _ : state)
    {
        harray<hstring> pieces = line.rsplit(",", 1);
        benchmark::DoNotOptimize(pieces);
    }
}
BENCHMARK(rsplitHstring);

static void rsplitStdRfind(benchmark::State& state)
{
    std::string line = csvLine();
    for (auto _ : state)
    {
        std::vector<std::string> pieces;
        size_t found = line.rfind(',');
        pieces.push_back(line.substr(0, found));
        pieces.push_back(line.substr(found + 1));
        benchmark::DoNotOptimize(pieces);
    }
}
BENCHMARK(rsplitStdRfind);

// Mixed text: ASCII, two-, three- and four-byte sequences.
static std::string mixedText()
{
    std::string text;
    for (int i = 0; i < 200; ++i)
    {
        text += "Hello, w\xC3\xB6rld \xE2\x82\xAC \xF0\x9F\x98\x80 ";
    }
    return text;
}

static void decodeHstring(benchmark::State& state)
{
    hstring text = mixedText();
    for (auto _ : state)
    {
        ustring decoded = text.toUnicode();
        benchmark::DoNotOptimize(decoded);
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(decodeHstring);

static void decodeWstringConvert(benchmark::State& state)
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    std::string text = mixedText();
    std::wstring_convert<std::codecvt_utf8<char32_t>, char32_t> converter;
    for (auto _ : state)
    {
        std::u32string decoded = converter.from_bytes(text);
        benchmark::DoNotOptimize(decoded);
    }
#pragma GCC diagnostic pop
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(decodeWstringConvert);

// The plain loop a program would write without a helper (no bounds checks).
static void decodePlainLoop(benchmark::State& state)
{
    std::string text = mixedText();
    for (auto _ : state)
    {
        std::u32string decoded;
        decoded.reserve(text.size());
        const unsigned char* p = (const unsigned char*)text.data();
        const unsigned char* end = p + text.size();
        while (p < end)
        {
            unsigned int b = *p;
            if (b < 0x80)
            {
                decoded.push_back(b);
                p += 1;
            }
            else if ((b & 0xE0) == 0xC0)
            {
                decoded.push_back(((b & 0x1F) << 6) | (p[1] & 0x3F));
                p += 2;
            }
            else if ((b & 0xF0) == 0xE0)
            {
                decoded.push_back(((b & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
                p += 3;
            }
            else
            {
                decoded.push_back(((b & 0x07) << 18) | ((p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6) |
                                  (p[3] & 0x3F));
                p += 4;
            }
        }
        benchmark::DoNotOptimize(decoded);
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(decodePlainLoop);

static void utf8SizeHstring(benchmark::State& state)
{
    hstring text = mixedText();
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(text.utf8Size());
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(utf8SizeHstring);
