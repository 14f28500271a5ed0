// SPDX-License-Identifier: MIT
#include "platform/LineReader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <system_error>
#include <tuple>
#include <vector>

namespace miradel {

namespace {

using Lines = std::vector<std::string>;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

Lines ReadAll(LineReader& reader)
{
    Lines lines;
    std::string line;
    while (!reader.AtEnd()) {
        EXPECT_TRUE(reader.ReadLine(line));
        lines.push_back(line);
    }
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_TRUE(line.empty());
    return lines;
}

// Small buffers put every line end across a refill; each buffer size must agree with
// reading from memory.
void ExpectLines(std::string_view bytes, const Lines& expected)
{
    LineReader fromMemory(bytes);
    EXPECT_EQ(ReadAll(fromMemory), expected) << "from memory: " << testing::PrintToString(std::string(bytes));
    for (const std::size_t bufferSize :
        { std::size_t { 1 }, std::size_t { 2 }, std::size_t { 3 }, LineReader::kDefaultBufferSize }) {
        const FileHandle file(std::tmpfile());
        ASSERT_TRUE(file);
        std::fwrite(bytes.data(), 1, bytes.size(), file.get());
        std::rewind(file.get());
        LineReader fromFile(file.get(), bufferSize);
        EXPECT_EQ(ReadAll(fromFile), expected)
            << "buffer " << bufferSize << ": " << testing::PrintToString(std::string(bytes));
    }
}

} // namespace

// Lines end at CR LF and at a CR alone; a lone LF and NUL bytes stay inside the line; the
// last line needs no end.
TEST(LineReader, SplitsAtCrLfAndCrOnly)
{
    using namespace std::string_literals;
    const std::pair<std::string, Lines> kRows[] = {
        { "a\r\nb\rc\r\n", { "a", "b", "c" } },
        { "a\r\r\nb", { "a", "", "b" } },
        { "\r\r", { "", "" } },
        { "a\nb\r\nc", { "a\nb", "c" } },
        { "a\n\rb", { "a\n", "b" } },
        { "\n\n\r\n", { "\n\n" } },
        { "a\r\n\n", { "a", "\n" } },
        { "a\r\n\r\n", { "a", "" } },
        { "a\r\r", { "a", "" } },
        { "", {} },
        { "a\0b\r\n\0\r\n"s, { "a\0b"s, "\0"s } },
    };
    for (const auto& [bytes, lines] : kRows)
        ExpectLines(bytes, lines);
}

TEST(LineReader, ReportsLineEndsAndKeepsOnlyTheStartOfAnOverlongLine)
{
    const std::string overlong = std::string(3 * LineReader::kDefaultBufferSize + 7, 'a') + "\x82";
    const std::string exact(LineReader::kKeptLineBytes, 'b');
    const std::string bytes = overlong + "\r\nnext\r" + exact;
    LineReader reader { std::string_view(bytes) };
    const std::tuple<std::string, LineEnd, bool> expected[] = {
        { overlong.substr(0, LineReader::kKeptLineBytes), LineEnd::CrLf, true },
        { "next", LineEnd::Cr, false },
        { exact, LineEnd::None, false },
    };
    std::string line;
    for (const auto& [kept, lineEnd, cut] : expected) {
        ASSERT_TRUE(reader.ReadLine(line));
        EXPECT_EQ(line, kept);
        EXPECT_EQ(reader.LastLineEnd(), lineEnd);
        EXPECT_EQ(reader.LastLineCut(), cut);
    }
    // Alike through a file, whatever the buffer.
    ExpectLines(bytes, { overlong.substr(0, LineReader::kKeptLineBytes), "next", exact });
}

TEST(LineReader, ThrowsOnReadError)
{
    // A folder opens as a stream on Linux, and reading it fails.
    const FileHandle folder(std::fopen(MIRADEL_TEST_DATA_DIR, "rb"));
    ASSERT_TRUE(folder);
    LineReader reader(folder.get());
    EXPECT_THROW(reader.AtEnd(), std::system_error);
}

} // namespace miradel
