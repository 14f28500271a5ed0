// SPDX-License-Identifier: MIT
#include "support/FormFixture.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QResizeEvent>
#include <gtest/gtest.h>

namespace miradel::test {
namespace {

class FrmTest : public testing::Test {
protected:
    void SetUp() override { fixture.folder.WriteScene("opn", { "こんにちは", "二行目", "三行目" }); }
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
};

// The content lies in the program's folder; the music beside the program and the scene file
// open with the window and close with it.
TEST_F(FrmTest, StartAndShutdown)
{
    fixture.Start();
    const Text folder = fixture.folder.Root();
    EXPECT_EQ(Form().imgDir, folder + u"img/");
    EXPECT_EQ(Form().txtDir, folder + u"txt/");
    EXPECT_EQ(fixture.media.commands,
        (std::vector<std::string> {
            "close MIDI notify", "open \"" + TextToUtf8(folder) + "bgm.wav\" alias MIDI", "play MIDI notify" }));
    ASSERT_EQ(Form().game.files.OpenCount(), 1u);
    fixture.media.commands.clear();
    Form().Form_Unload();
    EXPECT_EQ(Form().game.files.OpenCount(), 0u);
    EXPECT_EQ(fixture.media.commands, std::vector<std::string> { "close MIDI notify" });
    EXPECT_EQ(fixture.endedWith, std::vector<int> { 0 });

    Frm withoutSeparator(folder.substr(0, folder.size() - 1), fixture.random);
    withoutSeparator.Form_Load();
    EXPECT_EQ(withoutSeparator.appDir, folder);
    // The icon's moon is golden, its tile night-blue.
    const QImage icon = Window()->windowIcon().pixmap(32, 32).toImage();
    EXPECT_GT(QColor(icon.pixel(8, 16)).red(), 200);
    EXPECT_LT(QColor(icon.pixel(28, 4)).red(), 120);
}

// A page taller than the message area shows its newest line at the bottom; a short one starts
// at the top.
TEST_F(FrmTest, TallPageShowsItsNewestLine)
{
    fixture.Start();
    auto* label = static_cast<QLabel*>(Form().Lbl.Widget());
    const auto bottomRows = [&](const Text& caption) {
        Form().Lbl.SetCaption(caption);
        Form().Lbl.FlushCaption();
        const QImage shot = label->grab().toImage();
        return shot.copy(0, shot.height() * 9 / 10, shot.width(), shot.height() / 10);
    };
    bottomRows(u"\r\nshort");
    EXPECT_TRUE(label->alignment() & Qt::AlignTop);
    Text tall;
    for (int i = 0; i < 60; ++i)
        tall += u"\r\nline";
    EXPECT_NE(bottomRows(tall + u"\r\nline"), bottomRows(tall + u"\r\n■■■■■■■■"));
}

// Minimised, the game goes on and a layout run has nothing to do; restoring lays the window out
// again and the keyboard is back in the message area, from where the arrows move it.
TEST_F(FrmTest, MinimiseRestoreAndTheKeyboard)
{
    ASSERT_TRUE(fixture.Show());
    ASSERT_TRUE(Activate());
    EXPECT_EQ(QApplication::focusWidget(), Form().Lbl.Widget());
    const QRect laidOut = Form().Pic.Widget()->geometry();
    const QSize size = Window()->size();
    Window()->setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(Form().frm.IsMinimized());
    Form().LblDay.SetVisible(false);
    Form().Pic.Move(0, 0, 0.1f, 0.1f);
    Form().E.SetVisible(true);
    Form().Form_Resize();
    EXPECT_FALSE(Form().LblDay.Visible());
    // The window system may shrink a minimised window to nothing.
    QResizeEvent shrunk(QSize(0, 0), Window()->size());
    QCoreApplication::sendEvent(Window(), &shrunk);
    Form().Lbl_Click();
    Form().TimSay_Timer();
    Form().ComGame_Click();
    Form().game.ShowPicture(u"2");
    Form().game.BlinkStep();
    EXPECT_EQ(Form().game.pictures.CurrentPicture(), u"2");

    // Restored as a window manager may restore it: the state changes, the size does not.
    Window()->overrideWindowState(Qt::WindowNoState);
    EXPECT_TRUE(Form().LblDay.Visible());
    EXPECT_FALSE(Form().E.Visible());
    EXPECT_TRUE(Form().Lbl.Visible()) << "the scene on show stays on show";
    EXPECT_EQ(Form().Pic.Widget()->geometry(), laidOut);
    EXPECT_EQ(Window()->size(), size);
    Activate();
    EXPECT_EQ(QApplication::focusWidget(), Form().Lbl.Widget());
    EXPECT_TRUE(fixture.endedWith.empty());

    // The focus frame is drawn on the choice the arrows moved the keyboard to, and only there.
    for (int i = 0; i < 40 && fixture.Offer() != "choices"; ++i)
        fixture.Offer() == "next day" ? Form().ComGame_Click() : Form().Lbl_Click();
    ASSERT_EQ(fixture.Offer(), "choices");
    QWidget* first = Form().Com(0).Widget();
    const QImage resting = first->grab().toImage();
    Press(QApplication::focusWidget(), Qt::Key_Down);
    ASSERT_EQ(QApplication::focusWidget(), first);
    EXPECT_NE(first->grab().toImage(), resting);
    Press(first, Qt::Key_Down);
    EXPECT_EQ(first->grab().toImage(), resting);
}

QString AccessibleName(const Control& control)
{
    return QAccessible::queryAccessibleInterface(control.Widget())->text(QAccessible::Name);
}

QAccessibleActionInterface* Actions(const Control& control)
{
    return QAccessible::queryAccessibleInterface(control.Widget())->actionInterface();
}

// What a screen reader hears and can do, read through Qt's accessibility interface as the
// AT-SPI bridge reads it, from the start of the opening on.
TEST_F(FrmTest, ScreenReaderHearsTheCaptionsAndReadsOn)
{
    fixture.Start();
    // The screen shows a caption at the next turn of the event loop; a reader hears it now.
    EXPECT_EQ(AccessibleName(Form().Lbl), QStringLiteral("\nこんにちは"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Form().Lbl.Widget())->role(), QAccessible::StaticText);
    // The picture area names the picture on show; a blink frame is the same picture.
    EXPECT_EQ(AccessibleName(Form().Pic), QStringLiteral("画像: ttl"));
    Form().game.ShowPicture(u"3");
    Form().game.ShowPicture(u"_");
    EXPECT_EQ(AccessibleName(Form().Pic), QStringLiteral("画像: 3"));
    // The message area offers a press that reads on; the day label is only read.
    ASSERT_NE(Actions(Form().Lbl), nullptr);
    Actions(Form().Lbl)->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(fixture.Message(), "|こんにちは|二行目");
    EXPECT_EQ(AccessibleName(Form().Lbl), QStringLiteral("\nこんにちは\n二行目"));
    EXPECT_TRUE(!Actions(Form().LblDay) || Actions(Form().LblDay)->actionNames().isEmpty());
    Form().LblDay.SetCaption(u"3");
    EXPECT_EQ(AccessibleName(Form().LblDay), QStringLiteral("3"));
    EXPECT_EQ(AccessibleName(Form().ComGame), QStringLiteral("次の日"));
}

} // namespace
} // namespace miradel::test
