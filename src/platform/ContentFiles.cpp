#include "platform/ContentFiles.h"

#include <QCoreApplication>

namespace miradel {

std::filesystem::path PathFromText(TextView text)
{
    return std::filesystem::path(std::u16string(text));
}

ContentFile LocateContentFile(TextView folder, TextView name, TextView extension, TextView gameFolder)
{
    Text joined = Text(folder) + Text(name) + Text(extension);
    Text shown = joined;
    if (BeginsWith(shown, gameFolder))
        shown.erase(0, gameFolder.size());
    return { PathFromText(joined), TextToUtf8(shown) };
}

Text ExecutableFolder()
{
    // applicationDirPath() is the folder of the real file, not of a link to it, written
    // with "/", which every platform's file functions accept.
    QString folder = QCoreApplication::applicationDirPath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder.toStdU16String();
}

} // namespace miradel
