// SPDX-License-Identifier: MIT
#include "platform/ContentFiles.h"

#include "support/GameFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <tuple>
#include <utility>

namespace miradel {
namespace {

// Entries: "name/" a folder, "name|" a named pipe, "name -> target" a link. The exact name wins,
// else the one name that differs only in letter case (full-width letters and folders too), as
// on Windows; entry names that are not UTF-8 are code page 932. Only a regular file is found.
TEST(ContentLookup, FindsTheFileAsWindowsWould)
{
    using enum ContentMatch;
    const struct {
        std::vector<std::string> files;
        TextView folder, name, extension;
        std::string found;
        ContentMatch match;
        std::string shown;
    } rows[] = {
        { { "txt/opn.dat", "txt/OPN.dat" }, u"txt/", u"opn", u".dat", "txt/opn.dat", Exact, "txt/opn.dat" },
        { { "TXT/Opn.DAT" }, u"txt/", u"opn", u".dat", "TXT/Opn.DAT", IgnoringCase, "txt/opn.dat" },
        { { "BGM.WAV" }, u"", u"bgm", u".wav", "BGM.WAV", IgnoringCase, "bgm.wav" },
        { { "img/Ａ.jpg" }, u"img/", u"ａ", u".jpg", "img/Ａ.jpg", IgnoringCase, "img/ａ.jpg" },
        { { "img/chara/smile.jpg" }, u"img/", u"chara\\\\smile", u".jpg", "img/chara/smile.jpg", Exact,
            "img/chara/smile.jpg" },
        { { "img/Faces/Sub/WINK.jpg" }, u"img/", u"faces\\sub\\wink", u".jpg", "img/Faces/Sub/WINK.jpg", IgnoringCase,
            "img/faces/sub/wink.jpg" },
        { { "img/キャラ/笑顔.JPG" }, u"img/", u"キャラ\\笑顔", u".jpg", "img/キャラ/笑顔.JPG", IgnoringCase,
            "img/キャラ/笑顔.jpg" },
        // Named in code page 932, as unzip leaves a Windows archive; the exact "ＡＢＣ" wins.
        { { "img/\x83\x65\x83\x58\x83\x67.jpg" }, u"img/", u"テスト", u".jpg", "img/\x83\x65\x83\x58\x83\x67.jpg",
            Exact, "img/テスト.jpg" },
        { { "img/\x82\x81\x82\x82\x82\x83.jpg" }, u"img/", u"ＡＢＣ", u".jpg", "img/\x82\x81\x82\x82\x82\x83.jpg",
            IgnoringCase, "img/ＡＢＣ.jpg" },
        { { "img/\x82\x81\x82\x82\x82\x83.jpg", "img/\x82\x60\x82\x61\x82\x62.jpg" }, u"img/", u"ＡＢＣ", u".jpg",
            "img/\x82\x60\x82\x61\x82\x62.jpg", Exact, "img/ＡＢＣ.jpg" },
        // Two that match are no better than none, for folders too.
        { { "txt/Opn.dat", "txt/OPN.dat" }, u"txt/", u"opn", u".dat", "txt/opn.dat", Ambiguous,
            "txt/opn.dat（大文字と小文字だけが違う候補が 2 つあり、どれとも決められません: txt/OPN.dat txt/Opn.dat）" },
        { { "Img/x/", "IMG/x/" }, u"img/", u"x\\ttl", u".jpg", "img/x/ttl.jpg", Ambiguous,
            "img/x/ttl.jpg（大文字と小文字だけが違う候補が 2 つあり、どれとも決められません: IMG Img）" },
        { { "txt/opn.dat" }, u"txt/", u"end0", u".dat", "txt/end0.dat", Missing, "txt/end0.dat" },
        { {}, u"img/", u"sub\\ttl", u".jpg", "img/sub/ttl.jpg", Missing, "img/sub/ttl.jpg" },
        { { "txt/opn.dat/" }, u"txt/", u"opn", u".dat", "txt/opn.dat", Missing,
            "txt/opn.dat（ファイルではなくフォルダです）" },
        { { "img/ttl.jpg|" }, u"img/", u"ttl", u".jpg", "img/ttl.jpg", Missing,
            "img/ttl.jpg（ファイルではなく名前付きパイプです）" },
        { { "bgm.wav -> /dev/zero" }, u"", u"bgm", u".wav", "bgm.wav", Missing,
            "bgm.wav（通常のファイルではありません (デバイスなど)）" },
        { { "img/0.jpg", "img/1.jpg -> 0.jpg" }, u"img/", u"1", u".jpg", "img/1.jpg", Exact, "img/1.jpg" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(TextToUtf8(row.name));
        test::GameFolder temporary;
        // The game folder itself named as a Windows archive leaves it ("ゲーム"), and in Latin-1.
        const std::filesystem::path game = temporary.Path() / "\x83\x51\x81\x5b\x83\x80 caf\xe9";
        for (const std::string& file : row.files) {
            const std::filesystem::path path = game / file.substr(0, file.find_first_of("| "));
            std::filesystem::create_directories(file.ends_with('/') ? path : path.parent_path());
            if (file.ends_with('|'))
                ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
            else if (const auto arrow = file.find(" -> "); arrow != std::string::npos)
                std::filesystem::create_symlink(file.substr(arrow + 4), path);
            else if (!file.ends_with('/'))
                std::ofstream(path) << "x";
        }
        const Text root = TextFromPath(game) + u"/";
        const ContentFile found = LocateContentFile(root + Text(row.folder), row.name, row.extension, root);
        EXPECT_EQ(
            std::tuple(found.path, found.match, found.shownName), std::tuple(game / row.found, row.match, row.shown));
    }
}

// Names are bytes. UTF-8 becomes its characters; any other byte (code page 932 and Latin-1
// names, sequences cut short, overlong, an encoded surrogate, beyond U+10FFFF, a lone
// continuation) becomes a unit of its own that no character uses, and comes back unchanged.
TEST(ContentLookup, NamesMakeTheRoundTripThroughTextAsBytes)
{
    const std::pair<std::string, Text> rows[] = {
        { "", u"" },
        { "txt/opn.dat", u"txt/opn.dat" },
        { "\xe7\xa9\xba\xe7\xb9\x94\xe3\x82\x8a", u"空織り" },
        { "\xf0\x9f\x8c\x99 \xc3\xa9", u"\U0001F319 é" },
        { "\x83\x51\x81\x5b\x83\x80", u"\xdc83Q\xdc81[\xdc83\xdc80" },
        { "caf\xe9", u"caf\xdce9" },
        { "\xe3\x81", u"\xdce3\xdc81" },
        { "\xc0\xaf", u"\xdcc0\xdcaf" },
        { "\xed\xa0\x80", u"\xdced\xdca0\xdc80" },
        { "\xf4\x90\x80\x80", u"\xdcf4\xdc90\xdc80\xdc80" },
        { "\x80x", u"\xdc80x" },
    };
    for (const auto& [bytes, text] : rows) {
        EXPECT_EQ(TextFromUtf8(bytes), text) << testing::PrintToString(bytes);
        EXPECT_EQ(TextToUtf8(text), bytes);
    }
}

// A folder outside the game is the caller's own: only the name in it comes from content.
TEST(ContentLookup, FolderOutsideTheGameIsTakenAsItIs)
{
    test::GameFolder game;
    game.WriteFile("other/A.dat", "a");
    const Text folder = game.Root() + u"other/";
    const ContentFile file = LocateContentFile(folder, u"a", u".dat", u"/nowhere/");
    EXPECT_EQ(file.path, game.Path() / "other/A.dat");
    EXPECT_EQ(file.shownName, TextToUtf8(folder) + "a.dat");
}

} // namespace
} // namespace miradel
