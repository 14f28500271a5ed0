// SPDX-License-Identifier: MIT
#include "platform/Cp932.h"
#include "platform/Cp932Table.h"

#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <map>
#include <string>
#include <thread>

namespace miradel {
namespace {

std::string Byte(unsigned long value)
{
    return std::string(1, static_cast<char>(value));
}

// Byte sequence -> code point, as tests/data/cp932/make_cp932_table.py wrote them with Python.
using Cp932Table = std::map<std::string, char16_t>;

Cp932Table ReferenceTable()
{
    Cp932Table table;
    std::ifstream file(MIRADEL_TEST_DATA_DIR "/cp932/cp932_table.txt");
    std::string bytes;
    std::getline(file, bytes); // the heading
    std::string codePoint;
    while (file >> bytes >> codePoint) {
        const unsigned long value = std::stoul(bytes, nullptr, 16);
        table[bytes.size() == 2 ? Byte(value) : Byte(value >> 8) + Byte(value & 0xFF)]
            = static_cast<char16_t>(std::stoul(codePoint, nullptr, 16));
    }
    return table;
}

// iconv's decoder on the desktop, the compiled table where the C library lacks code page 932.
class Cp932 : public testing::TestWithParam<Text (*)(std::string_view, std::vector<std::size_t>*)> {
protected:
    static Text Decode(std::string_view bytes, std::vector<std::size_t>* invalid = nullptr)
    {
        return GetParam()(bytes, invalid);
    }
};

INSTANTIATE_TEST_SUITE_P(Decoders, Cp932, testing::Values(DecodeCp932, DecodeCp932Table),
    [](const auto& decoder) { return decoder.index == 0 ? "Iconv" : "Table"; });

TEST_P(Cp932, MatchesPythonTableAndReplacesEveryPairOutsideIt)
{
    const Cp932Table table = ReferenceTable();
    ASSERT_EQ(table.size(), 196u + 9604u) << "tests/data/cp932/cp932_table.txt missing or changed";
    std::string bytes;
    Text text;
    for (const auto& [sequence, codePoint] : table) {
        std::vector<std::size_t> invalid;
        EXPECT_EQ(Decode(sequence, &invalid), Text(1, codePoint)) << "bytes " << testing::PrintToString(sequence);
        EXPECT_TRUE(invalid.empty());
        bytes += sequence;
        text += codePoint;
    }
    // All of it as one stream, bad sequences after it, their offsets added to what the vector
    // held; alike in the C locale and in a new thread, which opens its converter under that locale.
    const std::size_t end = bytes.size();
    bytes += "\x82 \x85\x90\x82";
    text += u"\uFFFD \uFFFD\uFFFD";
    std::vector<std::size_t> invalid { 99 };
    EXPECT_EQ(Decode(bytes, &invalid), text);
    EXPECT_EQ(invalid, (std::vector<std::size_t> { 99, end, end + 2, end + 4 }));
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    const Text decodedHere = Decode(bytes);
    Text decodedInNewThread;
    std::thread([&] { decodedInNewThread = Decode(bytes); }).join();
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(decodedHere, text);
    EXPECT_EQ(decodedInNewThread, text);

    // Every pair that starts with a lead byte and is not in the table is one bad sequence: the
    // second byte is dropped with it when it is a non-ASCII trail byte, and decoded otherwise.
    const auto isLeadByte = [](int byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); };
    for (int lead = 0; lead < 256; ++lead) {
        ASSERT_EQ(table.contains(Byte(lead)), !isLeadByte(lead)) << "byte " << lead;
        if (!isLeadByte(lead))
            continue;
        for (int second = 0; second < 256; ++second) {
            const std::string pair = Byte(lead) + Byte(second);
            if (table.contains(pair))
                continue;
            const Text expected = u"\uFFFD" + (second >= 0x80 && second <= 0xFC ? Text() : Decode(Byte(second)));
            invalid.clear();
            ASSERT_EQ(Decode(pair, &invalid), expected) << "bytes " << testing::PrintToString(pair);
            ASSERT_EQ(invalid, std::vector<std::size_t> { 0 });
        }
    }
}

} // namespace
} // namespace miradel
