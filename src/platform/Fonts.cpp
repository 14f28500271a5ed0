// SPDX-License-Identifier: MIT
#include "platform/Fonts.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <cstdio>
#include <utility>

namespace miradel {

static QString JapaneseFamily()
{
    static const char* const kPreferred[] = {
        "IPAPGothic",
        "IPAGothic",
        "Noto Sans CJK JP",
        "Noto Sans JP",
        "VL PGothic",
        "TakaoPGothic",
        "Source Han Sans JP",
        "Yu Gothic UI",
        "Meiryo UI",
        "MS UI Gothic",
        "Hiragino Sans",
    };
    // families() lists names in the language of the locale ("IPA Pゴシック" under Japanese);
    // hasFamily() knows a family by any of its names, so the choice is the same in every locale.
    for (const char* name : kPreferred) {
        if (QFontDatabase::hasFamily(QString::fromLatin1(name)))
            return QString::fromLatin1(name);
    }
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    return japanese.isEmpty() ? QString() : japanese.first();
}

void ChooseJapaneseInterfaceFont()
{
    const QString family = JapaneseFamily();
    if (family.isEmpty()) {
        static bool told = false;
        if (!std::exchange(told, true)) {
            std::fprintf(stderr,
                "%s: no font with Japanese characters is installed, so the text shows as empty boxes; install the "
                "package fonts-ipafont-gothic\n",
                qUtf8Printable(QCoreApplication::applicationName()));
        }
        return;
    }
    QFont font = QApplication::font();
    font.setFamilies({ family });
    QApplication::setFont(font);
}

} // namespace miradel
