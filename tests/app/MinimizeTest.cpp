// SPDX-License-Identifier: MIT
#include "support/FormFixture.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QResizeEvent>
#include <QWidget>
#include <gtest/gtest.h>

namespace miradel::test {
namespace {

// The window really shown, so that minimising and restoring go through the toolkit's own
// window-state events.
class MinimizeTest : public testing::Test {
protected:
    void SetUp() override
    {
        fixture.folder.WriteAllPictures();
        fixture.folder.WriteAllScenes();
        fixture.folder.WriteScene("opn", { "一行目", "二行目", "三行目" });
        ASSERT_TRUE(fixture.Show());
        laidOut = Form().Pic.Widget()->geometry();
        windowSize = Form().frm.Widget()->size();
    }
    Frm& Form() { return fixture.Form(); }
    QWidget* Window() { return Form().frm.Widget(); }
    bool Activate()
    {
        Window()->activateWindow();
        const QDeadlineTimer deadline(30000);
        while (QApplication::activeWindow() != Window() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return QApplication::activeWindow() == Window();
    }

    FormFixture fixture;
    QRect laidOut;
    QSize windowSize;
};

TEST_F(MinimizeTest, NothingBreaksWhileMinimised)
{
    Window()->setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(Form().frm.IsMinimized());
    // A layout run has nothing to lay out.
    Form().LblDay.SetVisible(false);
    Form().Form_Resize();
    EXPECT_FALSE(Form().LblDay.Visible());
    // The window system may shrink a minimised window to nothing.
    QResizeEvent shrunk(QSize(0, 0), Window()->size());
    QCoreApplication::sendEvent(Window(), &shrunk);
    // The game goes on: text, pictures, blinks and buttons.
    Form().Lbl_Click();
    Form().TimSay_Timer();
    Form().Lbl_Click();
    Form().Lbl_Click();
    Form().ComGame_Click();
    Form().game.ShowPicture(u"2");
    Form().game.BlinkStep();
    EXPECT_EQ(Form().game.pictures.CurrentPicture(), u"2");
    EXPECT_TRUE(fixture.endedWith.empty());
}

TEST_F(MinimizeTest, RestoringLaysTheWindowOutAgain)
{
    Window()->setWindowState(Qt::WindowMinimized);
    // Whatever happened to the controls meanwhile is put right by the restore.
    Form().LblDay.SetVisible(false);
    Form().Pic.Move(0, 0, 0.1f, 0.1f);
    Form().E.SetVisible(true);
    Window()->setWindowState(Qt::WindowNoState);
    EXPECT_FALSE(Form().frm.IsMinimized());
    EXPECT_TRUE(Form().LblDay.Visible());
    EXPECT_FALSE(Form().E.Visible());
    EXPECT_EQ(Form().Pic.Widget()->geometry(), laidOut);
    EXPECT_EQ(Window()->size(), windowSize);
    EXPECT_EQ(Form().Lbl.Visible(), true) << "the scene on show stays on show";
}

TEST_F(MinimizeTest, MessageAreaHasTheKeyboardOnceTheWindowIsActive)
{
    ASSERT_TRUE(Activate());
    EXPECT_EQ(QApplication::focusWidget(), Form().Lbl.Widget());
    Window()->setWindowState(Qt::WindowMinimized);
    Window()->setWindowState(Qt::WindowNoState);
    Activate();
    EXPECT_EQ(QApplication::focusWidget(), Form().Lbl.Widget());
}

// The keyboard's place is always visible: the frame of the focus is drawn on the choice the
// arrows moved it to, and only there.
TEST_F(MinimizeTest, FocusShowsOnTheChoiceWithTheKeyboard)
{
    ASSERT_TRUE(Activate());
    const auto readToTheEnd = [this] {
        for (int i = 0; i < 20 && fixture.Offer() == "scene"; ++i)
            Form().Lbl_Click();
    };
    readToTheEnd();
    Form().ComGame_Click();
    readToTheEnd();
    ASSERT_EQ(fixture.Offer(), "choices");
    QWidget* first = Form().Com(0).Widget();
    const QImage resting = first->grab().toImage();
    const auto press = [](int key) { Press(QApplication::focusWidget(), key); };
    press(Qt::Key_Down);
    ASSERT_EQ(QApplication::focusWidget(), first);
    EXPECT_NE(first->grab().toImage(), resting);
    press(Qt::Key_Down);
    EXPECT_EQ(first->grab().toImage(), resting);
}

} // namespace
} // namespace miradel::test
