// SPDX-License-Identifier: MIT
#include "game/SceneNames.h"
#include "platform/PictureBox.h"
#include "platform/RuntimeError.h"
#include "support/FormFixture.h"

#include <gtest/gtest.h>
#include <set>

namespace miradel::test {

// The bundled game, played through the window's handlers with chosen draws. A scene or
// picture that is missing or does not decode ends such a game with an error, which fails
// the test with the file's name.
class SampleGameTest : public testing::Test {
protected:
    static constexpr int kLow = 0;
    static constexpr int kHigh = 99;

    SampleGameTest()
        : fixture(TextFromUtf8(MIRADEL_GAME_DIR "/"))
    {
    }

    void SetUp() override { fixture.Start(); }

    Frm& Form() { return fixture.Form(); }

    // Reads the scene on show to its end, a tick or a click at a time, blinking now and then.
    void ReadScene()
    {
        for (int step = 0; step < 20000 && Form().Lbl.Visible(); ++step) {
            opened.insert(Form().game.player.SceneShownName());
            fixture.random.QueueDraw(step % 7 == 0 ? 5 : 90);
            if (step % 2 == 0)
                Form().TimSay_Timer();
            else
                Form().Lbl_Click();
        }
        ASSERT_FALSE(Form().Lbl.Visible()) << "scene never ends: " << Form().game.player.SceneShownName();
    }
    void NextDay()
    {
        ASSERT_TRUE(Form().ComGame.Visible());
        Form().ComGame_Click();
        ReadScene();
    }
    void Choose(int index, int draw)
    {
        ASSERT_TRUE(Form().Com(index).Visible()) << "choice " << index << " not offered";
        fixture.random.Clear();
        fixture.random.QueueDraw(draw);
        Form().Com_Click(index);
        ReadScene();
    }
    // Uses the three choices up in the given order, the last one deciding the ending.
    void UseUp(const std::array<int, 3>& order)
    {
        for (int index : order) {
            NextDay();
            // Days whose own choice is gone show what is left; take the wanted one when offered.
            while (!Form().Com(index).Visible()) {
                const std::string offered = fixture.VisibleChoices();
                ASSERT_FALSE(offered.empty());
                Choose(offered[0] - '0', kHigh);
                NextDay();
            }
            Choose(index, kLow);
        }
        NextDay();
    }

    FormFixture fixture;
    std::set<std::string> opened;
};

TEST_F(SampleGameTest, EveryPictureTheGameShowsDecodes)
{
    const auto decode = [](const std::string& name) {
        const std::string path = MIRADEL_GAME_DIR "/img/" + name + ".jpg";
        EXPECT_NO_THROW(LoadPicture(path, name, { 300, 300 })) << name;
    };
    for (const Text& name : PicturesTheGameShows())
        decode(TextToUtf8(name));
    for (const Text& name : BlinkingPictures())
        decode(TextToUtf8(name) + "_");
}

TEST_F(SampleGameTest, EachEndingPlaysAndStartsANewGame)
{
    ReadScene();
    for (int ending = 0; ending < 3; ++ending) {
        std::array<int, 3> order { (ending + 1) % 3, (ending + 2) % 3, ending };
        UseUp(order);
        EXPECT_TRUE(opened.contains("txt/end" + std::to_string(ending) + ".dat"));
        // The ending ends with ">end": the opening plays again.
        EXPECT_EQ(Form().LblDay.Caption(), u"0");
        EXPECT_EQ(Form().game.pictures.CurrentPicture(), u"ttl");
        ReadScene();
    }
    EXPECT_TRUE(opened.contains("txt/not.dat"));
}

TEST_F(SampleGameTest, SecretChoiceOpensAndPlaysOnEveryDay)
{
    ReadScene();
    NextDay();
    Choose(2, kHigh);
    NextDay();
    Choose(0, kHigh);
    NextDay();
    Choose(1, kHigh);
    ASSERT_TRUE(Form().game.state.secretOpen);
    for (int day = 4; day <= 7; ++day) {
        NextDay();
        Choose(3, day == 4 ? kLow : kHigh);
    }
    for (const char* scene : { "txt/33.dat", "txt/03.dat", "txt/13.dat", "txt/23.dat" })
        EXPECT_TRUE(opened.contains(scene)) << scene;
}

TEST_F(SampleGameTest, EveryDayAndChoiceScenePlays)
{
    ReadScene();
    for (int round = 0; round < 4; ++round) {
        for (int day = 0; day < 4; ++day) {
            NextDay();
            Choose(round < 3 ? round : 0, kHigh);
        }
    }
    for (const Text& scene : ScenesTheGameOpens()) {
        const std::string name = "txt/" + TextToUtf8(scene) + ".dat";
        if (scene.size() == 2 && scene[1] != u'3' && scene[0] != u'3') {
            EXPECT_TRUE(opened.contains(name)) << name;
        }
    }
}

} // namespace miradel::test
