// SPDX-License-Identifier: MIT
#include "platform/Cp932Table.h"

#include "platform/Cp932Rules.h"
#include "platform/Cp932TableData.h"

#include <array>

namespace miradel {

namespace {

using namespace cp932;

constexpr std::size_t kTrailsPerLead = 188;
constexpr std::size_t kLeadCount = 60;

constexpr std::size_t LeadIndex(unsigned char lead)
{
    return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + (0x9F - 0x81 + 1);
}

// Trail bytes skip 7F.
constexpr std::size_t TrailIndex(unsigned char trail)
{
    return trail < 0x7F ? trail - 0x40 : trail - 0x41;
}

constexpr std::size_t PairIndex(std::uint16_t pair)
{
    return LeadIndex(static_cast<unsigned char>(pair >> 8)) * kTrailsPerLead
        + TrailIndex(static_cast<unsigned char>(pair & 0xFF));
}

// Every pair's character, 0 where the pair names none (no pair names U+0000), and every
// byte's from 80 on, 0 for a lead byte or a byte the table leaves out: built while compiling.
struct Table {
    std::array<char16_t, kLeadCount * kTrailsPerLead> pairs {};
    std::array<char16_t, 0x80> singleBytes {};
};

constexpr Table kTable = [] {
    Table table;
    for (const TableRun& run : kTablePairRuns) {
        for (std::size_t i = 0; i < run.count; ++i)
            table.pairs[PairIndex(run.first) + i] = static_cast<char16_t>(run.firstCharacter + i);
    }
    for (const TableStretch& stretch : kTableStretches) {
        for (std::size_t i = 0; i < stretch.characters.size(); ++i)
            table.pairs[PairIndex(stretch.firstPair) + i] = stretch.characters[i];
    }
    for (const TableRun& run : kTableSingleByteRuns) {
        for (std::size_t i = 0; i < run.count; ++i)
            table.singleBytes[run.first - 0x80 + i] = static_cast<char16_t>(run.firstCharacter + i);
    }
    for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
        if (const auto extra = ExtraSingleByte(static_cast<unsigned char>(byte)))
            table.singleBytes[byte - 0x80] = *extra;
    }
    return table;
}();

char16_t PairCharacter(unsigned char lead, unsigned char trail)
{
    return IsTrailByte(trail) ? kTable.pairs[LeadIndex(lead) * kTrailsPerLead + TrailIndex(trail)] : 0;
}

} // namespace

Text DecodeCp932Table(std::string_view bytes, std::vector<std::size_t>* invalidByteOffsets)
{
    Text text;
    // Each byte yields at most one unit.
    text.reserve(bytes.size());
    std::size_t position = 0;
    while (position < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[position]);
        char16_t character = 0;
        std::size_t length = 1;
        if (byte < 0x80) {
            character = byte;
        } else if (!IsLeadByte(byte)) {
            character = kTable.singleBytes[byte - 0x80];
        } else if (position + 1 < bytes.size()) {
            character = PairCharacter(byte, static_cast<unsigned char>(bytes[position + 1]));
            length = 2;
        }
        // U+0000 is only ever the byte 00.
        if (character != 0 || byte == 0) {
            text += character;
            position += length;
            continue;
        }
        text += kReplacement;
        if (invalidByteOffsets)
            invalidByteOffsets->push_back(position);
        position += InvalidSequenceLength(bytes, position);
    }
    return text;
}

} // namespace miradel
