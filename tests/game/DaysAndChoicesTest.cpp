// SPDX-License-Identifier: MIT
#include "game/SceneNames.h"
#include "platform/RuntimeError.h"
#include "support/HeadlessFixture.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace miradel::test {

// The buttons driven through the game's handlers over the headless window. Every scene is one line, so a click
// ends it; draws are queued per test (a low draw is 0 to 30).
class DaysAndChoicesTest : public testing::Test {
protected:
    static constexpr int kLow = 30;
    static constexpr int kHigh = 31;

    void SetUp() override
    {
        fixture.WriteAllPictures();
        fixture.WriteAllScenes();
        fixture.Start();
        Form().Lbl_Click();
    }

    Game& Form() { return fixture.game; }
    GameState& State() { return Form().state; }
    std::string Picture() { return TextToUtf8(Form().pictures.CurrentPicture()); }
    std::string DayShown() { return std::to_string(fixture.view.day.value_or(255)); }
    std::string Scene() { return Form().player.SceneShownName(); }

    void NextDay()
    {
        Form().ComGame_Click();
        Form().Lbl_Click();
    }
    void Choose(int index, int draw)
    {
        fixture.random.QueueDraw(draw);
        Form().Com_Click(index);
        Form().Lbl_Click();
    }

    HeadlessFixture fixture;
};

TEST_F(DaysAndChoicesTest, NewGameShowsTheTitleAndOpening)
{
    EXPECT_EQ(Picture(), "ttl");
    EXPECT_EQ(Scene(), "txt/opn.dat");
    EXPECT_EQ(fixture.Offer(), "next day");
}

TEST_F(DaysAndChoicesTest, DaysGoRoundOneToFour)
{
    const char* const expected[][2] = { { "1", "0" }, { "2", "1" }, { "3", "2" }, { "4", "3" }, { "1", "0" } };
    for (const auto& [day, scene] : expected) {
        Form().ComGame_Click();
        EXPECT_EQ(DayShown(), day);
        EXPECT_EQ(Picture(), scene);
        EXPECT_EQ(Scene(), std::string("txt/") + scene + ".dat");
        Form().Lbl_Click();
        EXPECT_EQ(fixture.Offer(), "choices");
        EXPECT_EQ(fixture.VisibleChoices(), "012");
    }
}

TEST_F(DaysAndChoicesTest, HighDrawOpensTheDaysSceneAndKeepsTheChoice)
{
    NextDay();
    NextDay();
    fixture.random.QueueDraw(kHigh);
    Form().Com_Click(2);
    EXPECT_EQ(Picture(), "2");
    EXPECT_EQ(Scene(), "txt/12.dat");
    EXPECT_TRUE(State().SlotFree(3));
    Form().Lbl_Click();
    EXPECT_EQ(fixture.Offer(), "next day");
}

TEST_F(DaysAndChoicesTest, LowDrawUsesTheChoiceUp)
{
    NextDay();
    NextDay();
    NextDay(); // day 3
    fixture.random.QueueDraw(kLow);
    Form().Com_Click(0);
    EXPECT_EQ(Picture(), "0");
    EXPECT_EQ(Scene(), "txt/30.dat");
    EXPECT_FALSE(State().SlotFree(1));
    EXPECT_EQ(State().lastChoice, 0);
    // Day 1 now shows the title and opens "not"; the rest of the choices stay on offer.
    Form().Lbl_Click();
    NextDay(); // day 4
    EXPECT_EQ(Scene(), "txt/3.dat");
    Choose(1, kHigh);
    NextDay(); // day 1
    EXPECT_EQ(Picture(), "ttl");
    EXPECT_EQ(Scene(), "txt/not.dat");
    EXPECT_EQ(fixture.VisibleChoices(), "12");
}

TEST_F(DaysAndChoicesTest, DayFourOpensTheThirtiesOnEitherDraw)
{
    for (int i = 0; i < 4; ++i)
        NextDay();
    fixture.random.QueueDraw(kHigh);
    Form().Com_Click(1);
    EXPECT_EQ(Scene(), "txt/31.dat");
    EXPECT_TRUE(State().SlotFree(2));
    EXPECT_EQ(State().dayChoices, (std::array<std::uint8_t, 3> { 0, 0, 0 }));
    Form().Lbl_Click();
    NextDay();
    NextDay();
    NextDay();
    NextDay(); // day 4 again
    Choose(1, kLow);
    EXPECT_FALSE(State().SlotFree(2));
    EXPECT_EQ(State().lastChoice, 1);
}

TEST_F(DaysAndChoicesTest, FourthChoiceOpensAfterNothingSilverGoldAndUsesNothingUp)
{
    NextDay();
    Choose(2, kHigh);
    NextDay();
    Choose(0, kHigh);
    NextDay();
    EXPECT_EQ(fixture.VisibleChoices(), "012");
    Choose(1, kHigh);
    EXPECT_TRUE(State().secretOpen);
    NextDay(); // day 4
    EXPECT_EQ(fixture.VisibleChoices(), "0123");

    fixture.random.QueueDraw(kHigh);
    Form().Com_Click(3);
    EXPECT_EQ(Picture(), "4");
    EXPECT_EQ(Scene(), "txt/33.dat");
    Form().Lbl_Click();
    NextDay(); // day 1
    fixture.random.QueueDraw(kHigh);
    Form().Com_Click(3);
    EXPECT_EQ(Scene(), "txt/03.dat");
    Form().Lbl_Click();
    NextDay(); // day 2
    fixture.random.QueueDraw(kLow);
    Form().Com_Click(3);
    EXPECT_EQ(Scene(), "txt/33.dat");
    EXPECT_TRUE(State().SlotFree(1) && State().SlotFree(2) && State().SlotFree(3));
    EXPECT_EQ(State().dayChoices, (std::array<std::uint8_t, 3> { 2, 0, 1 }));
}

TEST_F(DaysAndChoicesTest, SecretTestReadsEntriesLeftByAnEarlierGame)
{
    NextDay();
    Choose(0, kHigh);
    NextDay();
    Choose(0, kHigh);
    NextDay();
    Choose(1, kHigh);
    EXPECT_FALSE(State().secretOpen);
    // A new game keeps the entries for days 2 and 3 and closes the fourth choice.
    Form().NewGame();
    Form().Lbl_Click();
    EXPECT_FALSE(State().secretOpen);
    EXPECT_EQ(State().dayChoices, (std::array<std::uint8_t, 3> { 0, 0, 1 }));
    NextDay();
    Choose(2, kHigh);
    EXPECT_TRUE(State().secretOpen);
}

TEST_F(DaysAndChoicesTest, EndingComesOnWhateverDayTheLastChoiceIsUsed)
{
    NextDay();
    Choose(0, kLow);
    NextDay(); // day 2
    Choose(2, kLow);
    NextDay(); // day 3
    Choose(1, kLow);
    NextDay(); // day 4: all used
    EXPECT_EQ(DayShown(), "4");
    EXPECT_EQ(Picture(), "end1");
    EXPECT_EQ(Scene(), "txt/end1.dat");
    // An ending that does not restart offers the choices with no regular button.
    EXPECT_EQ(fixture.VisibleChoices(), "");
    EXPECT_FALSE(fixture.view.nextDayVisible);
    EXPECT_FALSE(fixture.view.messageVisible);
    // Every later press opens the ending again.
    NextDay();
    EXPECT_EQ(Scene(), "txt/end1.dat");
}

TEST_F(DaysAndChoicesTest, EndingOnTheDayAfterTheLastIsUsedUp)
{
    NextDay();
    Choose(0, kLow);
    NextDay();
    Choose(1, kLow);
    NextDay();
    Choose(2, kHigh);
    NextDay();
    Choose(2, kHigh);
    NextDay(); // day 1, used: "not"
    EXPECT_EQ(Scene(), "txt/not.dat");
    Choose(2, kHigh);
    NextDay(); // day 2, used: "not"
    Choose(2, kLow);
    Form().ComGame_Click();
    EXPECT_EQ(DayShown(), "3");
    EXPECT_EQ(Picture(), "end2");
    EXPECT_EQ(Scene(), "txt/end2.dat");
}

TEST_F(DaysAndChoicesTest, NewGameFreesTheSlotsButKeepsTheLastChoice)
{
    NextDay();
    Choose(1, kLow);
    Form().NewGame();
    EXPECT_TRUE(State().SlotFree(1) && State().SlotFree(2) && State().SlotFree(3));
    EXPECT_EQ(State().day, 0);
    EXPECT_TRUE(State().dayPending);
    EXPECT_EQ(State().lastChoice, 1);
    EXPECT_EQ(DayShown(), "0");
}

TEST_F(DaysAndChoicesTest, NoButtonWhenEverythingIsUsedAndTheSecretIsClosed)
{
    for (auto& slot : State().choiceSlots)
        slot.reset();
    Form().ShowChoices(true);
    EXPECT_EQ(fixture.VisibleChoices(), "");
    State().secretOpen = true;
    Form().ShowChoices(true);
    EXPECT_EQ(fixture.VisibleChoices(), "3");
    Form().ShowChoices(false);
    EXPECT_EQ(fixture.VisibleChoices(), "");
}

// A long seeded game through the buttons a player could press, with the endings restarting:
// after every event exactly one offer is on show, the day stays within 0..4, a used choice
// is never offered, no choice is offered on day 0, and every name opened is the game's own.
TEST(DaysAndChoicesLongGame, InvariantsHoldAfterEveryEvent)
{
    HeadlessFixture fixture;
    fixture.WriteAllPictures();
    fixture.WriteAllScenes();
    for (const char* ending : { "end0", "end1", "end2" })
        fixture.WriteScene(ending, { "おしまい", ">end" });
    fixture.WriteScene("22", { "ふりだし", ">loop" });
    fixture.random.SetDefault(0.5);
    fixture.Start();
    Game& form = fixture.game;

    std::mt19937 events(20261207);
    const auto& scenes = ScenesTheGameOpens();
    const auto& pictures = PicturesTheGameShows();
    int endings = 0;
    for (int event = 0; event < 5000; ++event) {
        fixture.random.Queue(std::uniform_real_distribution<double>(0, 1)(events));
        if (fixture.view.messageVisible) {
            if (events() % 3 == 0)
                form.TimSay_Timer();
            else
                form.Lbl_Click();
        } else if (fixture.view.nextDayVisible) {
            form.ComGame_Click();
            endings += BeginsWith(form.pictures.CurrentPicture(), u"end");
        } else {
            const std::string offered = fixture.VisibleChoices();
            ASSERT_FALSE(offered.empty()) << "stuck at event " << event;
            form.Com_Click(offered[events() % offered.size()] - '0');
        }
        const std::string offer = fixture.Offer();
        ASSERT_TRUE(offer == "scene" || offer == "next day" || offer == "choices") << offer << " at event " << event;
        ASSERT_LE(form.state.day, 4);
        if (offer == "choices") {
            ASSERT_NE(form.state.day, 0);
        }
        for (int i = 0; i < 3; ++i)
            ASSERT_FALSE(fixture.view.choiceVisible[static_cast<std::size_t>(i)] && !form.state.SlotFree(i + 1));
        const Text scene
            = TextFromUtf8(form.player.SceneShownName().substr(4, form.player.SceneShownName().size() - 8));
        ASSERT_NE(std::find(scenes.begin(), scenes.end(), scene), scenes.end()) << TextToUtf8(scene);
        const Text& picture = form.pictures.CurrentPicture();
        ASSERT_NE(std::find(pictures.begin(), pictures.end(), picture), pictures.end()) << TextToUtf8(picture);
        ASSERT_LE(form.files.OpenCount(), 1u);
    }
    EXPECT_GT(endings, 3);
}

} // namespace miradel::test
