// SPDX-License-Identifier: MIT
#include "support/FormFixture.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QWidget>
#include <gtest/gtest.h>

namespace miradel::test {
namespace {

// What a screen reader is told about a control, read through Qt's accessibility interface
// in this process, as the AT-SPI bridge reads it.
QString AccessibleName(const Control& control)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control.Widget());
    return accessible ? accessible->text(QAccessible::Name) : QStringLiteral("<no interface>");
}

QAccessible::Role AccessibleRole(const Control& control)
{
    return QAccessible::queryAccessibleInterface(control.Widget())->role();
}

// What a screen reader hears and can do, from the start of the opening on.
TEST(Accessibility, ControlsTellTheirCaptionsAndTheMessageAreaReadsOn)
{
    FormFixture fixture;
    fixture.folder.WriteAllPictures();
    fixture.folder.WriteAllScenes();
    fixture.folder.WriteScene("opn", { "こんにちは", "二行目", "三行目" });
    fixture.Start();
    Frm& form = fixture.Form();
    // The screen shows a caption at the next turn of the event loop; a reader hears it now.
    EXPECT_EQ(AccessibleName(form.Lbl), QStringLiteral("\nこんにちは"));
    EXPECT_EQ(AccessibleRole(form.Lbl), QAccessible::StaticText);

    // The picture area names the picture on show; the blink frame is the same picture.
    EXPECT_EQ(AccessibleName(form.Pic), QStringLiteral("画像: ttl"));
    form.game.ShowPicture(u"3");
    EXPECT_EQ(AccessibleName(form.Pic), QStringLiteral("画像: 3"));
    form.game.ShowPicture(u"_");
    EXPECT_EQ(AccessibleName(form.Pic), QStringLiteral("画像: 3"));

    // The message area offers a press that reads on; the day label is only read.
    QAccessibleActionInterface* actions = QAccessible::queryAccessibleInterface(form.Lbl.Widget())->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(fixture.Message(), "|こんにちは|二行目");
    EXPECT_EQ(AccessibleName(form.Lbl), QStringLiteral("\nこんにちは\n二行目"));
    QAccessibleActionInterface* dayActions
        = QAccessible::queryAccessibleInterface(form.LblDay.Widget())->actionInterface();
    EXPECT_TRUE(!dayActions || !dayActions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    form.LblDay.SetCaption(u"3");
    EXPECT_EQ(AccessibleName(form.LblDay), QStringLiteral("3"));
    for (const auto& [button, caption] : { std::pair<const Control*, const char*> { &form.Com(0), "白銀の雲" },
             { &form.Com(3), "真珠色" }, { &form.ComGame, "次の日" } }) {
        EXPECT_EQ(AccessibleName(*button), QString::fromUtf8(caption));
        EXPECT_EQ(AccessibleRole(*button), QAccessible::Button) << caption;
    }
}

} // namespace
} // namespace miradel::test
