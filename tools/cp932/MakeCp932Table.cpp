// SPDX-License-Identifier: MIT
// Writes src/platform/Cp932TableData.h, the mapping of the decoder that needs no iconv, from
// glibc's iconv CP932: every pair of a lead and a trail byte that iconv decodes to exactly one
// character, and the single bytes above ASCII. The bytes iconv rejects and Windows maps are
// rules of the decoders (platform/Cp932Rules.h), not data.
//   miradel_make_cp932_table > src/platform/Cp932TableData.h   (the build's cp932_table target)
#include "platform/Cp932Rules.h"

#include <bit>
#include <cstdio>
#include <iconv.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using miradel::cp932::IsLeadByte;
using miradel::cp932::IsTrailByte;

constexpr int kTrailsPerLead = 188;
// Pairs whose code points count up by one for at least a whole row are written as a run, not
// character by character: the user-defined area is one run of 1880 pairs.
constexpr std::size_t kShortestRun = kTrailsPerLead;
constexpr char16_t kNoCharacter = u'\uFFFF';

class Iconv {
public:
    Iconv()
        : m_descriptor(iconv_open(std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE", "CP932"))
    {
    }
    ~Iconv()
    {
        if (m_descriptor != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_descriptor);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool IsOpen() const { return m_descriptor != reinterpret_cast<iconv_t>(-1); }

    // The one character the bytes decode to as a whole, if they do.
    std::optional<char16_t> Decode(std::string bytes)
    {
        iconv(m_descriptor, nullptr, nullptr, nullptr, nullptr);
        char16_t output[4];
        char* input = bytes.data();
        std::size_t inputLeft = bytes.size();
        char* outputAt = reinterpret_cast<char*>(output);
        std::size_t outputLeft = sizeof(output);
        if (iconv(m_descriptor, &input, &inputLeft, &outputAt, &outputLeft) == static_cast<std::size_t>(-1)
            || inputLeft != 0 || outputLeft != sizeof(output) - sizeof(char16_t))
            return std::nullopt;
        return output[0];
    }

private:
    iconv_t m_descriptor;
};

int TrailByte(int trailIndex)
{
    return trailIndex < 0x3F ? 0x40 + trailIndex : 0x41 + trailIndex;
}

// Ideographs and kana are written as themselves, so that a row can be read and compared with
// a printed table; everything else as an escape.
std::string Literal(char16_t character)
{
    const bool plain = (character >= 0x3041 && character <= 0x30FE) || (character >= 0x4E00 && character <= 0x9FFF)
        || (character >= 0xF900 && character <= 0xFAFF) || (character >= 0xFF01 && character <= 0xFF5E);
    char buffer[16];
    if (!plain) {
        std::snprintf(buffer, sizeof(buffer), "\\u%04X", static_cast<unsigned>(character));
        return buffer;
    }
    std::string utf8;
    utf8 += static_cast<char>(0xE0 | (character >> 12));
    utf8 += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
    utf8 += static_cast<char>(0x80 | (character & 0x3F));
    return utf8;
}

std::string Literal(const std::u16string& characters)
{
    std::string literal;
    for (const char16_t character : characters)
        literal += Literal(character);
    return literal;
}

struct Pair {
    int lead;
    int trail;
    char16_t character;
};

} // namespace

int main()
{
    Iconv converter;
    if (!converter.IsOpen()) {
        std::fprintf(stderr, "iconv does not know CP932\n");
        return 1;
    }

    // Every possible pair in table order, kNoCharacter where iconv decodes none.
    std::vector<Pair> pairs;
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        if (!IsLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (int trailIndex = 0; trailIndex < kTrailsPerLead; ++trailIndex) {
            const int trail = TrailByte(trailIndex);
            const auto character = converter.Decode({ static_cast<char>(lead), static_cast<char>(trail) });
            if (character && (*character == kNoCharacter || (*character >= 0xD800 && *character <= 0xDFFF))) {
                std::fprintf(stderr, "unexpected character U+%04X for %02X%02X\n", *character, lead, trail);
                return 1;
            }
            pairs.push_back({ lead, trail, character.value_or(kNoCharacter) });
        }
    }
    // The decoders rely on these: a byte that cannot be a trail never makes a pair, and ASCII
    // is itself.
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (int trail = 0; trail <= 0xFF; ++trail) {
            if (IsLeadByte(static_cast<unsigned char>(lead)) && IsTrailByte(static_cast<unsigned char>(trail)))
                continue;
            const auto character = converter.Decode({ static_cast<char>(lead), static_cast<char>(trail) });
            if (character) {
                std::fprintf(stderr, "iconv decodes %02X%02X outside the pair ranges\n", lead, trail);
                return 1;
            }
        }
    }
    for (int byte = 0; byte < 0x80; ++byte) {
        if (converter.Decode(std::string(1, static_cast<char>(byte))) != static_cast<char16_t>(byte)) {
            std::fprintf(stderr, "iconv does not decode %02X as ASCII\n", byte);
            return 1;
        }
    }

    // Runs first; what they cover is left out of the rows.
    std::vector<std::string> runs;
    for (std::size_t start = 0; start < pairs.size();) {
        std::size_t end = start + 1;
        while (pairs[start].character != kNoCharacter && end < pairs.size()
            && pairs[end].character == pairs[end - 1].character + 1)
            ++end;
        if (pairs[start].character != kNoCharacter && end - start >= kShortestRun) {
            char run[64];
            std::snprintf(run, sizeof(run), "    { 0x%02X%02X, %zu, 0x%04X },", pairs[start].lead, pairs[start].trail,
                end - start, static_cast<unsigned>(pairs[start].character));
            runs.push_back(run);
            for (std::size_t i = start; i < end; ++i)
                pairs[i].character = kNoCharacter;
        }
        start = end;
    }

    std::printf("%s", R"(// SPDX-License-Identifier: MIT
// Written by tools/cp932/MakeCp932Table.cpp from glibc's iconv CP932; do not edit (the build's
// cp932_table target writes it again).
// clang-format off
#pragma once

#include <cstdint>
#include <string_view>

namespace miradel::cp932 {

// A pair is a lead byte and a trail byte, written as one number (8140 is 81 40); pairs are
// counted in table order: the trail bytes 40 to FC without 7F (188 of them) for each lead
// byte in turn.
struct TableRun {
    std::uint16_t first;
    std::uint16_t count;
    char16_t firstCharacter;
};

struct TableStretch {
    std::uint16_t firstPair;
    std::u16string_view characters;
};

// Pairs whose characters count up by one: the first pair, how many pairs, the character of
// the first.
constexpr TableRun kTablePairRuns[] = {
)");
    for (const std::string& run : runs)
        std::printf("%s\n", run.c_str());
    std::printf("%s", R"(};

// The other pairs, in stretches without a gap: the first pair, then the characters of it and
// of the pairs that follow it in table order. A pair in neither list names no character.
constexpr TableStretch kTableStretches[] = {
)");
    for (std::size_t start = 0; start < pairs.size();) {
        if (pairs[start].character == kNoCharacter) {
            ++start;
            continue;
        }
        std::size_t end = start;
        std::u16string stretch;
        while (end < pairs.size() && pairs[end].character != kNoCharacter)
            stretch += pairs[end++].character;
        std::printf("    { 0x%02X%02X, u\"", pairs[start].lead, pairs[start].trail);
        // Lines of 32 characters, as adjacent literals.
        for (std::size_t i = 0; i < stretch.size(); i += 32) {
            if (i > 0)
                std::printf("\"\n              u\"");
            std::printf("%s", Literal(stretch.substr(i, 32)).c_str());
        }
        std::printf("\" },\n");
        start = end;
    }
    std::printf("%s", R"(};

// The single bytes from 80 to FF that iconv decodes, as runs: the byte, how many bytes, the
// character of the first.
constexpr TableRun kTableSingleByteRuns[] = {
)");
    for (int byte = 0x80; byte <= 0xFF;) {
        const auto first = IsLeadByte(static_cast<unsigned char>(byte))
            ? std::nullopt
            : converter.Decode(std::string(1, static_cast<char>(byte)));
        if (!first) {
            ++byte;
            continue;
        }
        int end = byte + 1;
        while (end <= 0xFF && !IsLeadByte(static_cast<unsigned char>(end))
            && converter.Decode(std::string(1, static_cast<char>(end))) == *first + (end - byte))
            ++end;
        std::printf("    { 0x%02X, %d, 0x%04X },\n", byte, end - byte, static_cast<unsigned>(*first));
        byte = end;
    }
    std::printf("%s", R"(};

} // namespace miradel::cp932
)");
    return 0;
}
