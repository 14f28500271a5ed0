// SPDX-License-Identifier: MIT
#include "platform/ContentFiles.h"

#include "platform/RuntimeError.h"
#include "platform/TextFiles.h"
#include "support/GameFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <tuple>

namespace miradel {
namespace {

// Each test lays out the few files it needs, named as a game copied from Windows may name
// them; the names of the scenes and pictures are the game's own.
class ContentLookupTest : public testing::Test {
protected:
    ContentFile Locate(TextView folder, TextView name, TextView extension) const
    {
        return LocateContentFile(game.Root() + Text(folder), name, extension, game.Root());
    }
    std::filesystem::path OnDisk(const std::string& relative) const { return game.Path() / relative; }

    test::GameFolder game;
};

// Each row: the files of a game folder of its own, the name the game asks for, and the file
// found, how it matched and how messages name it (as the game asked for it). The exact name
// wins; otherwise the one name that differs only in letter case, full-width letters and
// folders included, as on Windows; a backslash separates folders, a doubled one too.
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
        { { "Img/TTL.jpg" }, u"img/", u"ttl", u".jpg", "Img/TTL.jpg", IgnoringCase, "img/ttl.jpg" },
        { { "BGM.WAV" }, u"", u"bgm", u".wav", "BGM.WAV", IgnoringCase, "bgm.wav" },
        // "Ａ" (U+FF21) on disk, "ａ" asked for.
        { { "img/\xef\xbc\xa1.jpg" }, u"img/", u"\uff41", u".jpg", "img/\xef\xbc\xa1.jpg", IgnoringCase,
            "img/\xef\xbd\x81.jpg" },
        { { "img/chara/smile.jpg" }, u"img/", u"chara\\smile", u".jpg", "img/chara/smile.jpg", Exact,
            "img/chara/smile.jpg" },
        { { "img/chara/smile.jpg" }, u"img/", u"chara\\\\smile", u".jpg", "img/chara/smile.jpg", Exact,
            "img/chara/smile.jpg" },
        { { "img/Faces/Sub/WINK.jpg" }, u"img/", u"faces\\sub\\wink", u".jpg", "img/Faces/Sub/WINK.jpg", IgnoringCase,
            "img/faces/sub/wink.jpg" },
        // "キャラ\笑顔", the file's extension in capitals.
        { { "img/\xe3\x82\xad\xe3\x83\xa3\xe3\x83\xa9/\xe7\xac\x91\xe9\xa1\x94.JPG" }, u"img/",
            u"\u30ad\u30e3\u30e9\\\u7b11\u9854", u".jpg",
            "img/\xe3\x82\xad\xe3\x83\xa3\xe3\x83\xa9/\xe7\xac\x91\xe9\xa1\x94.JPG", IgnoringCase,
            "img/\xe3\x82\xad\xe3\x83\xa3\xe3\x83\xa9/\xe7\xac\x91\xe9\xa1\x94.jpg" },
        // Truly missing: the plain name, folders that are not there included.
        { { "txt/opn.dat" }, u"txt/", u"end0", u".dat", "txt/end0.dat", Missing, "txt/end0.dat" },
        { {}, u"img/", u"sub\\ttl", u".jpg", "img/sub/ttl.jpg", Missing, "img/sub/ttl.jpg" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(TextToUtf8(row.name));
        test::GameFolder game;
        for (const std::string& file : row.files)
            game.WriteFile(file, "x");
        const ContentFile file
            = LocateContentFile(game.Root() + Text(row.folder), row.name, row.extension, game.Root());
        EXPECT_EQ(file.path, game.Path() / row.found);
        EXPECT_EQ(file.match, row.match);
        EXPECT_EQ(file.shownName, row.shown);
    }
}

TEST_F(ContentLookupTest, OnlyARegularFileIsFound)
{
    std::filesystem::create_directories(OnDisk("txt/opn.dat"));
    std::filesystem::create_directories(OnDisk("img"));
    ASSERT_EQ(mkfifo(OnDisk("img/ttl.jpg").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", OnDisk("bgm.wav"));
    game.WriteFile("img/0.jpg", "jpg");
    std::filesystem::create_symlink("0.jpg", OnDisk("img/1.jpg"));

    for (const auto& [folder, name, extension] :
        { std::tuple { u"txt/", u"opn", u".dat" }, { u"img/", u"ttl", u".jpg" }, { u"", u"bgm", u".wav" } }) {
        const ContentFile file = Locate(folder, name, extension);
        EXPECT_EQ(file.match, ContentMatch::Missing) << file.shownName;
        EXPECT_FALSE(file.Found());
        // The message still says what is there.
        EXPECT_NE(file.shownName.find("（"), std::string::npos) << file.shownName;
    }
    // A link to a regular file is that file.
    EXPECT_EQ(Locate(u"img/", u"1", u".jpg").match, ContentMatch::Exact);
    OpenFailure failure = OpenFailure::None;
    EXPECT_LT(OpenContentFile(OnDisk("img/ttl.jpg"), failure), 0);
    EXPECT_EQ(failure, OpenFailure::Missing);
}

TEST_F(ContentLookupTest, RefusesToGuessBetweenTwoMatches)
{
    game.WriteFile("txt/Opn.dat", "a");
    game.WriteFile("txt/OPN.dat", "b");
    std::filesystem::create_directories(game.Path() / "Img/x");
    std::filesystem::create_directories(game.Path() / "IMG/x");

    const ContentFile scene = Locate(u"txt/", u"opn", u".dat");
    EXPECT_EQ(scene.match, ContentMatch::Ambiguous);
    EXPECT_EQ(scene.path, OnDisk("txt/opn.dat"));
    EXPECT_NE(scene.shownName.find("txt/opn.dat"), std::string::npos);
    EXPECT_NE(scene.shownName.find("txt/OPN.dat"), std::string::npos) << scene.shownName;
    EXPECT_NE(scene.shownName.find("txt/Opn.dat"), std::string::npos) << scene.shownName;

    // Two folders that match are no better: the rest of the path is not looked for.
    const ContentFile picture = Locate(u"img/", u"x\\ttl", u".jpg");
    EXPECT_EQ(picture.path, OnDisk("img/x/ttl.jpg"));
    EXPECT_NE(picture.shownName.find("IMG"), std::string::npos) << picture.shownName;

    // Opening it stays the ordinary missing-file error, naming the candidates.
    TextFiles files;
    try {
        files.Open(1, scene.path, scene.shownName);
        ADD_FAILURE() << "an ambiguous name was opened";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Message(), "シナリオファイルが見つかりません");
        EXPECT_EQ(error.File(), scene.shownName);
    }
}

TEST_F(ContentLookupTest, FolderOutsideTheGameIsTakenAsItIs)
{
    game.WriteFile("other/A.dat", "a");
    // A folder that is not below the game folder is the caller's own: only the name in it
    // comes from content.
    const Text folder = game.Root() + u"other/";
    const ContentFile file = LocateContentFile(folder, u"a", u".dat", u"/nowhere/");
    EXPECT_EQ(file.path, OnDisk("other/A.dat"));
    EXPECT_EQ(file.shownName, TextToUtf8(folder) + "a.dat");
}

TEST_F(ContentLookupTest, NamesAsAWindowsArchiveLeavesThem)
{
    // A game folder and files named in code page 932 bytes, as unzip leaves them: the folder
    // "ゲーム", the picture "テスト" and "ａｂｃ" (full-width).
    const std::string folderBytes = "\x83\x51\x81\x5b\x83\x80";
    game.WriteFile(folderBytes + "/img/\x83\x65\x83\x58\x83\x67.jpg", "jpg");
    game.WriteFile(folderBytes + "/img/\x82\x81\x82\x82\x82\x83.jpg", "jpg");
    game.WriteFile(folderBytes + "/txt/opn.dat", "a");
    game.WriteFile("latin\xe9/bgm.wav", "RIFF");
    const Text folder = TextFromUtf8(game.Path().native() + "/" + folderBytes + "/");

    const ContentFile scene = LocateContentFile(folder + u"txt/", u"opn", u".dat", folder);
    EXPECT_EQ(scene.match, ContentMatch::Exact);
    EXPECT_EQ(scene.path, game.Path() / folderBytes / "txt/opn.dat");
    const ContentFile exact = LocateContentFile(folder + u"img/", u"\u30c6\u30b9\u30c8", u".jpg", folder);
    EXPECT_EQ(exact.match, ContentMatch::Exact);
    EXPECT_EQ(exact.path, game.Path() / folderBytes / "img/\x83\x65\x83\x58\x83\x67.jpg");
    const ContentFile folded = LocateContentFile(folder + u"img/", u"\uff21\uff22\uff23", u".jpg", folder);
    EXPECT_EQ(folded.match, ContentMatch::IgnoringCase);
    EXPECT_EQ(folded.path, game.Path() / folderBytes / "img/\x82\x81\x82\x82\x82\x83.jpg");
    // Once the name is there exactly too, it wins over the one that differs in case.
    game.WriteFile(folderBytes + "/img/\x82\x60\x82\x61\x82\x62.jpg", "jpg"); // "ＡＢＣ"
    const ContentFile exactToo = LocateContentFile(folder + u"img/", u"\uff21\uff22\uff23", u".jpg", folder);
    EXPECT_EQ(exactToo.match, ContentMatch::Exact);
    EXPECT_EQ(exactToo.path, game.Path() / folderBytes / "img/\x82\x60\x82\x61\x82\x62.jpg");

    const Text latin = TextFromUtf8(game.Path().native() + "/latin\xe9/");
    EXPECT_EQ(TextToUtf8(latin), game.Path().native() + "/latin\xe9/");
    EXPECT_EQ(LocateContentFile(latin, u"bgm", u".wav", latin).match, ContentMatch::Exact);
}

} // namespace
} // namespace miradel
