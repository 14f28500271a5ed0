#include "platform/Fonts.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

namespace miradel {

static QString JapaneseFamily()
{
    static const char* const kPreferred[] = {
        "IPAPGothic", "IPAGothic", "Noto Sans CJK JP", "Noto Sans JP", "VL PGothic", "TakaoPGothic",
        "Source Han Sans JP", "Yu Gothic UI", "Meiryo UI", "MS UI Gothic", "Hiragino Sans",
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
    if (family.isEmpty())
        return;
    QFont font = QApplication::font();
    font.setFamilies({ family });
    QApplication::setFont(font);
}

} // namespace miradel
