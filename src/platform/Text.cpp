#include "platform/Text.h"

namespace miradel {

namespace {

void AppendUtf16(Text& text, char32_t c)
{
    if (c < 0x10000) {
        text.push_back(static_cast<char16_t>(c));
        return;
    }
    c -= 0x10000;
    text.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    text.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
}

void AppendUtf8(std::string& utf8, char32_t c)
{
    if (c < 0x80) {
        utf8.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        utf8.push_back(static_cast<char>(0xC0 | (c >> 6)));
        utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        utf8.push_back(static_cast<char>(0xE0 | (c >> 12)));
        utf8.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        utf8.push_back(static_cast<char>(0xF0 | (c >> 18)));
        utf8.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        utf8.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::size_t SequenceLength(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

} // namespace

// The conversions behave as the toolkit's did (messages and paths kept their bytes when this
// replaced it): a leading byte order mark is dropped, every byte of a malformed sequence
// (overlong, a surrogate, beyond U+10FFFF, cut short) that cannot start a character becomes
// U+FFFD, and an unpaired surrogate becomes "?".
Text TextFromUtf8(std::string_view utf8)
{
    Text text;
    text.reserve(utf8.size());
    for (std::size_t i = utf8.starts_with("\xEF\xBB\xBF") ? 3 : 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            text.push_back(lead);
            ++i;
            continue;
        }
        const std::size_t length = SequenceLength(lead);
        char32_t c = lead & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
        std::size_t taken = 1;
        for (; taken < length && i + taken < utf8.size(); ++taken) {
            const auto next = static_cast<unsigned char>(utf8[i + taken]);
            if ((next & 0xC0) != 0x80)
                break;
            c = (c << 6) | (next & 0x3F);
        }
        const bool valid = length > 0 && taken == length
            && !(length == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)))
            && !(length == 4 && (c < 0x10000 || c > 0x10FFFF));
        if (!valid) {
            text.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        AppendUtf16(text, c);
        i += length;
    }
    return text;
}

std::string TextToUtf8(TextView text)
{
    std::string utf8;
    utf8.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = u'?';
        AppendUtf8(utf8, c);
    }
    return utf8;
}

Text DecimalText(long long value)
{
    const std::string digits = std::to_string(value);
    return Text(digits.begin(), digits.end());
}

} // namespace miradel
