// Times the scenario file path: LineReader splitting and DecodeCp932, on 1 MB samples.
// Run by hand (target miradel_text_benchmark); it prints the best of several runs.

#include "platform/Cp932.h"
#include "platform/LineReader.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

namespace {

// Scenario-like lines: commands in ASCII, speech in double-byte kana and kanji, some
// half-width katakana. The strings are Shift-JIS byte literals.
std::string MixedSample(std::size_t size)
{
    const char* const lines[] = {
        "*scene_042\r\n",
        "@bg school_roof.png fade 500\r\n",
        "\x81\x75\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x81\x41\x8A\xBF\x8E\x9A\x82\xC6\x82\xA9\x82\xC8\x81\x42\x81\x76\r\n",
        "@say yuki \"\x8D\xA1\x93\xFA\x82\xCD\x90\xB0\x82\xEA\x82\xBE\x82\xCB\x81\x42\"\r\n",
        "\xB6\xC0\xB6\xC5 half-width \xB1\xB2\xB3\r\n",
    };
    std::string sample;
    for (std::size_t i = 0; sample.size() < size; ++i)
        sample += lines[i % std::size(lines)];
    return sample;
}

std::string JapaneseSample(std::size_t size)
{
    std::string sample;
    while (sample.size() < size)
        sample += "\x82\xA0\x82\xA2\x82\xA4\x88\x9F\x88\xA0\x88\xA1\x81\x42\x87\x40";
    return sample;
}

double BestMilliseconds(const std::function<void()>& run)
{
    double best = 1e9;
    for (int i = 0; i < 20; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
        best = std::min(best, spent.count());
    }
    return best;
}

void Report(const char* name, const std::string& sample)
{
    std::size_t units = 0;
    const double whole = BestMilliseconds([&] { units = miradel::DecodeCp932(sample).size(); });
    const double byLine = BestMilliseconds([&] {
        miradel::LineReader reader(sample);
        std::string line;
        while (reader.ReadLine(line))
            units += miradel::DecodeCp932(line).size();
    });
    std::FILE* file = std::tmpfile();
    std::fwrite(sample.data(), 1, sample.size(), file);
    const double fromFile = BestMilliseconds([&] {
        std::rewind(file);
        miradel::LineReader reader(file);
        std::string line;
        while (reader.ReadLine(line))
            units += miradel::DecodeCp932(line).size();
    });
    std::fclose(file);
    std::printf("%-10s %7zu bytes: whole %.2f ms, line by line %.2f ms, from a file %.2f ms (%zu)\n", name,
        sample.size(), whole, byLine, fromFile, units);
}

} // namespace

int main()
{
    constexpr std::size_t kSize = 1024 * 1024;
    Report("mixed", MixedSample(kSize));
    Report("japanese", JapaneseSample(kSize));
    Report("ascii", std::string(kSize, 'a') + "\r\n");
    std::string asciiLines;
    while (asciiLines.size() < kSize)
        asciiLines += "@wait 300 ; an ASCII command line\r\n";
    Report("ascii lines", asciiLines);
}
