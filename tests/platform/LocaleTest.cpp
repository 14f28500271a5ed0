// SPDX-License-Identifier: MIT
#include "platform/Fonts.h"
#include "support/ChildTest.h"
#include "support/FormFixture.h"

#include <QApplication>
#include <QFontInfo>
#include <QRawFont>
#include <clocale>
#include <cstdio>
#include <gtest/gtest.h>
#include <set>

namespace miradel::test {
namespace {

// Runs in a child started with the locale under test.
TEST(DISABLED_LocaleChild, ReadsAndShowsJapanese)
{
    // The plain C library locale, whatever the toolkit chose for itself at start-up.
    std::setlocale(LC_ALL, "C");

    FormFixture fixture;
    // "こんにちは、世界。" and ">img キャラ\笑顔" in code page 932
    // (Python: "こんにちは、世界。".encode("cp932") and ">img キャラ\\笑顔".encode("cp932")).
    fixture.folder.WriteSceneBytes("opn",
        "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd\x81\x41\x90\xa2\x8a\x45\x81\x42\r\n"
        ">img \x83\x4c\x83\x83\x83\x89\x5c\x8f\xce\x8a\xe7\r\n"
        "tugi\r\n");
    fixture.folder.WritePicture("img/キャラ/笑顔.jpg", Qt::darkCyan);
    fixture.Start();
    EXPECT_EQ(fixture.Message(), "|こんにちは、世界。");
    fixture.Form().Lbl_Click();
    EXPECT_EQ(fixture.Form().game.pictures.CurrentPicture(), u"キャラ\\笑顔");
    EXPECT_TRUE(fixture.endedWith.empty());

    ChooseJapaneseInterfaceFont();
    const QString family = QFontInfo(QApplication::font()).family();
    const QRawFont raw = QRawFont::fromFont(QApplication::font());
    // Family names come in the locale's language; the font's own name table does not.
    std::printf("font=%zx\n", static_cast<std::size_t>(qHash(raw.fontTable("name"))));
    for (const QChar character : QStringLiteral("こんにちは世界白銀の雲黄金の月なにもない真珠色次の日画像")) {
        EXPECT_TRUE(raw.supportsCharacter(character))
            << QString(character).toStdString() << " in " << family.toStdString();
    }
}

TEST(Locale, JapaneseReadsAndShowsTheSameInEveryLocale)
{
    // The C locale, an English one, and Japanese for comparison; LANGUAGE and LC_ALL would
    // override LANG, so they go.
    const std::map<std::string, std::string> locales[] = {
        { { "LANG", "C" }, { "LC_ALL", "C" }, { "LANGUAGE", "" } },
        { { "LANG", "en_US.UTF-8" }, { "LC_ALL", "" }, { "LANGUAGE", "" } },
        { { "LANG", "ja_JP.UTF-8" }, { "LC_ALL", "" }, { "LANGUAGE", "" } },
    };
    std::set<std::string> families;
    for (const auto& environment : locales) {
        const ChildOutcome child = RunChildTests("DISABLED_LocaleChild.*", environment);
        EXPECT_EQ(child.exitCode, 0) << "LANG=" << environment.at("LANG") << ":\n" << child.output;
        const auto at = child.output.find("font=");
        if (at != std::string::npos)
            families.insert(child.output.substr(at, child.output.find('\n', at) - at));
    }
    EXPECT_EQ(families.size(), 1u) << "the interface font depends on the locale";
}

} // namespace
} // namespace miradel::test
