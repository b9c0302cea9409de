// Throughput of the text boundary: cp932 decoding and encoding of a megabyte
// of Japanese text, and splitting it into lines.

#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// About 1 MB of family-file-like UTF-8 text: keys, names, dates and remarks
// mixing kanji, kana, half-width katakana and ASCII, one record per line.
const std::string& japaneseText()
{
    static const std::string text = [] {
        const char* pieces[] = {
            " Name=\xE5\xB1\xB1\xE7\x94\xB0\xE5\xA4\xAA\xE9\x83\x8E",                          // 山田太郎
            " Kana=\xEF\xBE\x94\xEF\xBE\x8F\xEF\xBE\x80\xEF\xBE\x9E",                          // ﾔﾏﾀﾞ
            " Birth=\xE6\x98\xAD\xE5\x92\x8C\x31\x32\xE5\xB9\xB4\xEF\xBD\x9E",                 // 昭和12年～
            (" Memo=\xE6\x9D\xB1\xE4\xBA\xAC\xE9\x83\xBD\xE3\x81\xAB\xE7\x94\x9F\xE3\x81\xBE"
             "\xE3\x82\x8C\xE3\x82\x8B\xEF\xBC\x8D\xE8\xA1\xA8\xE5\x8F\xB0"),                   // 東京都に生まれる－表台
            " Index= 42",
        };
        std::string t;
        size_t i = 0;
        while (t.size() < (1u << 20)) {
            t += pieces[i++ % (sizeof pieces / sizeof pieces[0])];
            t += "\r\n";
        }
        return t;
    }();
    return text;
}

const std::string& cp932Text()
{
    static const std::string bytes = platform::encodeCp932(japaneseText());
    return bytes;
}

void BM_DecodeCp932(benchmark::State& state)
{
    const std::string& bytes = cp932Text();
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::decodeCp932(bytes));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_DecodeCp932)->Unit(benchmark::kMillisecond);

void BM_EncodeCp932(benchmark::State& state)
{
    const std::string& text = japaneseText();
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::encodeCp932(text));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_EncodeCp932)->Unit(benchmark::kMillisecond);

// Fields are decoded one line at a time by the readers; the per-call cost
// matters as much as the throughput.
void BM_DecodeLineByLine(benchmark::State& state)
{
    const auto lines = platform::splitLines(cp932Text());
    for (auto _ : state)
        for (const auto& line : lines)
            benchmark::DoNotOptimize(platform::decodeCp932(line));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * lines.size()));
}
BENCHMARK(BM_DecodeLineByLine)->Unit(benchmark::kMillisecond);

void BM_SplitLines(benchmark::State& state)
{
    const std::string& bytes = cp932Text();
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::splitLines(bytes));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_SplitLines)->Unit(benchmark::kMillisecond);

void BM_ReadTextFile(benchmark::State& state)
{
    const char* tmp = std::getenv("TMPDIR");
    const std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/bench_platform_codec." +
                             std::to_string(::getpid()) + ".txt";
    platform::writeWholeFile(path, cp932Text());
    for (auto _ : state) {
        platform::TextInputFile in(path);
        std::string line;
        size_t count = 0;
        while (in.readLine(line))
            ++count;
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * cp932Text().size()));
    platform::deleteFile(path);
}
BENCHMARK(BM_ReadTextFile)->Unit(benchmark::kMillisecond);

} // namespace
