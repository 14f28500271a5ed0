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

class AccessibilityTest : public testing::Test {
protected:
    void SetUp() override
    {
        fixture.folder.WriteAllPictures();
        fixture.folder.WriteAllScenes();
        fixture.folder.WriteScene("opn", { "こんにちは", "二行目", "三行目" });
        fixture.Start();
    }
    Frm& Form() { return fixture.Form(); }
    FormFixture fixture;
};

TEST_F(AccessibilityTest, ControlsTellTheirCaptions)
{
    // The screen shows a caption at the next turn of the event loop; a reader hears it now.
    EXPECT_EQ(AccessibleName(Form().Lbl), QStringLiteral("\nこんにちは"));
    Form().Lbl_Click();
    EXPECT_EQ(AccessibleName(Form().Lbl), QStringLiteral("\nこんにちは\n二行目"));
    EXPECT_EQ(AccessibleRole(Form().Lbl), QAccessible::StaticText);
    Form().LblDay.SetCaption(u"3");
    EXPECT_EQ(AccessibleName(Form().LblDay), QStringLiteral("3"));
    for (const auto& [button, caption] : { std::pair<const Control*, const char*> { &Form().Com(0), "白銀の雲" },
             { &Form().Com(3), "真珠色" }, { &Form().ComGame, "次の日" } }) {
        EXPECT_EQ(AccessibleName(*button), QString::fromUtf8(caption));
        EXPECT_EQ(AccessibleRole(*button), QAccessible::Button) << caption;
    }
}

TEST_F(AccessibilityTest, PictureAreaNamesThePictureOnShow)
{
    EXPECT_EQ(AccessibleName(Form().Pic), QStringLiteral("画像: ttl"));
    Form().game.ShowPicture(u"3");
    EXPECT_EQ(AccessibleName(Form().Pic), QStringLiteral("画像: 3"));
    // The blink frame is the same picture to the reader.
    Form().game.ShowPicture(u"_");
    EXPECT_EQ(AccessibleName(Form().Pic), QStringLiteral("画像: 3"));
}

TEST_F(AccessibilityTest, MessageAreaOffersAPressThatReadsOn)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(Form().Lbl.Widget());
    QAccessibleActionInterface* actions = accessible->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(fixture.Message(), "|こんにちは|二行目");
    // The day label is only read, never pressed.
    QAccessibleActionInterface* dayActions
        = QAccessible::queryAccessibleInterface(Form().LblDay.Widget())->actionInterface();
    EXPECT_TRUE(!dayActions || !dayActions->actionNames().contains(QAccessibleActionInterface::pressAction()));
}

} // namespace
} // namespace miradel::test
