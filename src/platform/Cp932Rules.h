// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// The parts of code page 932 that are rules rather than a mapping, shared by both decoders
// (and the generator of the table decoder's data) so that they replace bad bytes alike.
namespace miradel::cp932 {

constexpr char16_t kReplacement = u'\uFFFD';

constexpr bool IsLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

constexpr bool IsTrailByte(unsigned char byte)
{
    return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

// Single bytes that Windows maps and glibc's CP932 rejects.
constexpr std::optional<char16_t> ExtraSingleByte(unsigned char byte)
{
    switch (byte) {
    case 0x80:
        return u'\u0080';
    case 0xA0:
        return u'\uF8F0';
    case 0xFD:
        return u'\uF8F1';
    case 0xFE:
        return u'\uF8F2';
    case 0xFF:
        return u'\uF8F3';
    default:
        return std::nullopt;
    }
}

// The length of the bad sequence that starts at `offset`: a lead byte with a non-ASCII trail
// that names no character is dropped with its trail; any other bad byte alone, so that the
// byte after it is decoded on its own.
constexpr std::size_t InvalidSequenceLength(std::string_view bytes, std::size_t offset)
{
    if (!IsLeadByte(static_cast<unsigned char>(bytes[offset])) || offset + 1 >= bytes.size())
        return 1;
    const auto trail = static_cast<unsigned char>(bytes[offset + 1]);
    return trail >= 0x80 && IsTrailByte(trail) ? 2 : 1;
}

} // namespace miradel::cp932
