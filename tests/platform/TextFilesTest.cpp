// SPDX-License-Identifier: MIT
#include "platform/TextFiles.h"

#include "platform/LineReader.h"
#include "platform/RuntimeError.h"
#include "support/GameFolder.h"

#include <gtest/gtest.h>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <tuple>
#include <vector>

namespace miradel {
namespace {

// What `action` throws, as the player is shown it.
template <typename Action> RuntimeError Thrown(Action action)
{
    try {
        action();
    } catch (const std::exception&) {
        return CaughtAsRuntimeError();
    }
    ADD_FAILURE() << "nothing thrown";
    return RuntimeError("");
}

TEST(TextFiles, ReadsDecodedLinesAndReportsReadingPastTheEnd)
{
    test::GameFolder folder;
    TextFiles files;
    // "あい", "abc", a lone LF and a bad lead byte: bytes as a Shift-JIS editor saves them.
    files.Open(1, folder.WriteFile("scene.txt", "\x82\xA0\x82\xA2\r\nabc\r\nx\ny\x82\r\n"), "scene/scene.txt");
    EXPECT_EQ(files.ShownName(1), "scene/scene.txt");
    EXPECT_EQ(files.LineInput(1), u"あい");
    EXPECT_EQ(files.LineInput(1), u"abc");
    EXPECT_FALSE(files.AtEnd(1));
    EXPECT_EQ(files.LineInput(1), u"x\ny\uFFFD");
    EXPECT_TRUE(files.AtEnd(1));
    EXPECT_EQ(files.LinesRead(1), 3);
    const RuntimeError error = Thrown([&] { files.LineInput(1); });
    EXPECT_EQ(error.Report(), "scene/scene.txt:4: ファイルの終わりを越えて読もうとしました");
    EXPECT_EQ(files.LinesRead(1), 3);

    files.Open(2, folder.WriteFile("empty.txt", ""), "scene/empty.txt");
    EXPECT_TRUE(files.AtEnd(2));
    EXPECT_EQ(Thrown([&] { files.LineInput(2); }).Line(), 1);
}

// What is not a regular file is missing: a named pipe would block the open for ever, a device
// would never end. The lowest free number is offered, each reads its own file, closing a number
// that is not open does nothing, and a misused number fails without harm.
TEST(TextFiles, ReportsWhatCannotBeOpenedAndKeepsFileNumbersApart)
{
    test::GameFolder folder;
    ASSERT_EQ(mkfifo((folder.Path() / "pipe").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", folder.Path() / "zero");
    TextFiles files;
    for (const char* name : { "none.txt", ".", "pipe", "zero" }) {
        const RuntimeError error = Thrown([&] { files.Open(1, folder.Path() / name, name); });
        EXPECT_EQ(error.Report(), name + std::string(": シナリオファイルが見つかりません"));
    }
    EXPECT_EQ(files.OpenCount(), 0u);
    const auto path = folder.WriteFile("a.txt", "a");
    EXPECT_THROW(files.LineInput(1), RuntimeError);
    EXPECT_THROW(files.AtEnd(1), RuntimeError);
    EXPECT_THROW(files.Open(0, path, "a.txt"), RuntimeError);
    files.Open(files.FreeFile(), folder.WriteFile("one.txt", "1a\r1b"), "one.txt");
    files.Open(files.FreeFile(), folder.WriteFile("two.txt", "2a\r\n2b"), "two.txt");
    files.Open(5, path, "a.txt");
    EXPECT_EQ(files.FreeFile(), 3);
    EXPECT_EQ(Thrown([&] { files.Open(1, path, "second.txt"); }).File(), "second.txt");
    EXPECT_EQ(files.ShownName(1), "one.txt");

    EXPECT_EQ(files.LineInput(2), u"2a");
    EXPECT_EQ(files.LineInput(1), u"1a");
    EXPECT_EQ(files.LinesRead(1), 1);
    files.Close(7);
    files.Close(1);
    files.Close(1);
    EXPECT_EQ(files.OpenCount(), 2u);
    EXPECT_EQ(files.LineInput(2), u"2b");
    EXPECT_FALSE(files.IsOpen(1));
    EXPECT_EQ(files.LinesRead(1), 0);
    EXPECT_EQ(files.FreeFile(), 1);
    files.Open(1, path, "a.txt");
    files.Open(3, path, "a.txt");
    files.Open(4, path, "a.txt");
    EXPECT_EQ(files.FreeFile(), 6);
}

// Whatever the program throws ends in a message for the player.
TEST(RuntimeError, EveryFailureEndsWithAMessageForThePlayer)
{
    const RuntimeError content("シナリオファイルが見つかりません", "txt/opn.dat", 3);
    EXPECT_EQ(Thrown([&] { throw content; }).Report(), "txt/opn.dat:3: シナリオファイルが見つかりません");
    EXPECT_EQ(Thrown([] { throw std::logic_error("x"); }).Report(), "内部エラー: x");
    EXPECT_EQ(FatalErrorText(content, "/games/a/"),
        "エラーが発生したため、終了します。\n\ntxt/opn.dat:3: シナリオファイルが見つかりません\n\nゲームフォルダ: "
        "/games/a/");
    EXPECT_EQ(FatalErrorText(Thrown([] { throw std::bad_alloc(); }), "/games/a/"),
        "エラーが発生したため、終了します。\n\nメモリが足りません");
}

using Lines = std::vector<std::string>;
using FileHandle = std::unique_ptr<std::FILE, decltype([](std::FILE* file) { std::fclose(file); })>;

// Small buffers put every line end across a refill; each buffer size must agree with
// reading from memory.
void ExpectLines(std::string_view bytes, const Lines& expected)
{
    const auto readAll = [&](LineReader reader, const std::string& how) {
        Lines lines;
        std::string line;
        while (!reader.AtEnd()) {
            EXPECT_TRUE(reader.ReadLine(line));
            lines.push_back(line);
        }
        EXPECT_FALSE(reader.ReadLine(line));
        EXPECT_TRUE(line.empty());
        EXPECT_EQ(lines, expected) << how << ": " << testing::PrintToString(std::string(bytes));
    };
    readAll(LineReader(bytes), "from memory");
    for (const std::size_t bufferSize :
        { std::size_t { 1 }, std::size_t { 2 }, std::size_t { 3 }, LineReader::kDefaultBufferSize }) {
        const FileHandle file(std::tmpfile());
        ASSERT_TRUE(file);
        std::fwrite(bytes.data(), 1, bytes.size(), file.get());
        std::rewind(file.get());
        readAll(LineReader(file.get(), bufferSize), "buffer " + std::to_string(bufferSize));
    }
}

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

TEST(LineReader, ReportsLineEndsKeepsOnlyTheStartOfAnOverlongLineAndThrowsOnReadError)
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
        EXPECT_EQ(std::tuple(line, reader.LastLineEnd(), reader.LastLineCut()), std::tuple(kept, lineEnd, cut));
    }
    // Alike through a file, whatever the buffer.
    ExpectLines(bytes, { overlong.substr(0, LineReader::kKeptLineBytes), "next", exact });

    // A folder opens as a stream on Linux, and reading it fails.
    const FileHandle folder(std::fopen(MIRADEL_TEST_DATA_DIR, "rb"));
    ASSERT_TRUE(folder);
    EXPECT_THROW(LineReader(folder.get()).AtEnd(), std::system_error);
}

} // namespace
} // namespace miradel
