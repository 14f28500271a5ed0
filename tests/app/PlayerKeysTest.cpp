// SPDX-License-Identifier: MIT
#include "app/PlayerKeys.h"
#include "platform/Layout.h"
#include "reading/FullScreenLayout.h"
#include "support/FormFixture.h"

#include <QCoreApplication>
#include <QWidget>
#include <gtest/gtest.h>

namespace miradel::test {
namespace {

// An opening of three pages under a picture that blinks, so that ticks draw too.
std::vector<std::string> LongOpening()
{
    std::vector<std::string> lines { ">img 0" };
    for (int i = 1; i <= 70; ++i)
        lines.push_back("行" + std::to_string(i));
    return lines;
}

void WriteGame(FormFixture& fixture)
{
    fixture.folder.WriteAllPictures();
    fixture.folder.WriteAllScenes();
    fixture.folder.WriteScene("opn", LongOpening());
    fixture.folder.WriteScene("0", { "一日目", "", "二行目" });
}

// What the player sees and what the game has drawn, to compare two ways of playing.
struct Seen {
    std::string message, offer, scene;
    int draws;
    int pageLines;
    bool operator==(const Seen&) const = default;
};
Seen SeenIn(FormFixture& fixture)
{
    Frm& form = fixture.Form();
    return { fixture.Message(), fixture.Offer(), form.game.player.SceneShownName(), fixture.random.Draws(),
        form.game.player.PageLines() };
}
std::ostream& operator<<(std::ostream& out, const Seen& seen)
{
    return out << seen.offer << " " << seen.scene << " draws " << seen.draws << " lines " << seen.pageLines << " ["
               << seen.message << "]";
}

// Skipping is a player clicking the message area once a frame while it is on show, ticks
// of the pacing timer coming in between as they would.
TEST(Skip, IsExactlyAClickPerFrameAndStopsAtEveryButton)
{
    FormFixture skipped;
    FormFixture clicked;
    for (FormFixture* fixture : { &skipped, &clicked }) {
        WriteGame(*fixture);
        fixture->random.SetDefault(0.5);
        fixture->Start();
    }
    skipped.Form().keys->Skipping().SetHeld(true);
    auto playBoth = [&](int frames) {
        for (int frame = 0; frame < frames; ++frame) {
            for (FormFixture* fixture : { &skipped, &clicked }) {
                if (frame % 3 == 0 && fixture->Form().TimSay.Enabled())
                    fixture->Form().PacingTick();
            }
            skipped.Form().keys->SkipFrame();
            if (clicked.Offer() == "scene")
                clicked.Form().Lbl_Click();
            ASSERT_EQ(SeenIn(skipped), SeenIn(clicked)) << "frame " << frame;
        }
    };
    playBoth(200);
    ASSERT_EQ(skipped.Offer(), "next day") << "the opening is over and the button waits";
    EXPECT_EQ(skipped.Form().game.state.day, 0);
    EXPECT_GT(skipped.random.Draws(), 0) << "the blink drew as it would";

    for (FormFixture* fixture : { &skipped, &clicked })
        fixture->Form().ComGame_Click();
    playBoth(20);
    EXPECT_EQ(skipped.Offer(), "choices");
    EXPECT_EQ(skipped.VisibleChoices(), "012") << "no choice was taken";
    EXPECT_EQ(skipped.Form().game.player.SceneShownName(), "txt/0.dat");
}

TEST(Skip, KeysHoldAndToggleIt)
{
    FormFixture fixture;
    WriteGame(fixture);
    fixture.Start();
    Frm& form = fixture.Form();
    QWidget* text = form.Lbl.Widget();
    Skip& skip = form.keys->Skipping();

    Press(text, Qt::Key_Control, Qt::ControlModifier);
    EXPECT_TRUE(skip.Held());
    Release(text, Qt::Key_Control);
    EXPECT_FALSE(skip.Active());
    // A window that loses the keyboard never hears Ctrl let go.
    Press(text, Qt::Key_Control, Qt::ControlModifier);
    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(form.frm.Widget(), &deactivate);
    EXPECT_FALSE(skip.Active());

    const std::string before = fixture.Message();
    Type(text, Qt::Key_S);
    EXPECT_TRUE(skip.Active());
    EXPECT_EQ(fixture.Message(), before) << "S reads nothing on by itself";
    Type(text, Qt::Key_S);
    EXPECT_FALSE(skip.Active());
    Press(text, Qt::Key_S, Qt::NoModifier, true);
    EXPECT_FALSE(skip.Active()) << "a held S does not toggle again and again";

    // Switched on by S, it waits under the backlog and ends where it stops.
    Type(text, Qt::Key_S);
    Type(text, Qt::Key_PageUp);
    for (int frame = 0; frame < 5; ++frame)
        form.keys->SkipFrame();
    EXPECT_EQ(fixture.Message(), before);
    EXPECT_TRUE(skip.Active());
    Type(text, Qt::Key_Escape);
    for (int frame = 0; frame < 200 && fixture.Offer() == "scene"; ++frame)
        form.keys->SkipFrame();
    ASSERT_EQ(fixture.Offer(), "next day");
    form.keys->SkipFrame();
    EXPECT_FALSE(skip.Active());
    EXPECT_EQ(form.game.state.day, 0);
}

// The window really shown, so that the backlog's text is laid out in lines.
class ShownWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        WriteGame(fixture);
        ASSERT_TRUE(fixture.Show());
        // From here on the test drives the timers itself.
        Form().TimSay.SetEnabled(false);
    }
    Frm& Form() { return fixture.Form(); }
    QWidget* Text() { return Form().Lbl.Widget(); }
    QWidget* Focus() { return Form().frm.Widget()->focusWidget(); }

    FormFixture fixture;
};

TEST(BacklogHistory, PagesFromTheCaptionsOfTheMessageArea)
{
    Backlog backlog;
    Text shown = u"Label1";
    auto show = [&](TextView caption) {
        backlog.CaptionChanging(shown, caption);
        shown = caption;
    };
    backlog.SceneOpened();
    // The opening clears the caption the window was made with; then a page that stops, the
    // next page, and a page command that clears it.
    for (TextView caption : { u"", u"\r\n一", u"\r\n一\r\n二▼", u"\r\n三", u"\r\n三\r\n", u"\r\n三\r\n\r\n四", u"" })
        show(caption);
    EXPECT_EQ(backlog.PagesKept(), 2u) << "the caption the window was made with is no page";
    EXPECT_EQ(TextToUtf8(backlog.History(u"\r\n五")), "一\n二\n\n三\n\n四\n\n五");

    // A line of a hundred thousand characters keeps its beginning only.
    show(u"\r\n" + Text(100000, u'あ') + u"▼");
    show(u"");
    EXPECT_EQ(backlog.History(u"").size(), Text(u"一\n二\n\n三\n\n四\n\n").size() + 8192);
}

using BacklogTest = ShownWindowTest;

TEST_F(BacklogTest, KeepsThePagesOfThisSceneAndTheOneBefore)
{
    // The opening's first page and a few lines of its second.
    for (int click = 0; click < 34; ++click)
        Form().Lbl_Click();
    ASSERT_EQ(Form().keys->History().PagesKept(), 1u);
    std::string expected = "行1";
    for (int i = 2; i <= 35; ++i)
        expected += (i == 31 ? "\n\n行" : "\n行") + std::to_string(i);
    EXPECT_EQ(TextToUtf8(Form().keys->History().History(Form().Lbl.Caption())), expected);

    while (fixture.Offer() == "scene")
        Form().Lbl_Click();
    Form().ComGame_Click();
    while (fixture.Offer() == "scene")
        Form().Lbl_Click();
    ASSERT_EQ(fixture.Offer(), "choices");
    const std::string twoScenes = TextToUtf8(Form().keys->History().History(u""));
    EXPECT_TRUE(twoScenes.starts_with("行1\n行2\n")) << twoScenes;
    EXPECT_TRUE(twoScenes.ends_with("行70\n\n一日目\n\n二行目")) << twoScenes;

    fixture.random.QueueDraw(99);
    Form().Com_Click(1);
    const std::string threeScenes = TextToUtf8(Form().keys->History().History(Form().Lbl.Caption()));
    EXPECT_EQ(threeScenes, "一日目\n\n二行目\n\n01") << "the opening is two scenes back";
}

TEST_F(BacklogTest, WhileOpenNothingAdvancesAndClosingReturnsToThePage)
{
    for (int click = 0; click < 40; ++click)
        Form().Lbl_Click();
    const Seen before = SeenIn(fixture);
    const std::string nextLine = TextToUtf8(Form().game.player.NextLine());
    const QWidget* focus = Focus();

    struct Way {
        const char* name;
        std::function<void()> open, close;
    };
    const Way ways[] = {
        { "PageUp, Escape", [&] { Type(Text(), Qt::Key_PageUp); }, [&] { Type(Text(), Qt::Key_Escape); } },
        { "wheel, click", [&] { TurnWheel(Text(), 120); }, [&] { ClickAt(Text()); } },
        { "PageUp, Space", [&] { Type(Text(), Qt::Key_PageUp); }, [&] { Type(Text(), Qt::Key_Space); } },
        { "wheel away and back past the newest line",
            [&] {
                TurnWheel(Text(), 120);
                TurnWheel(Text(), 120);
            },
            [&] {
                for (int notch = 0; notch < 100 && Form().keys->BacklogOpen(); ++notch)
                    TurnWheel(Text(), -120);
            } },
    };
    for (const Way& way : ways) {
        way.open();
        ASSERT_TRUE(Form().keys->BacklogOpen()) << way.name;
        // Ticks, reading keys and the wheel towards the reader while it is open.
        Form().TimSay.SetEnabled(true);
        for (int tick = 0; tick < 10; ++tick)
            Form().PacingTick();
        Type(Text(), Qt::Key_Down);
        Type(Text(), Qt::Key_A);
        EXPECT_EQ(SeenIn(fixture), before) << way.name;
        way.close();
        EXPECT_FALSE(Form().keys->BacklogOpen()) << way.name;
        EXPECT_EQ(SeenIn(fixture), before) << way.name << ": closing takes no step";
        EXPECT_EQ(TextToUtf8(Form().game.player.NextLine()), nextLine) << way.name;
        EXPECT_EQ(Focus(), focus) << way.name;
    }
    // Play goes on where it stopped: the next tick reveals the next line and blinks.
    Form().PacingTick();
    EXPECT_EQ(fixture.Message(), before.message + "|" + nextLine);
    EXPECT_EQ(fixture.random.Draws(), before.draws + 1);
}

TEST_F(BacklogTest, EachNotchOrPageGoesFurtherBack)
{
    for (int click = 0; click < 65; ++click)
        Form().Lbl_Click();
    TurnWheel(Text(), 120);
    const BacklogView& view = Form().keys->View();
    ASSERT_TRUE(view.IsOpen());
    const int newest = view.LastFirstLine();
    ASSERT_GT(newest, 10) << "two pages do not fit the message area";
    EXPECT_EQ(view.FirstLineShown(), newest - 3);
    TurnWheel(Text(), 60);
    EXPECT_EQ(view.FirstLineShown(), newest - 3) << "half a notch is not a notch";
    TurnWheel(Text(), 60);
    EXPECT_EQ(view.FirstLineShown(), newest - 6);
    Type(Text(), Qt::Key_PageUp);
    EXPECT_EQ(view.FirstLineShown(), std::max(0, newest - 6 - view.LinesPerPage()));
    for (int notch = 0; notch < 100; ++notch)
        TurnWheel(Text(), 120);
    EXPECT_EQ(view.FirstLineShown(), 0) << "it stops at the oldest line";
    Type(Text(), Qt::Key_PageDown);
    EXPECT_EQ(view.FirstLineShown(), view.LinesPerPage());
    // The wheel away over the picture is not over the text.
    Type(Text(), Qt::Key_Escape);
    TurnWheel(Form().Pic.Widget(), 120);
    EXPECT_FALSE(view.IsOpen());
}

using FullScreenTest = ShownWindowTest;

TEST_F(FullScreenTest, LaysTheWindowOutOverTheLargestAreaAndBack)
{
    const QRect windowed = Form().frm.Widget()->geometry();
    const QRect picture = Form().Pic.Widget()->geometry();
    const float font = Form().Lbl.FontSize();

    Type(Text(), Qt::Key_F11);
    ASSERT_TRUE(Form().frm.IsFullScreen());
    const QSize screen = Form().frm.Widget()->size();
    const Window::PixelRect area = FullScreenArea(screen.width(), screen.height(), Form().frm.TwipsPerPixel());
    EXPECT_EQ(Form().Lbl.FontSize(), BaseFontSizeFor(area.height * Form().frm.TwipsPerPixel()));
    EXPECT_EQ(Form().LblDay.FontSize(), 4 * Form().Lbl.FontSize());
    // The picture's unit square and the text's 2 x 2, in the area; the margins are even.
    const QRect shownPicture = Form().Pic.Widget()->geometry();
    EXPECT_NEAR(shownPicture.width(), area.width / 3.2, 1);
    EXPECT_NEAR(shownPicture.height(), area.height / 2.2, 1);
    EXPECT_NEAR(Form().Lbl.Widget()->x(), area.x + area.width * 0.1 / 3.2, 1);
    EXPECT_NEAR(Form().Lbl.Widget()->y(), area.y + area.height * 0.1 / 2.2, 1);
    EXPECT_NEAR(area.x * 2 + area.width, screen.width(), 1);
    EXPECT_NEAR(area.y * 2 + area.height, screen.height(), 1);
    const auto decodedForArea = [this] {
        const PixelSize decoded = DecodedSize(Form().E.HeldPicture());
        const PixelSize shown = Form().Pic.DeviceSize();
        return decoded.width == shown.width && decoded.height == shown.height;
    };
    EXPECT_TRUE(decodedForArea()) << "the picture is decoded again for the larger area, not blown up";

    Type(Text(), Qt::Key_Escape);
    EXPECT_FALSE(Form().frm.IsFullScreen());
    EXPECT_EQ(Form().frm.Widget()->size(), windowed.size());
    EXPECT_EQ(Form().Pic.Widget()->geometry(), picture);
    EXPECT_EQ(Form().Lbl.FontSize(), font);
    EXPECT_TRUE(decodedForArea());

    Type(Text(), Qt::Key_Return, Qt::AltModifier);
    EXPECT_TRUE(Form().frm.IsFullScreen());
    EXPECT_EQ(fixture.Message().find("行2"), std::string::npos) << "Alt+Enter is not a reading key";
    Type(Text(), Qt::Key_Return, Qt::AltModifier);
    EXPECT_FALSE(Form().frm.IsFullScreen());
    EXPECT_EQ(Form().frm.Widget()->size(), windowed.size());
}

using ArrowKeysTest = ShownWindowTest;

// The arrow keys reach the buttons (the keyboard rule there keeps a choice from being taken
// blind); the keys of skip, backlog and full screen press no button under the focus.
TEST_F(ArrowKeysTest, ReachTheButtonsAndTheOtherKeysPressNone)
{
    while (fixture.Offer() == "scene")
        Form().Lbl_Click();
    ASSERT_EQ(fixture.Offer(), "next day");
    Type(Focus(), Qt::Key_Up);
    EXPECT_EQ(Focus(), Form().ComGame.Widget()) << "the one button keeps the focus";
    Form().ComGame_Click();
    while (fixture.Offer() == "scene")
        Form().Lbl_Click();
    ASSERT_EQ(fixture.VisibleChoices(), "012");
    const int draws = fixture.random.Draws();

    // Onto the first choice; the arrows among the choices are KeyboardTest's.
    Form().frm.Widget()->setFocus();
    Type(Form().frm.Widget(), Qt::Key_Down);
    QWidget* const first = Form().Com(0).Widget();
    ASSERT_EQ(Focus(), first);

    Type(Focus(), Qt::Key_S);
    Press(Focus(), Qt::Key_Control, Qt::ControlModifier);
    for (int frame = 0; frame < 10; ++frame)
        Form().keys->SkipFrame();
    Release(Focus(), Qt::Key_Control);
    Type(Focus(), Qt::Key_PageUp);
    Type(Focus(), Qt::Key_Space);
    Type(Focus(), Qt::Key_PageUp);
    Type(Focus(), Qt::Key_Return);
    Type(Focus(), Qt::Key_Return, Qt::AltModifier);
    Type(Focus(), Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(fixture.Offer(), "choices");
    EXPECT_EQ(fixture.random.Draws(), draws) << "no choice was taken";
    EXPECT_EQ(Focus(), first);

    Type(Focus(), Qt::Key_Down);
    fixture.random.QueueDraw(99);
    Type(Focus(), Qt::Key_Space);
    EXPECT_EQ(Form().game.player.SceneShownName(), "txt/01.dat");
}

} // namespace
} // namespace miradel::test
