// SPDX-License-Identifier: MIT
#include "platform/TextFiles.h"

#include "platform/RuntimeError.h"
#include "support/GameFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace miradel {

namespace {

// Runs `action` and returns the RuntimeError it must throw.
template <typename Action> RuntimeError CaughtError(Action action)
{
    try {
        action();
    } catch (const RuntimeError& error) {
        return error;
    }
    ADD_FAILURE() << "no RuntimeError thrown";
    return RuntimeError("");
}

} // namespace

TEST(TextFiles, ReadsDecodedLinesToTheEnd)
{
    test::GameFolder folder;
    // "あい", "abc", a lone LF and a bad lead byte: bytes as a Shift-JIS editor saves them.
    const auto path = folder.WriteFile("scene.txt", "\x82\xA0\x82\xA2\r\nabc\r\nx\ny\x82\r\n");
    TextFiles files;
    files.Open(1, path, "scene/scene.txt");
    EXPECT_TRUE(files.IsOpen(1));
    EXPECT_EQ(files.ShownName(1), "scene/scene.txt");
    EXPECT_EQ(files.LinesRead(1), 0);
    EXPECT_FALSE(files.AtEnd(1));
    EXPECT_EQ(files.LineInput(1), u"あい");
    EXPECT_EQ(files.LineInput(1), u"abc");
    EXPECT_FALSE(files.AtEnd(1));
    EXPECT_EQ(files.LineInput(1), u"x\ny\uFFFD");
    EXPECT_TRUE(files.AtEnd(1));
    EXPECT_EQ(files.LinesRead(1), 3);
}

TEST(TextFiles, ReportsReadPastTheEndWithFileAndLine)
{
    test::GameFolder folder;
    TextFiles files;
    files.Open(2, folder.WriteFile("two.txt", "a\r\nb\r\n"), "scene/two.txt");
    files.LineInput(2);
    files.LineInput(2);
    const RuntimeError error = CaughtError([&] { files.LineInput(2); });
    EXPECT_EQ(error.Message(), "ファイルの終わりを越えて読もうとしました");
    EXPECT_EQ(error.File(), "scene/two.txt");
    EXPECT_EQ(error.Line(), 3);
    EXPECT_EQ(files.LinesRead(2), 2);

    files.Open(3, folder.WriteFile("empty.txt", ""), "scene/empty.txt");
    EXPECT_TRUE(files.AtEnd(3));
    EXPECT_EQ(CaughtError([&] { files.LineInput(3); }).Report(),
        "scene/empty.txt:1: ファイルの終わりを越えて読もうとしました");
}

TEST(TextFiles, ReportsFilesThatCannotBeOpened)
{
    test::GameFolder folder;
    TextFiles files;
    const RuntimeError missing = CaughtError([&] { files.Open(1, folder.Path() / "none.txt", "scene/none.txt"); });
    EXPECT_EQ(missing.Message(), "シナリオファイルが見つかりません");
    EXPECT_EQ(missing.File(), "scene/none.txt");
    EXPECT_EQ(missing.Report(), "scene/none.txt: シナリオファイルが見つかりません");

    // What is not a regular file is missing as far as the game is concerned: a named pipe
    // would block the open for ever, a device would never end.
    const RuntimeError folderError = CaughtError([&] { files.Open(1, folder.Path(), "scene"); });
    EXPECT_EQ(folderError.Message(), "シナリオファイルが見つかりません");
    EXPECT_EQ(folderError.File(), "scene");
    ASSERT_EQ(mkfifo((folder.Path() / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(CaughtError([&] { files.Open(1, folder.Path() / "pipe", "pipe"); }).Message(),
        "シナリオファイルが見つかりません");
    std::filesystem::create_symlink("/dev/zero", folder.Path() / "zero");
    EXPECT_EQ(CaughtError([&] { files.Open(1, folder.Path() / "zero", "zero"); }).Message(),
        "シナリオファイルが見つかりません");

    EXPECT_FALSE(files.IsOpen(1));
    EXPECT_EQ(files.OpenCount(), 0u);
}

// The file numbers: the lowest free one is offered, each reads its own file, closing a
// number that is not open does nothing, and a misused number fails without harm.
TEST(TextFiles, FileNumbers)
{
    test::GameFolder folder;
    const auto path = folder.WriteFile("a.txt", "a");
    TextFiles files;
    EXPECT_THROW(files.LineInput(1), RuntimeError);
    EXPECT_THROW(files.AtEnd(1), RuntimeError);
    EXPECT_THROW(files.Open(0, path, "a.txt"), RuntimeError);
    EXPECT_EQ(files.FreeFile(), 1);
    files.Open(files.FreeFile(), folder.WriteFile("one.txt", "1a\r1b"), "one.txt");
    files.Open(files.FreeFile(), folder.WriteFile("two.txt", "2a\r\n2b"), "two.txt");
    files.Open(5, path, "a.txt");
    EXPECT_EQ(files.FreeFile(), 3);
    const RuntimeError twice = CaughtError([&] { files.Open(1, path, "second.txt"); });
    EXPECT_EQ(twice.File(), "second.txt");
    EXPECT_EQ(files.ShownName(1), "one.txt");

    EXPECT_EQ(files.LineInput(2), u"2a");
    EXPECT_EQ(files.LineInput(1), u"1a");
    EXPECT_EQ(files.LineInput(1), u"1b");
    EXPECT_TRUE(files.AtEnd(1));
    EXPECT_FALSE(files.AtEnd(2));
    EXPECT_EQ(files.LinesRead(1), 2);
    EXPECT_EQ(files.LinesRead(2), 1);
    files.Close(7);
    files.Close(0);
    EXPECT_EQ(files.OpenCount(), 3u);
    files.Close(1);
    files.Close(1);
    EXPECT_EQ(files.OpenCount(), 2u);
    EXPECT_EQ(files.LineInput(2), u"2b");
    EXPECT_FALSE(files.IsOpen(1));
    EXPECT_EQ(files.ShownName(1), "");
    EXPECT_EQ(files.LinesRead(1), 0);
    EXPECT_EQ(files.FreeFile(), 1);
    files.Open(1, path, "a.txt");
    files.Open(3, path, "a.txt");
    files.Open(4, path, "a.txt");
    EXPECT_EQ(files.FreeFile(), 6);
}

} // namespace miradel
