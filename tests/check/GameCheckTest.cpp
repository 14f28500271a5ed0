// SPDX-License-Identifier: MIT
#include "GameCheck.h"
#include "MessageAreaMeasure.h"
#include "Playtest.h"
#include "StoryGraph.h"
#include "game/SceneNames.h"
#include "platform/ContentFiles.h"
#include "platform/Fonts.h"
#include "support/GameFolder.h"
#include "support/WavWriter.h"

#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace miradel::check {
namespace {

namespace fs = std::filesystem;

// Each finding as "where ... says": it starts with "file:line:column: severity" and holds `says`.
void ExpectFindings(const Findings& findings, const std::vector<std::string>& expected)
{
    std::vector<std::string> reported;
    for (const Finding& finding : findings.Sorted())
        reported.push_back(FormatFinding(finding));
    ASSERT_EQ(reported.size(), expected.size()) << testing::PrintToString(reported);
    for (std::size_t i = 0; i < reported.size(); ++i) {
        const std::size_t gap = expected[i].find(" ... ");
        EXPECT_TRUE(reported[i].starts_with(expected[i].substr(0, gap) + ": ")
            && reported[i].find(expected[i].substr(gap + 5)) != std::string::npos)
            << reported[i] << "\nexpected " << expected[i];
    }
}

// A complete game (its endings restart it: with every choice used up nothing is left to click)
// checks clean; seeded games of it end in endings, the same seed gives the same games, and only
// the hidden choice's scenes may stay unseen. Then one mistake of each kind, as an author's
// editor leaves the bytes (code page 932 by hand: "一日目" 88 EA 93 FA 96 DA, "あ" 82 A0,
// "ＡＢＣ" 82 60 82 61 82 62, "ａｂｃ" 82 81 82 82 82 83), in a folder "ゲーム" in code page 932.
// Files are found with the player's lookup: a pipe or a device is missing, full width folds.
TEST(GameCheck, PassesACompleteGamePlaysItToItsEndingsAndReportsEveryMistake)
{
    // Pages are measured in the program's Japanese font, as the tool measures them.
    ChooseJapaneseInterfaceFont();
    test::GameFolder game;
    game.WriteWholeGame();
    for (const char* ending : { "end0", "end1", "end2" })
        game.WriteSceneBytes(ending, "x\r\n>end\r\n");
    game.WriteFile("bgm.wav", test::MakeWav({ test::WavEncoding::Pcm, 1, 8000, 8 }, std::vector<std::int16_t>(8000)));
    const MessageAreaMeasure measure;
    const GameCheck clean = CheckGame(game.Root(), &measure);
    EXPECT_TRUE(clean.folderReadable);
    ExpectFindings(clean.findings, {});
    EXPECT_FALSE(CheckGame(u"/nonexistent/miradel/game/", nullptr).folderReadable);
    const PlaytestResult first = RunPlaytest(game.Root(), clean, 20, 7);
    EXPECT_EQ(first.outcomes, RunPlaytest(game.Root(), clean, 20, 7).outcomes);
    long long endings = 0;
    for (const auto& [outcome, count] : first.outcomes)
        endings += outcome.starts_with("end") ? count : 0;
    EXPECT_EQ(endings, 20);
    EXPECT_TRUE(first.picturesNeverShown.empty() || first.picturesNeverShown == std::vector<Text> { u"4" });

    for (const char* gone : { "txt/23.dat", "img/end2.jpg", "img/3_.jpg", "img/0.jpg", "txt/33.dat" })
        game.Remove(gone);
    game.WriteFile("img/4.jpg", "\xFF\xD8\xFF\xE0 not really a JPEG");
    QImage png(8, 8, QImage::Format_RGB32);
    png.fill(Qt::blue);
    png.save(QString::fromStdString((game.Path() / "img/end1.jpg").string()), "PNG");
    // A frame header that claims 20,000 x 20,000 (4:4:4), and its first scan.
    game.WriteFile("img/2_.jpg",
        std::string("\xFF\xD8\xFF\xC0\x00\x11\x08\x4E\x20\x4E\x20\x03\x01\x11\x00\x02\x11\x00\x03\x11\x00"
                    "\xFF\xDA\x00\x0C\x03\x01\x00\x02\x11\x03\x11\x00\x3F\x00",
            35));
    game.WritePicture("img/sub/pic.jpg", Qt::blue);
    game.WritePicture("img/unused.jpg", Qt::blue);
    fs::copy_file(game.Path() / "img/ttl.jpg", game.Path() / "img/\x82\x81\x82\x82\x82\x83.jpg");
    fs::create_symlink("/dev/zero", game.Path() / "img/0.jpg");
    ASSERT_EQ(mkfifo((game.Path() / "txt/33.dat").c_str(), 0600), 0);
    game.WriteFile("txt/notes.txt", "todo\r\n");
    game.WriteFile("bgm.wav", "RIFF\x04\x00\x00\x00WAVE");
    game.WriteFile("txt/opn.dat", ">end\r\nstart\r\n");
    game.WriteFile("txt/end2.dat", "fin\r\n");
    game.WriteFile("txt/1.dat", "");
    game.WriteFile("txt/2.dat", "\xE3\x81\x93\xE3\x82\x93\r\n");
    game.WriteFile("txt/00.dat", "\x82\xA0\n>p\ntugi\n");
    game.WriteFile("txt/not.dat", std::string_view("\xFF\xFEx\0\r\0\n\0", 8));
    game.WriteFile("txt/01.dat", std::string_view("\xFE\xFF\0x\0\r\0\n", 8));
    std::vector<std::string> fullPage(32, "あ");
    fullPage[0] = "--30";
    game.WriteScene("3", fullPage);
    game.WriteFile("txt/0.dat",
        "\x88\xEA\x93\xFA\x96\xDA\r\n>img ttl  \r\n>img nothere\r\n>img TTL\r\n>img sub\\pic\r\n--x\r\n"
        "--99999999999\r\nab\x82\r\n>img \x82\x60\x82\x61\x82\x62\r\n"
            + std::string(">img x\0y\r\n", 10));
    // Runs count as the player does: the end of the file stands for a "tugi", lines a step takes
    // along are no steps, runs cut short count on from the inner ones' counter ("--5" stops at
    // 2, 3 left, leaving 6; "--1" moves it to 7, so "--10" has 3 left).
    game.WriteFile("txt/02.dat", "--3\r\na\r\nb\r\n");
    game.WriteFile("txt/03.dat", "--4\r\na\r\nb\r\n");
    game.WriteFile("txt/10.dat", "--2\r\n>img 1\r\na\r\n\r\nb\r\nc\r\n");
    game.WriteFile("txt/11.dat", "--10\r\n--1\r\n--5\r\na\r\n");
    // Lines after the end: a count there is no error, empty lines are harmless.
    game.WriteFile("txt/12.dat", "a\r\n>loop\r\n\r\nb\r\n--y\r\n");
    game.WriteFile("txt/13.dat", "a\r\ntugi\r\n\r\n\r\n");
    // A tall page whose steps show a line at a time only scrolls.
    game.WriteScene("21", std::vector<std::string>(30, "あ"));
    // Commands misspelt, and lines that must stay quiet (">p 灯りが消える" is meant).
    game.WriteScene("20",
        { "Tugi", "\u3000>end", ">emd", "tsugi", "－－３", ">p ", ">img01", ">img0", ">img ", ">p 灯りが消える", ">ive",
            ">>", "tsugi no hi", "「tugi」", "", ">p", ">img\u3000end1", "tugi" });
    const fs::path root = game.Path() / "\x83\x51\x81\x5b\x83\x80";
    fs::create_directories(root);
    for (const char* entry : { "txt", "img", "bgm.wav" })
        fs::rename(game.Path() / entry, root / entry);

    const GameCheck check = CheckGame(TextFromPath(root) + u"/", &measure);
    ASSERT_TRUE(check.folderReadable);
    ExpectFindings(check.findings,
        {
            "bgm.wav: warning ... it is not a RIFF WAVE file; the game runs without music",
            "img/0.jpg（通常のファイルではありません (デバイスなど)）: error ... picture \"0\"",
            "img/2_.jpg: error ... too large: 20000 x 20000 needs 1526 MB to decode (at most 640 MB)",
            "img/3_.jpg: error ... (the blink frame of picture \"3\"; the game ends at its first blink) is missing",
            "img/4.jpg: error ... broken JPEG header: the file ends before its first scan",
            "img/end1.jpg: warning ... the picture is a PNG file",
            "img/end2.jpg: error ... picture \"end2\" (the game shows it) is missing: img/end2.jpg",
            "img/unused.jpg: warning ... nothing in the game shows this picture",
            "txt/0.dat:2:6: error ... picture \"ttl  \" is missing: img/ttl  .jpg",
            "txt/0.dat:2:9: warning ... the picture name ends in blanks",
            "txt/0.dat:3:6: error ... picture \"nothere\" is missing: img/nothere.jpg",
            "txt/0.dat:4:6: warning ... \"TTL\" matches the file img/ttl.jpg only when letter case is ignored",
            "txt/0.dat:5:6: warning ... \"sub\\pic\" has a backslash",
            "txt/0.dat:6:3: error ... \"--\" must be followed by a whole number of lines",
            "txt/0.dat:7:3: error ... the count after \"--\" is too large (at most 2147483647)",
            "txt/0.dat:8:3: warning ... byte 0x82 is not valid in Shift-JIS",
            "txt/0.dat:9:6: warning ... \"ＡＢＣ\" matches the file img/ａｂｃ.jpg only when letter case is ignored",
            "txt/0.dat:10:6: error ... the picture name \"x\u2400y\" holds a NUL byte",
            "txt/00.dat:1:2: warning ... lines end in a line feed (LF) alone (3 in the file)",
            "txt/01.dat: warning ... the file looks like UTF-16 (big-endian)",
            "txt/03.dat:1:3: warning ... ends at the end of the file; 1 step is left over",
            "txt/1.dat: error ... the scene file holds no line",
            "txt/11.dat:1:3: warning ... 3 steps are left over",
            "txt/11.dat:3:3: warning ... 3 steps are left over",
            "txt/12.dat:4:1: warning ... this line and the 1 after it are never shown: the scene ends at line 2",
            "txt/2.dat: warning ... the file looks like UTF-8",
            "txt/20.dat:1:1: warning ... \"Tugi\" is shown as text, not taken as the command \"tugi\": commands are",
            "txt/20.dat:2:2: warning ... \">end\" is shown as text, not taken as the command \">end\": it starts with",
            "txt/20.dat:3:1: warning ... \">emd\" is shown as text, not taken as the command \">end\": it is misspelt",
            "txt/20.dat:4:1: warning ... \"tsugi\" is shown as text, not taken as the command \"tugi\": it is misspelt",
            "txt/20.dat:5:1: warning ... not taken as the command \"--\": it is written in full-width characters",
            "txt/20.dat:6:3: warning ... \">p\" with more after it clears the page without waiting for a click",
            "txt/20.dat:7:5: warning ... \"0\" is taken as the separator and dropped, so the picture is \"1\"",
            "txt/20.dat:8:5: warning ... taken as the separator and dropped, so the line names no picture",
            "txt/20.dat:9:1: warning ... \">img\" names no picture: it only repaints the picture on show",
            "txt/23.dat: error ... scene \"23\", which the game opens after 真珠色 on day 3 with a draw of 31 to 99",
            "txt/3.dat:2:1: warning ... lines 2-31 appear at once and do not fit in the message area",
            "txt/33.dat（ファイルではなく名前付きパイプです）: error ... with a draw of 0 to 30, and on day 4",
            "txt/end2.dat:1:1: warning ... the ending ends with the choices, but every choice is used up",
            "txt/not.dat: warning ... the file looks like UTF-16 (little-endian)",
            "txt/notes.txt: warning ... the scenes are opn, not, 0 to 3, end0 to end2 and 00 to 33",
            "txt/opn.dat:1:1: error ... the opening meets \">end\" before it shows anything",
            "txt/opn.dat:2:1: warning ... this line is never shown: the scene ends at line 1",
        });

    // The story graph: each choice's low and high draw, next days, ">loop", ">end", missing scenes.
    const std::string dot = StoryGraphDot(check);
    for (const char* edge : { R"e("0" -> "30" [label="白銀の雲 on day 1, draw 0-30"])e",
             R"e("0" -> "00" [label="白銀の雲 on day 1, draw 31-99"])e", R"e("00" -> "1" [label="next day (day 2)"])e",
             R"e("12" -> "0" [label=">loop, next day (day 1)"])e", R"e("end0" -> "opn" [label=">end: new game"])e",
             R"e("33" [label="33\n(missing)")e" })
        EXPECT_NE(dot.find(edge), std::string::npos) << edge << "\n" << dot;
}

} // namespace
} // namespace miradel::check
