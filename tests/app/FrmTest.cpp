// SPDX-License-Identifier: MIT
#include "platform/RuntimeError.h"
#include "support/FormFixture.h"

#include <QIcon>
#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>

namespace miradel::test {

class FrmTest : public testing::Test {
protected:
    void SetUp() override
    {
        fixture.folder.WriteAllPictures();
        fixture.folder.WriteAllScenes();
    }
    Frm& Form() { return fixture.Form(); }
    FormFixture fixture;
};

// The content lies in the program's folder; the music beside the program starts with the
// window and closes with it, and so does the scene file.
TEST_F(FrmTest, StartAndShutdown)
{
    fixture.Start();
    const Text folder = fixture.folder.Root();
    EXPECT_EQ(Form().appDir, folder);
    EXPECT_EQ(Form().imgDir, folder + u"img/");
    EXPECT_EQ(Form().txtDir, folder + u"txt/");
    EXPECT_EQ(fixture.media.commands,
        (std::vector<std::string> {
            "close MIDI notify", "open \"" + TextToUtf8(folder) + "bgm.wav\" alias MIDI", "play MIDI notify" }));
    EXPECT_TRUE(Form().BgmTim.Enabled());
    EXPECT_EQ(Form().BgmTim.Interval(), 1);
    ASSERT_EQ(Form().game.files.OpenCount(), 1u);
    fixture.media.commands.clear();
    Form().Form_Unload();
    EXPECT_EQ(Form().game.files.OpenCount(), 0u);
    EXPECT_EQ(fixture.media.commands, std::vector<std::string> { "close MIDI notify" });
    EXPECT_EQ(fixture.endedWith, std::vector<int> { 0 });

    Frm withoutSeparator(folder.substr(0, folder.size() - 1), fixture.random);
    withoutSeparator.Form_Load();
    EXPECT_EQ(withoutSeparator.appDir, folder);
}

TEST_F(FrmTest, WindowHasItsTitleAndOwnIcon)
{
    EXPECT_EQ(Form().frm.Widget()->windowTitle(), QStringLiteral("Miradel"));
    const QImage icon = Form().frm.Widget()->windowIcon().pixmap(32, 32).toImage();
    ASSERT_EQ(icon.size(), QSize(32, 32));
    // The moon is golden, the tile night-blue.
    EXPECT_GT(QColor(icon.pixel(8, 16)).red(), 200);
    EXPECT_LT(QColor(icon.pixel(28, 4)).red(), 120);
}

// A report stays readable whatever the line holds: a NUL in a picture name is an error of
// its own, named and shown (cut there, the name would load another file), and a line of
// megabytes is quoted by its beginning only.
TEST(FrmScenes, ReportsQuoteOddLinesReadably)
{
    const std::string longRun = "--" + std::string(2 * 1024 * 1024, '7') + "x";
    for (const std::string& bad : { std::string(">img x\0y", 8), longRun }) {
        FormFixture broken;
        broken.folder.WriteAllPictures();
        broken.folder.WritePicture("img/x.jpg", Qt::red, 8, 8);
        broken.folder.WriteSceneBytes("opn", "a\r\n" + bad + "\r\n");
        broken.Start();
        try {
            broken.Form().TimSay_Timer();
            FAIL() << "no error";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.File(), "txt/opn.dat");
            EXPECT_EQ(error.Line(), 2);
            EXPECT_LT(error.Report().size(), 600u) << error.Report().substr(0, 600);
            EXPECT_EQ(error.Report().find('\0'), std::string::npos);
            if (bad == longRun)
                continue;
            EXPECT_NE(error.English().find("NUL"), std::string::npos) << error.English();
            EXPECT_NE(error.Report().find("x\u2400y"), std::string::npos) << error.Report();
        }
    }
}

} // namespace miradel::test
