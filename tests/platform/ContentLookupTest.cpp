#include "platform/ContentFiles.h"

#include "platform/RuntimeError.h"
#include "platform/TextFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace miradel {
namespace {

// A game folder of the test's own, removed with its files.
class ScratchGame {
public:
    ScratchGame()
        : m_path(std::filesystem::temp_directory_path() / ("miradel-lookup-" + std::to_string(getpid())))
    {
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~ScratchGame()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchGame(const ScratchGame&) = delete;
    ScratchGame& operator=(const ScratchGame&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    Text Folder() const { return TextFromUtf8(m_path.string() + "/"); }
    void WriteFile(const std::string& relative, std::string_view bytes) const
    {
        const std::filesystem::path path = m_path / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

private:
    std::filesystem::path m_path;
};

// Each test lays out the few files it needs, named as a game copied from Windows may name
// them; the names of the scenes and pictures are the game's own.
class ContentLookupTest : public testing::Test {
protected:
    ContentFile Locate(TextView folder, TextView name, TextView extension) const
    {
        return LocateContentFile(game.Folder() + Text(folder), name, extension, game.Folder());
    }
    std::filesystem::path OnDisk(const std::string& relative) const { return game.Path() / relative; }

    ScratchGame game;
};

TEST_F(ContentLookupTest, ExactNameWins)
{
    game.WriteFile("txt/opn.dat", "a");
    game.WriteFile("txt/OPN.dat", "b");
    const ContentFile file = Locate(u"txt/", u"opn", u".dat");
    EXPECT_EQ(file.path, OnDisk("txt/opn.dat"));
    EXPECT_EQ(file.shownName, "txt/opn.dat");
}

TEST_F(ContentLookupTest, FallsBackToTheOneNameThatDiffersOnlyInCase)
{
    // As unpacked from a Windows archive: the folders, too, in other letter case.
    game.WriteFile("TXT/Opn.DAT", "a");
    game.WriteFile("Img/TTL.jpg", "jpg");
    game.WriteFile("BGM.WAV", "RIFF");
    // Full-width letters fold too, as they do on Windows.
    game.WriteFile("img2/\xef\xbc\xa1.jpg", "jpg"); // "Ａ" (U+FF21) in UTF-8

    EXPECT_EQ(Locate(u"txt/", u"opn", u".dat").path, OnDisk("TXT/Opn.DAT"));
    EXPECT_EQ(Locate(u"img/", u"ttl", u".jpg").path, OnDisk("Img/TTL.jpg"));
    EXPECT_EQ(Locate(u"", u"bgm", u".wav").path, OnDisk("BGM.WAV"));
    EXPECT_EQ(Locate(u"img2/", u"\uff41", u".jpg").path, OnDisk("img2/\xef\xbc\xa1.jpg")); // "ａ"
    // Messages name the file as the game asked for it.
    EXPECT_EQ(Locate(u"txt/", u"opn", u".dat").shownName, "txt/opn.dat");
}

TEST_F(ContentLookupTest, BackslashSeparatesFolders)
{
    game.WriteFile("img/chara/smile.jpg", "jpg");
    game.WriteFile("img/Faces/Sub/WINK.jpg", "jpg");
    // "キャラ\笑顔": Japanese folder and file names, the file's case-folded extension.
    game.WriteFile("img/\xe3\x82\xad\xe3\x83\xa3\xe3\x83\xa9/\xe7\xac\x91\xe9\xa1\x94.JPG", "jpg");

    const ContentFile smile = Locate(u"img/", u"chara\\smile", u".jpg");
    EXPECT_EQ(smile.path, OnDisk("img/chara/smile.jpg"));
    EXPECT_EQ(smile.shownName, "img/chara/smile.jpg");
    EXPECT_EQ(Locate(u"img/", u"faces\\sub\\wink", u".jpg").path, OnDisk("img/Faces/Sub/WINK.jpg"));
    EXPECT_EQ(Locate(u"img/", u"\u30ad\u30e3\u30e9\\\u7b11\u9854", u".jpg").path,
        OnDisk("img/\xe3\x82\xad\xe3\x83\xa3\xe3\x83\xa9/\xe7\xac\x91\xe9\xa1\x94.JPG"));
    // A doubled separator is one.
    EXPECT_EQ(Locate(u"img/", u"chara\\\\smile", u".jpg").path, OnDisk("img/chara/smile.jpg"));
}

TEST_F(ContentLookupTest, RefusesToGuessBetweenTwoMatches)
{
    game.WriteFile("txt/Opn.dat", "a");
    game.WriteFile("txt/OPN.dat", "b");
    std::filesystem::create_directories(game.Path() / "Img/x");
    std::filesystem::create_directories(game.Path() / "IMG/x");

    const ContentFile scene = Locate(u"txt/", u"opn", u".dat");
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

TEST_F(ContentLookupTest, TrulyMissingFileKeepsItsPlainName)
{
    game.WriteFile("txt/opn.dat", "a");
    const ContentFile missing = Locate(u"txt/", u"end0", u".dat");
    EXPECT_EQ(missing.path, OnDisk("txt/end0.dat"));
    EXPECT_EQ(missing.shownName, "txt/end0.dat");
    const ContentFile noFolder = Locate(u"img/", u"sub\\ttl", u".jpg");
    EXPECT_EQ(noFolder.path, OnDisk("img/sub/ttl.jpg"));
    EXPECT_EQ(noFolder.shownName, "img/sub/ttl.jpg");
}

TEST_F(ContentLookupTest, FolderOutsideTheGameIsTakenAsItIs)
{
    game.WriteFile("other/A.dat", "a");
    // A folder that is not below the game folder is the caller's own: only the name in it
    // comes from content.
    const Text folder = game.Folder() + u"other/";
    const ContentFile file = LocateContentFile(folder, u"a", u".dat", u"/nowhere/");
    EXPECT_EQ(file.path, OnDisk("other/A.dat"));
    EXPECT_EQ(file.shownName, TextToUtf8(folder) + "a.dat");
}

} // namespace
} // namespace miradel
