// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes through LineReader, from memory and from a stream with a small
// buffer, and through DecodeCp932 and the table decoder, and checks what must hold for any
// input.

#include "platform/Cp932.h"
#include "platform/Cp932Table.h"
#include "platform/LineReader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

using miradel::LineEnd;

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

struct Line {
    std::string bytes;
    LineEnd end;
    bool cut;
};

std::vector<Line> ReadLines(miradel::LineReader& reader)
{
    std::vector<Line> lines;
    std::string bytes;
    while (!reader.AtEnd()) {
        Check(reader.ReadLine(bytes), "ReadLine succeeds unless AtEnd");
        lines.push_back({ bytes, reader.LastLineEnd(), reader.LastLineCut() });
    }
    Check(!reader.ReadLine(bytes) && bytes.empty(), "ReadLine at the end gives nothing");
    return lines;
}

std::string_view EndBytes(LineEnd end)
{
    switch (end) {
    case LineEnd::CrLf:
        return "\r\n";
    case LineEnd::Cr:
        return "\r";
    case LineEnd::None:
        return "";
    }
    std::abort();
}

void CheckLines(std::string_view input, const std::vector<Line>& lines)
{
    std::string rejoined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Check(lines[i].bytes.find('\r') == std::string::npos, "no CR inside a line");
        Check(lines[i].end != LineEnd::None || i + 1 == lines.size(), "only the last line lacks a line end");
        rejoined += lines[i].bytes;
        rejoined += EndBytes(lines[i].end);
    }
    Check(rejoined == input, "lines and their ends rejoin to the input");
    Check(!lines.empty() || input.empty(), "only an empty input has no line");
}

std::vector<Line> ReadThroughStream(std::string_view input, std::size_t keptLineBytes)
{
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::string copy(input);
    std::unique_ptr<std::FILE, Closer> stream(fmemopen(copy.data(), copy.size(), "rb"));
    Check(stream != nullptr, "fmemopen");
    // A buffer of a few bytes puts refills everywhere, a CR LF split across two included;
    // for a long input that meant tens of thousands of reads, so the buffer grows with it.
    miradel::LineReader reader(stream.get(), 1 + input.size() % 5 + input.size() / 64);
    reader.SetKeptLineBytes(keptLineBytes);
    return ReadLines(reader);
}

miradel::Text DecodeChecked(std::string_view bytes, std::vector<std::size_t>& invalid)
{
    const miradel::Text text = miradel::DecodeCp932(bytes, &invalid);
    Check(text.size() <= bytes.size(), "at most one character per byte");
    std::size_t replacements = 0;
    for (const char16_t unit : text)
        replacements += unit == u'\uFFFD' ? 1 : 0;
    // Code page 932 maps nothing to U+FFFD, so each one stands for a bad sequence.
    Check(replacements == invalid.size(), "one U+FFFD per bad sequence");
    for (std::size_t i = 0; i < invalid.size(); ++i) {
        Check(invalid[i] < bytes.size(), "offsets inside the input");
        Check(i == 0 || invalid[i - 1] < invalid[i], "offsets increase");
    }
    return text;
}

// CR and LF are never trail bytes, so decoding line by line gives the text of the whole.
void CheckDecoding(std::string_view input, const std::vector<Line>& lines)
{
    std::vector<std::size_t> wholeInvalid;
    const miradel::Text whole = DecodeChecked(input, wholeInvalid);
    Check(miradel::DecodeCp932(input) == whole, "offsets do not change the text");
    std::vector<std::size_t> tableInvalid;
    Check(miradel::DecodeCp932Table(input, &tableInvalid) == whole && tableInvalid == wholeInvalid,
        "the table decodes as iconv does");
    miradel::Text joined;
    std::vector<std::size_t> joinedInvalid;
    std::size_t lineStart = 0;
    for (const Line& line : lines) {
        std::vector<std::size_t> invalid;
        joined += DecodeChecked(line.bytes, invalid);
        for (const std::size_t offset : invalid)
            joinedInvalid.push_back(lineStart + offset);
        for (const char byte : EndBytes(line.end))
            joined += static_cast<char16_t>(byte);
        lineStart += line.bytes.size() + EndBytes(line.end).size();
    }
    Check(joined == whole, "decoding line by line equals decoding the whole");
    Check(joinedInvalid == wholeInvalid, "bad sequences found alike line by line");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    miradel::LineReader fromMemory(input);
    fromMemory.SetKeptLineBytes(SIZE_MAX);
    const std::vector<Line> lines = ReadLines(fromMemory);
    CheckLines(input, lines);
    if (!input.empty()) {
        // A stream that keeps only the start of long lines gives that start of each.
        const std::size_t kept = input.size() % 2 ? SIZE_MAX : 1 + input.size() % 7;
        const std::vector<Line> streamed = ReadThroughStream(input, kept);
        Check(streamed.size() == lines.size(), "a stream gives the lines memory gives");
        for (std::size_t i = 0; i < lines.size(); ++i) {
            Check(streamed[i].bytes == lines[i].bytes.substr(0, kept) && streamed[i].end == lines[i].end,
                "a stream gives the lines memory gives");
            Check(streamed[i].cut == (lines[i].bytes.size() > kept), "a cut line is told");
        }
    }
    CheckDecoding(input, lines);
    return 0;
}
