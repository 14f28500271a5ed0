#include "platform/Text.h"

#include <QString>

namespace miradel {

Text TextFromUtf8(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toStdU16String();
}

std::string TextToUtf8(TextView text)
{
    return QString::fromRawData(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()))
        .toUtf8()
        .toStdString();
}

Text DecimalText(long long value)
{
    const std::string digits = std::to_string(value);
    return Text(digits.begin(), digits.end());
}

} // namespace miradel
