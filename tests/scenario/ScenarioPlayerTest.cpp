// SPDX-License-Identifier: MIT
#include "platform/RuntimeError.h"
#include "support/HeadlessFixture.h"

#include <gtest/gtest.h>

namespace miradel::test {

// The player over the headless window, on scenes each test writes into memory.
class ScenarioPlayerTest : public testing::Test {
protected:
    void SetUp() override
    {
        fixture.WriteAllPictures();
        fixture.WriteAllScenes();
    }

    void StartWith(const std::vector<std::string>& opening)
    {
        fixture.WriteScene("opn", opening);
        fixture.Start();
    }
    void Tick(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            Form().TimSay_Timer();
    }
    Game& Form() { return fixture.game; }
    std::string Message() { return fixture.Message(); }
    bool Pacing() { return fixture.view.pacing; }

    HeadlessFixture fixture;
};

TEST_F(ScenarioPlayerTest, OneLineSceneWaitsThenAClickEndsIt)
{
    StartWith({ "ひとこと" });
    EXPECT_EQ(Message(), "|ひとこと▼");
    EXPECT_EQ(fixture.Offer(), "scene");
    Tick(3);
    EXPECT_EQ(Message(), "|ひとこと▼");
    Form().Lbl_Click();
    EXPECT_EQ(fixture.Offer(), "next day");
    EXPECT_EQ(Message(), "");
    EXPECT_EQ(Form().files.OpenCount(), 0u);
}

TEST_F(ScenarioPlayerTest, TicksRevealOneLineEachAndAClickAddsOne)
{
    StartWith({ "一", "二", "三", "四" });
    EXPECT_EQ(Message(), "|一");
    Tick();
    EXPECT_EQ(Message(), "|一|二");
    Form().Lbl_Click();
    EXPECT_EQ(Message(), "|一|二|三");
    EXPECT_TRUE(Pacing());
    Tick();
    EXPECT_EQ(Message(), "|一|二|三|四▼");
    EXPECT_FALSE(Pacing());
}

TEST_F(ScenarioPlayerTest, SceneEndLiteral)
{
    StartWith({ "tugi" });
    EXPECT_EQ(fixture.Offer(), "next day");
    EXPECT_EQ(Message(), "");

    HeadlessFixture other;
    other.WriteAllPictures();
    other.WriteScene("opn", { "TUGI", " tugi", "tugi then more", "never shown" });
    other.Start();
    other.game.TimSay_Timer();
    EXPECT_EQ(other.Message(), "|TUGI| tugi▼");
    other.game.Lbl_Click();
    EXPECT_EQ(other.Offer(), "next day");
}

TEST_F(ScenarioPlayerTest, LineEnds)
{
    fixture.WriteSceneBytes("opn", "a\r\nb");
    fixture.Start();
    EXPECT_EQ(Message(), "|a");
    Tick();
    EXPECT_EQ(Message(), "|a|b▼");

    HeadlessFixture lfOnly;
    lfOnly.WriteAllPictures();
    lfOnly.WriteSceneBytes("opn", "a\nb\n");
    lfOnly.Start();
    EXPECT_EQ(lfOnly.Message(), "|a\nb\n▼");
}

TEST_F(ScenarioPlayerTest, NewPageAloneWaitsForAClick)
{
    StartWith({ "前", ">p", "後" });
    EXPECT_EQ(Message(), "|前▼");
    Tick(5);
    EXPECT_EQ(Message(), "|前▼");
    Form().Lbl_Click();
    EXPECT_EQ(Message(), "|後▼");
}

TEST_F(ScenarioPlayerTest, NewPageWithTextIsReachedByATick)
{
    StartWith({ "前", ">p です", "後", "次" });
    EXPECT_EQ(Message(), "|前");
    Tick();
    EXPECT_EQ(Message(), "|後");
    Tick();
    EXPECT_EQ(Message(), "|後|次▼");
}

TEST_F(ScenarioPlayerTest, NewPageHoldsThirtyOneLines)
{
    std::vector<std::string> lines { "first", ">p x" };
    for (int i = 1; i <= 32; ++i)
        lines.push_back(std::to_string(i));
    StartWith(lines);
    Tick(31);
    EXPECT_EQ(Form().player.PageLines(), 1);
    EXPECT_TRUE(Message().ends_with("|31▼"));
    EXPECT_TRUE(Message().starts_with("|1|2|"));
}

TEST_F(ScenarioPlayerTest, FullPageStopsAtThirtyAndTheNextTickGoesOn)
{
    std::vector<std::string> lines;
    for (int i = 1; i <= 40; ++i)
        lines.push_back(std::to_string(i));
    StartWith(lines);
    Tick(29);
    EXPECT_TRUE(Message().ends_with("|29|30▼"));
    EXPECT_FALSE(Pacing());
    // A stop for a full page is passed by a click, or by the next tick once pacing runs.
    Form().Lbl_Click();
    EXPECT_EQ(Message(), "|31");
    Tick(9);
    EXPECT_EQ(Message(), "|31|32|33|34|35|36|37|38|39|40▼");
}

TEST_F(ScenarioPlayerTest, NewPageTextStartsItsOwnPageAndIsShown)
{
    StartWith({ "a", ">ive のこり", "b" });
    EXPECT_EQ(Message(), "|a▼");
    Form().Lbl_Click();
    EXPECT_EQ(Message(), "|>ive のこり");
    Tick();
    EXPECT_EQ(Message(), "|>ive のこり|b▼");
}

TEST_F(ScenarioPlayerTest, PictureCommand)
{
    StartWith({ "a", ">img 1", "b", ">img", "c", ">imgx2", "d" });
    EXPECT_EQ(Form().pictures.CurrentPicture(), u"ttl");
    Tick();
    EXPECT_EQ(Form().pictures.CurrentPicture(), u"1");
    EXPECT_EQ(Message(), "|a|b");
    Tick();
    EXPECT_EQ(Form().pictures.CurrentPicture(), u"1");
    Tick();
    EXPECT_EQ(Form().pictures.CurrentPicture(), u"2");
    EXPECT_EQ(Message(), "|a|b|c|d▼");
}

TEST_F(ScenarioPlayerTest, PictureAsLastLineEndsTheSceneWithoutAClick)
{
    StartWith({ "a", ">img 3" });
    EXPECT_EQ(Message(), "|a");
    Tick();
    EXPECT_EQ(fixture.Offer(), "next day");
    EXPECT_FALSE(Pacing());
    EXPECT_EQ(Form().pictures.CurrentPicture(), u"3");
}

TEST_F(ScenarioPlayerTest, MissingPictureIsFatalAndNamesTheSceneLine)
{
    StartWith({ "a", ">img nothere" });
    try {
        Tick();
        FAIL() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.File(), "txt/opn.dat");
        EXPECT_EQ(error.Line(), 2);
        EXPECT_NE(error.Report().find("img/nothere.jpg"), std::string::npos) << error.Report();
    }
}

TEST_F(ScenarioPlayerTest, RunTakesItsLinesInOneStep)
{
    StartWith({ "--3", "a", "b", "c", "d" });
    EXPECT_EQ(Message(), "|a|b|c");
    Tick();
    EXPECT_EQ(Message(), "|a|b|c|d▼");
}

TEST_F(ScenarioPlayerTest, RunOfNothing)
{
    StartWith({ "--0", "---2", "a" });
    EXPECT_EQ(Message(), "");
    Tick();
    EXPECT_EQ(Message(), "");
    Tick();
    EXPECT_EQ(Message(), "|a▼");
}

TEST_F(ScenarioPlayerTest, NestedRunsShareOneCounter)
{
    StartWith({ "--5", "1", "--2", "2", "3", "4", "5", "6" });
    // The inner run leaves the counter at 3; the outer one goes on at 4 and 5.
    EXPECT_EQ(Message(), "|1|2|3|4|5");
    EXPECT_EQ(Form().player.StepCounter(), 6);
}

TEST_F(ScenarioPlayerTest, RunCountThatIsNotAWholeNumberIsFatal)
{
    for (const char* bad : { "--", "-----", "--x", "--99999999999" }) {
        HeadlessFixture broken;
        broken.WriteAllPictures();
        broken.WriteScene("opn", { "a", bad });
        broken.Start();
        try {
            broken.game.TimSay_Timer();
            FAIL() << bad;
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.File(), "txt/opn.dat");
            EXPECT_EQ(error.Line(), 2);
            EXPECT_NE(error.Message().find(bad), std::string::npos) << error.Message();
        }
    }
}

TEST_F(ScenarioPlayerTest, RunPastTheEndFinishesAtOnce)
{
    StartWith({ "--2000000000", "a" });
    EXPECT_EQ(fixture.Offer(), "next day");
    EXPECT_EQ(Form().player.StepCounter(), 2000000001);
    EXPECT_EQ(Form().files.OpenCount(), 0u);
}

TEST_F(ScenarioPlayerTest, NoStepAfterTheSceneHasEnded)
{
    StartWith({ "a", "tugi", "after", "more" });
    Form().Lbl_Click();
    EXPECT_EQ(fixture.Offer(), "next day");
    EXPECT_TRUE(Pacing());
    Tick(3);
    EXPECT_EQ(Message(), "");
    EXPECT_EQ(fixture.Offer(), "next day");
}

TEST_F(ScenarioPlayerTest, EmptyLinesShowTogether)
{
    StartWith({ "a", "", "", "b", "c" });
    Tick();
    EXPECT_EQ(Message(), "|a|||b");
}

TEST_F(ScenarioPlayerTest, EmptyLineBeforeNewPageStillSteps)
{
    StartWith({ "a", "", ">p", "b", "c" });
    Tick();
    EXPECT_EQ(Message(), "|b");
    EXPECT_FALSE(Pacing());
}

TEST_F(ScenarioPlayerTest, GameEndStartsANewGameAtOnce)
{
    StartWith({ "はじまり" });
    fixture.WriteScene("0", { "a", ">end" });
    Form().Lbl_Click();
    Form().ComGame_Click();
    EXPECT_EQ(fixture.view.day, 1);
    Form().Lbl_Click();
    EXPECT_EQ(fixture.view.day, 0);
    EXPECT_EQ(Message(), "|はじまり▼");
    EXPECT_EQ(Form().pictures.CurrentPicture(), u"ttl");
    EXPECT_EQ(Form().files.OpenCount(), 1u);
}

TEST_F(ScenarioPlayerTest, OpeningThatRestartsBeforeShowingAnythingIsFatal)
{
    for (const auto& opening :
        std::vector<std::vector<std::string>> { { ">end" }, { "", ">end" }, { "--1", ">end" } }) {
        HeadlessFixture looping;
        looping.WriteAllPictures();
        looping.WriteScene("opn", opening);
        try {
            looping.Start();
            FAIL() << "no error";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.File(), "txt/opn.dat");
            EXPECT_GE(error.Line(), 1);
        }
    }
}

TEST_F(ScenarioPlayerTest, LoopSendsTheDayBackToZero)
{
    StartWith({ "tugi" });
    fixture.WriteScene("0", { "a", ">loop" });
    Form().ComGame_Click();
    EXPECT_EQ(Message(), "|a▼");
    Form().Lbl_Click();
    EXPECT_EQ(fixture.view.day, 0);
    EXPECT_EQ(Form().state.day, 0);
    EXPECT_EQ(fixture.Offer(), "next day");
}

TEST_F(ScenarioPlayerTest, RunOverALoopNeverOffersTheChoicesOnDayZero)
{
    StartWith({ "tugi" });
    fixture.WriteScene("0", { "--3", ">loop", "a", "tugi" });
    Form().ComGame_Click();
    EXPECT_EQ(Form().state.day, 0);
    EXPECT_EQ(fixture.Offer(), "next day");
    Tick(3);
    EXPECT_EQ(fixture.Offer(), "next day");
}

TEST_F(ScenarioPlayerTest, MissingOrEmptySceneIsFatal)
{
    fixture.content.RemoveScene(u"opn");
    try {
        fixture.Start();
        FAIL() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.File(), "txt/opn.dat");
    }

    HeadlessFixture empty;
    empty.WriteAllPictures();
    empty.WriteSceneBytes("opn", "");
    try {
        empty.Start();
        FAIL() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.File(), "txt/opn.dat");
        EXPECT_EQ(empty.game.files.OpenCount(), 0u);
    }
}

// Content can chain any number of steps; none of them may grow the call stack.
TEST_F(ScenarioPlayerTest, LongChainsPlayToTheirEnd)
{
    std::string emptyLines = "a\r\n";
    for (int i = 0; i < 1000000; ++i)
        emptyLines += "\r\n";
    emptyLines += "z\r\n";
    fixture.WriteSceneBytes("opn", emptyLines);
    fixture.Start();
    Tick();
    EXPECT_TRUE(Message().ends_with("|z▼"));
    EXPECT_LE(Form().player.PageLines(), 30);

    HeadlessFixture pictures;
    pictures.WriteAllPictures();
    std::string pictureLines = "a\r\n";
    for (int i = 0; i < 100000; ++i)
        pictureLines += ">img\r\n";
    pictureLines += "z\r\n";
    pictures.WriteSceneBytes("opn", pictureLines);
    pictures.Start();
    pictures.game.TimSay_Timer();
    EXPECT_EQ(pictures.Message(), "|a|z▼");

    HeadlessFixture runs;
    runs.WriteAllPictures();
    std::string runLines;
    for (int i = 0; i < 100000; ++i)
        runLines += "--1\r\n";
    runLines += "z\r\n";
    runs.WriteSceneBytes("opn", runLines);
    runs.Start();
    EXPECT_EQ(runs.Message(), "|z▼");
    // Each finished run moves the shared counter of the run around it on by one.
    EXPECT_EQ(runs.game.player.StepCounter(), 100001);
}

} // namespace miradel::test
