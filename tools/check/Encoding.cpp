// SPDX-License-Identifier: MIT
#include "Encoding.h"

#include <cstddef>

namespace miradel::check {

static unsigned char ByteAt(std::string_view bytes, std::size_t index)
{
    return static_cast<unsigned char>(bytes[index]);
}

static bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Valid UTF-8 with at least one multibyte character: pure ASCII reads the same either way.
static bool LooksLikeUtf8(std::string_view bytes)
{
    std::size_t multibyte = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char lead = ByteAt(bytes, i);
        std::size_t length = 1;
        if (lead >= 0xC2 && lead <= 0xDF)
            length = 2;
        else if (lead >= 0xE0 && lead <= 0xEF)
            length = 3;
        else if (lead >= 0xF0 && lead <= 0xF4)
            length = 4;
        else if (lead >= 0x80)
            return false;
        if (i + length > bytes.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if (!IsContinuation(ByteAt(bytes, i + k)))
                return false;
        }
        multibyte += length > 1 ? 1 : 0;
        i += length;
    }
    return multibyte > 0;
}

// Mostly-ASCII UTF-16 has a NUL in every other byte; code page 932 text has none.
static bool NulsMostlyAt(std::string_view bytes, std::size_t parity)
{
    std::size_t nuls = 0;
    const std::size_t pairs = bytes.size() / 2;
    for (std::size_t i = parity; i < bytes.size(); i += 2)
        nuls += ByteAt(bytes, i) == 0 ? 1 : 0;
    return pairs > 0 && nuls * 4 >= pairs;
}

Encoding GuessEncoding(std::string_view bytes)
{
    // The beginning of a file tells its encoding; a long story need not be read twice.
    constexpr std::size_t kSample = 64 * 1024;
    bytes = bytes.substr(0, kSample);
    if (bytes.size() == kSample) {
        // The sample may end inside a character.
        while (!bytes.empty() && static_cast<unsigned char>(bytes.back()) >= 0x80)
            bytes.remove_suffix(1);
    }
    if (bytes.starts_with("\xFF\xFE"))
        return Encoding::Utf16LittleEndian;
    if (bytes.starts_with("\xFE\xFF"))
        return Encoding::Utf16BigEndian;
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return Encoding::Utf8;
    if (NulsMostlyAt(bytes, 1))
        return Encoding::Utf16LittleEndian;
    if (NulsMostlyAt(bytes, 0))
        return Encoding::Utf16BigEndian;
    if (LooksLikeUtf8(bytes))
        return Encoding::Utf8;
    return Encoding::Cp932;
}

const char* EncodingName(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Cp932:
        return "Shift-JIS (code page 932)";
    case Encoding::Utf8:
        return "UTF-8";
    case Encoding::Utf16LittleEndian:
        return "UTF-16 (little-endian)";
    case Encoding::Utf16BigEndian:
        return "UTF-16 (big-endian)";
    }
    return "";
}

} // namespace miradel::check
