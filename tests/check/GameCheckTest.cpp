// SPDX-License-Identifier: MIT
#include "GameCheck.h"
#include "MessageAreaMeasure.h"
#include "Playtest.h"
#include "StoryGraph.h"
#include "game/SceneNames.h"
#include "platform/ContentFiles.h"
#include "support/GameFolder.h"
#include "support/WavWriter.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace miradel::check {
namespace {

namespace fs = std::filesystem;

// Everything the game opens, each scene one line of text, an ending restarting the game
// (with every choice used up, nothing is left to click), and a second of silent music.
void WriteComplete(const test::GameFolder& game)
{
    for (const Text& scene : ScenesTheGameOpens())
        game.WriteSceneBytes(TextToUtf8(scene), scene.starts_with(u"end") ? "x\r\n>end\r\n" : "x\r\n");
    game.WriteAllPictures();
    test::WriteFile(game.Path() / "bgm.wav",
        test::MakeWav({ test::WavEncoding::Pcm, 1, 8000, 8 }, std::vector<std::int16_t>(8000)));
}

std::string PngBytes()
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

std::vector<std::string> Reported(const GameCheck& check)
{
    std::vector<std::string> lines;
    for (const Finding& finding : check.findings.Sorted())
        lines.push_back(FormatFinding(finding));
    return lines;
}

TEST(GameCheck, ACompleteGameChecksClean)
{
    test::GameFolder game;
    WriteComplete(game);
    const MessageAreaMeasure measure;
    const GameCheck check = CheckGame(game.Root(), &measure);
    EXPECT_TRUE(check.folderReadable);
    EXPECT_EQ(Reported(check), std::vector<std::string> {});
    EXPECT_FALSE(CheckGame(u"/nonexistent/miradel/game/", nullptr).folderReadable);
}

// The broken game: one mistake of each kind that the checker knows, written as the bytes
// an author's editor would leave (code page 932 by hand: "一日目" is 88 EA 93 FA 96 DA,
// "あ" 82 A0, "＞ｅｎｄ" 81 84 82 85 82 8E 82 84), beside the exact report expected for it.
TEST(GameCheck, ReportsEveryMistakeOfTheBrokenGame)
{
    test::GameFolder game;
    WriteComplete(game);
    game.Remove("txt/23.dat");
    game.Remove("img/end2.jpg");
    game.Remove("img/3_.jpg");
    game.WriteFile("img/4.jpg", "\xFF\xD8\xFF\xE0 not really a JPEG");
    game.WriteFile("img/end1.jpg", PngBytes());
    // A frame header that claims 20,000 x 20,000 (4:4:4), and its first scan.
    game.WriteFile("img/2_.jpg",
        std::string("\xFF\xD8\xFF\xC0\x00\x11\x08\x4E\x20\x4E\x20\x03\x01\x11\x00\x02\x11\x00\x03\x11\x00"
                    "\xFF\xDA\x00\x0C\x03\x01\x00\x02\x11\x03\x11\x00\x3F\x00",
            35));
    game.WritePicture("img/sub/pic.jpg", Qt::blue);
    game.WritePicture("img/unused.jpg", Qt::blue);
    game.WriteFile("txt/notes.txt", "todo\r\n");
    game.WriteFile("bgm.wav", "RIFF\x04\x00\x00\x00WAVE");
    game.WriteFile("txt/opn.dat", ">end\r\nstart\r\n");
    game.WriteFile("txt/end2.dat", "fin\r\n");
    game.WriteFile("txt/1.dat", "");
    game.WriteFile("txt/2.dat", "\xE3\x81\x93\xE3\x82\x93\r\n");
    game.WriteFile("txt/00.dat", "\x82\xA0\n>p\ntugi\n");
    game.WriteFile("txt/not.dat", std::string_view("\xFF\xFEx\0\r\0\n\0", 8));
    game.WriteFile("txt/01.dat", std::string_view("\xFE\xFF\0x\0\r\0\n", 8));
    std::string fullPage = "--30\r\n";
    for (int i = 0; i < 31; ++i)
        fullPage += "\x82\xA0\r\n";
    game.WriteFile("txt/3.dat", fullPage);
    game.WriteFile("txt/0.dat",
        "\x88\xEA\x93\xFA\x96\xDA\r\n" // 1
        ">P\r\n" // 2
        ">imag ttl\r\n" // 3
        " tugi\r\n" // 4
        "\x81\x84\x82\x85\x82\x8E\x82\x84\r\n" // 5
        ">img0\r\n" // 6
        ">img ttl  \r\n" // 7
        ">img nothere\r\n" // 8
        ">img TTL\r\n" // 9
        ">img sub\\pic\r\n" // 10
        "--x\r\n" // 11
        "--99999999999\r\n" // 12
        "ab\x82\r\n" // 13
        ">pmore\r\n" // 14
        "--5\r\n" // 15
        "a\r\n" // 16
        "tugi\r\n" // 17
        "--y\r\n"); // 18: never reached, so no error

    const MessageAreaMeasure measure;
    const GameCheck check = CheckGame(game.Root(), &measure);
    const std::vector<std::string> expected {
        "bgm.wav: warning: the music does not play: it is not a RIFF WAVE file; the game runs without music",
        "img/2_.jpg: error: cannot read the picture: too large: 20000 x 20000 needs 1526 MB to decode (at most 640 "
        "MB); "
        "the game ends when it shows it",
        "img/3_.jpg: error: picture \"3_\" (the blink frame of picture \"3\"; the game ends at its first blink) is "
        "missing: "
        "img/3_.jpg",
        "img/4.jpg: error: cannot read the picture: broken JPEG header: the file ends before its first scan; the game "
        "ends "
        "when it shows it",
        "img/end1.jpg: warning: the picture is a PNG file; this player shows it, other players may not; save it as "
        "JPEG",
        "img/end2.jpg: error: picture \"end2\" (the game shows it) is missing: img/end2.jpg",
        "img/unused.jpg: warning: nothing in the game shows this picture",
        "txt/0.dat:2:1: warning: \">P\" is shown as text, not taken as the command \">p\": commands are written in "
        "small letters",
        "txt/0.dat:3:1: warning: \">imag ttl\" is shown as text, not taken as the command \">img\": it is misspelt",
        "txt/0.dat:4:2: warning: \"tugi\" is shown as text, not taken as the command \"tugi\": it starts with a blank",
        "txt/0.dat:5:1: warning: \"＞ｅｎｄ\" is shown as text, not taken as the command \">end\": it is written in "
        "full-width "
        "characters",
        "txt/0.dat:6:5: warning: no blank after \">img\": the character \"0\" is taken as the separator and dropped, "
        "so the "
        "line names no picture; write \">img NAME\"",
        "txt/0.dat:7:6: error: picture \"ttl  \" is missing: img/ttl  .jpg",
        "txt/0.dat:7:9: warning: the picture name ends in blanks, which are part of the name: \"ttl  \"",
        "txt/0.dat:8:6: error: picture \"nothere\" is missing: img/nothere.jpg",
        "txt/0.dat:9:6: warning: picture \"TTL\" matches the file img/ttl.jpg only when letter case is ignored, as on "
        "Windows; write the name as the file is named",
        "txt/0.dat:10:6: warning: the picture name \"sub\\pic\" has a backslash, which only Windows takes as a folder "
        "separator; use \"/\"",
        "txt/0.dat:11:3: error: \"--\" must be followed by a whole number of lines, such as \"--3\"; the game ends "
        "here",
        "txt/0.dat:12:3: error: the count after \"--\" is too large (at most 2147483647); the game ends here",
        "txt/0.dat:13:3: warning: byte 0x82 is not valid in Shift-JIS (code page 932) and shows as \"\xEF\xBF\xBD\"",
        "txt/0.dat:14:3: warning: \">p\" with more after it clears the page without waiting for a click; write \">p\" "
        "alone",
        "txt/0.dat:15:3: warning: the count reaches past the end of the scene, which ends at line 17; 3 steps are left "
        "over",
        "txt/0.dat:18:1: warning: this line is never shown: the scene ends at line 17",
        "txt/00.dat:1:2: warning: lines end in a line feed (LF) alone (3 in the file), which the player does not take "
        "as "
        "a line end: they play as one line; save the file with CR LF line ends (miradel-encode writes them from a "
        "UTF-8 "
        "source)",
        "txt/01.dat: warning: the file looks like UTF-16 (big-endian), not Shift-JIS (code page 932); the player "
        "would show it garbled; save it as Shift-JIS",
        "txt/1.dat: error: the scene file holds no line; the game ends when it opens it",
        "txt/2.dat: warning: the file looks like UTF-8, not Shift-JIS (code page 932); the player would show it "
        "garbled; "
        "save it as Shift-JIS",
        "txt/23.dat: error: scene \"23\", which the game opens after 真珠色 on day 3 with a draw of 31 to 99, is "
        "missing: "
        "txt/23.dat",
        "txt/3.dat:2:1: warning: lines 2-31 appear at once and do not fit in the message area of the smallest "
        "supported "
        "screen (768 pixels high), so the first of them are never seen; break them with a \">p\" line",
        "txt/end2.dat:1:1: warning: the ending ends with the choices, but every choice is used up by then: unless "
        "真珠色 "
        "is open no button is left and the game stands still; end it with \">end\" to start a new game",
        "txt/not.dat: warning: the file looks like UTF-16 (little-endian), not Shift-JIS (code page 932); the player "
        "would "
        "show it garbled; save it as Shift-JIS",
        "txt/notes.txt: warning: nothing in the game opens this file; the scenes are opn, not, 0 to 3, end0 to end2 "
        "and 00 "
        "to 33",
        "txt/opn.dat:1:1: error: the opening meets \">end\" before it shows anything, so the game would restart "
        "forever",
        "txt/opn.dat:2:1: warning: this line is never shown: the scene ends at line 1",
    };
    const std::vector<std::string> reported = Reported(check);
    std::string all;
    for (const std::string& line : reported)
        all += line + "\n";
    EXPECT_EQ(reported, expected) << all;
}

// The checker finds files with the player's lookup and says how each matched: a named pipe
// is as missing as for the player, a full-width name folds as Windows folds it, and a game
// folder named in code page 932 bytes is read.
TEST(GameCheck, FindsFilesAsThePlayerDoes)
{
    test::GameFolder outer;
    WriteComplete(outer);
    const fs::path root = PathFromText(outer.Root()) / "\x83\x51\x81\x5b\x83\x80"; // "ゲーム"
    fs::create_directories(root);
    for (const char* entry : { "txt", "img", "bgm.wav" })
        fs::rename(PathFromText(outer.Root()) / entry, root / entry);
    const Text folder = TextFromPath(root) + u"/";
    fs::remove(root / "bgm.wav");
    fs::remove(root / "txt/33.dat");
    ASSERT_EQ(mkfifo((root / "txt/33.dat").c_str(), 0600), 0);
    fs::copy_file(root / "img/ttl.jpg", root / "img/\x82\x81\x82\x82\x82\x83.jpg"); // "ａｂｃ"
    std::ofstream(root / "txt/0.dat", std::ios::binary) << ">img \x82\x60\x82\x61\x82\x62\r\nx\r\n" // "ＡＢＣ"
                                                        << std::string(">img x\0y\r\n", 10);
    std::filesystem::create_symlink("/dev/zero", root / "bgm.wav");

    const GameCheck check = CheckGame(folder, nullptr);
    ASSERT_TRUE(check.folderReadable);
    EXPECT_EQ(Reported(check),
        (std::vector<std::string> {
            "bgm.wav: warning: the music file, which plays for the whole game, is missing: "
            "bgm.wav（通常のファイルではありません (デバイスなど)）",
            "txt/0.dat:1:6: warning: picture \"ＡＢＣ\" matches the file img/ａｂｃ.jpg only when letter case is "
            "ignored, as on Windows; "
            "write the name as the file is named",
            "txt/0.dat:3:6: error: the picture name \"x\u2400y\" holds a NUL byte, which no file name can hold; the "
            "game ends here",
            "txt/33.dat（ファイルではなく名前付きパイプです）: error: scene \"33\", which the game opens after 真珠色 "
            "with a draw of 0 "
            "to 30, and on day 4, is missing: txt/33.dat（ファイルではなく名前付きパイプです）",
        }));
}

// The transitions of the game's table of scenes: the opening leads to day 1, day 1 offers
// each choice with its low and high draw, and a choice scene of day 1 leads to day 2.
TEST(StoryGraph, FollowsTheDaysAndTheDraws)
{
    test::GameFolder game;
    WriteComplete(game);
    game.Remove("txt/33.dat");
    game.WriteFile("txt/end0.dat", "bye\r\n>end\r\n");
    const GameCheck check = CheckGame(game.Root(), nullptr);
    const std::string dot = StoryGraphDot(check);
    EXPECT_NE(dot.find("\"opn\" -> \"0\" [label=\"next day (day 1)\"]"), std::string::npos) << dot;
    EXPECT_NE(dot.find("\"0\" -> \"30\" [label=\"白銀の雲 on day 1, draw 0-30\"]"), std::string::npos);
    EXPECT_NE(dot.find("\"0\" -> \"00\" [label=\"白銀の雲 on day 1, draw 31-99\"]"), std::string::npos);
    EXPECT_NE(dot.find("\"00\" -> \"1\" [label=\"next day (day 2)\"]"), std::string::npos);
    EXPECT_NE(dot.find("\"end0\" -> \"opn\" [label=\">end: new game\"]"), std::string::npos);
    EXPECT_NE(dot.find("\"33\" [label=\"33\\n(missing)\""), std::string::npos);
}

// Seeded games of a complete game whose endings restart it: every game ends in an ending,
// the same seed gives the same games, and only the hidden choice's scenes may stay unseen.
TEST(Playtest, SeededGamesReachTheEndings)
{
    test::GameFolder game;
    WriteComplete(game);
    for (const char* ending : { "end0", "end1", "end2" })
        game.WriteFile(std::string("txt/") + ending + ".dat", "fin\r\n>end\r\n");
    const GameCheck check = CheckGame(game.Root(), nullptr);
    const PlaytestResult first = RunPlaytest(game.Root(), check, 20, 7);
    const PlaytestResult again = RunPlaytest(game.Root(), check, 20, 7);
    EXPECT_EQ(first.outcomes, again.outcomes);
    long long endings = 0;
    for (const auto& [outcome, count] : first.outcomes)
        endings += outcome.starts_with("end") ? count : 0;
    EXPECT_EQ(endings, 20);
    EXPECT_TRUE(first.picturesNeverShown.empty() || first.picturesNeverShown == std::vector<Text> { u"4" });
}

} // namespace
} // namespace miradel::check
