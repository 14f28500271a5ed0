// SPDX-License-Identifier: MIT
#include "web/PageContent.h"

#include <gtest/gtest.h>

namespace miradel {
namespace {

TEST(PageContent, PathsAsTheDesktopJoinsThem)
{
    EXPECT_EQ(ContentPath(u"txt/", u"opn", u".dat"), "txt/opn.dat");
    // Names written on Windows separate folders with a backslash; empty components go.
    EXPECT_EQ(ContentPath(u"img/", u"sub\\pic", u".jpg"), "img/sub/pic.jpg");
    EXPECT_EQ(ContentPath(u"img/", u"/a//b", u".jpg"), "img/a/b.jpg");
    EXPECT_EQ(ContentPath(u"", u"bgm", u".wav"), "bgm.wav");
}

// A server has no listing: the name as written first, then its folders and its file name each
// in lower and in upper case, never the same address twice.
TEST(PageContent, AServerIsAskedForTheNameAsWrittenThenInEachCase)
{
    EXPECT_EQ(ServerCandidates("txt/opn.dat"),
        (std::vector<std::string> { "txt/opn.dat", "TXT/OPN.DAT", "txt/OPN.DAT", "TXT/opn.dat" }));
    const std::vector<std::string> mixed = ServerCandidates("img/Ttl.jpg");
    ASSERT_EQ(mixed.size(), 6u);
    EXPECT_EQ(mixed[0], "img/Ttl.jpg");
    EXPECT_EQ(mixed[1], "img/ttl.jpg");
    EXPECT_EQ(mixed[2], "IMG/TTL.JPG");
    EXPECT_EQ(ServerCandidates("bgm.wav"), (std::vector<std::string> { "bgm.wav", "BGM.WAV" }));
}

TEST(PageContent, OnAServerTheFolderComesFromThePage)
{
    const FileSource source = GameLocation::OnServer("games/one").SourceOf("txt/opn.dat");
    ASSERT_FALSE(source.addresses.empty());
    EXPECT_EQ(source.addresses.front(), "games/one/txt/opn.dat");
    EXPECT_EQ(source.pickedIndex, -1);
}

// A picked folder lists its files: the exact name, else the one file that matches ignoring
// case; two such files are no match, as on the desktop.
TEST(PageContent, APickedFolderIsMatchedIgnoringCaseButNotAmbiguously)
{
    const GameLocation picked = GameLocation::Picked({ "Game/TXT/OPN.DAT", "Game/img/ttl.jpg", "Game/img/Ttl.jpg",
        "Game/img/A.jpg", "Game/img/a.JPG", "Game/ＢＧＭ.wav" });
    EXPECT_EQ(picked.SourceOf("txt/opn.dat").pickedIndex, 0);
    EXPECT_EQ(picked.SourceOf("img/ttl.jpg").pickedIndex, 1);
    EXPECT_EQ(picked.SourceOf("img/TTL.jpg").pickedIndex, -1);
    EXPECT_EQ(picked.SourceOf("img/a.jpg").pickedIndex, -1);
    EXPECT_EQ(picked.SourceOf("ｂｇｍ.WAV").pickedIndex, 5);
    EXPECT_EQ(picked.SourceOf("txt/none.dat").pickedIndex, -1);
    EXPECT_TRUE(picked.SourceOf("txt/opn.dat").addresses.empty());
    EXPECT_EQ(picked.FolderName(), "Game/");
}

// A player may pick the folder around the game: the game is where the opening scene lies.
TEST(PageContent, APickedFolderAroundTheGameFindsIt)
{
    const GameLocation picked = GameLocation::Picked(
        { "Downloads/notes.txt", "Downloads/Game/txt/opn.dat", "Downloads/Game/old/txt/opn.dat" });
    EXPECT_EQ(picked.SourceOf("txt/opn.dat").pickedIndex, 1);
    EXPECT_EQ(picked.FolderName(), "Downloads/Game/");
}

} // namespace
} // namespace miradel
