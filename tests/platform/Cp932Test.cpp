// SPDX-License-Identifier: MIT
#include "platform/Cp932.h"
#include "platform/Cp932Table.h"

#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <utility>

namespace miradel {

namespace {

// Byte sequence -> code point, from tests/data/cp932/cp932_table.txt, which
// tests/data/cp932/make_cp932_table.py wrote with Python's cp932 codec.
using Cp932Table = std::map<std::string, char16_t>;

std::string BytesFromHex(const std::string& hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

const Cp932Table& ReferenceTable()
{
    static const Cp932Table table = [] {
        Cp932Table loaded;
        std::ifstream file(MIRADEL_TEST_DATA_DIR "/cp932/cp932_table.txt");
        std::string line;
        while (std::getline(file, line)) {
            if (line.empty() || line[0] == '#')
                continue;
            std::istringstream fields(line);
            std::string bytesHex;
            std::string codePointHex;
            fields >> bytesHex >> codePointHex;
            loaded[BytesFromHex(bytesHex)] = static_cast<char16_t>(std::stoi(codePointHex, nullptr, 16));
        }
        return loaded;
    }();
    return table;
}

bool IsLeadByte(int byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Every character of the table, in table order, as one stream and its expected text.
std::pair<std::string, Text> WholeTable()
{
    std::string bytes;
    Text text;
    for (const auto& [sequence, codePoint] : ReferenceTable()) {
        bytes += sequence;
        text += codePoint;
    }
    return { bytes, text };
}

std::string Byte(int value)
{
    return std::string(1, static_cast<char>(value));
}

// Both decoders meet the same table and the same rules: iconv's on the desktop, the compiled
// table where the C library has no code page 932.
struct Decoder {
    const char* name;
    Text (*decode)(std::string_view, std::vector<std::size_t>*);
};

void PrintTo(const Decoder& decoder, std::ostream* out)
{
    *out << decoder.name;
}

class Cp932 : public testing::TestWithParam<Decoder> {
protected:
    static Text Decode(std::string_view bytes, std::vector<std::size_t>* invalidByteOffsets = nullptr)
    {
        return GetParam().decode(bytes, invalidByteOffsets);
    }
};

INSTANTIATE_TEST_SUITE_P(Decoders, Cp932,
    testing::Values(Decoder { "Iconv", DecodeCp932 }, Decoder { "Table", DecodeCp932Table }),
    [](const testing::TestParamInfo<Decoder>& decoder) { return std::string(decoder.param.name); });

} // namespace

TEST_P(Cp932, MatchesPythonTableForEverySequence)
{
    const Cp932Table& table = ReferenceTable();
    ASSERT_EQ(table.size(), 196u + 9604u) << "tests/data/cp932/cp932_table.txt missing or changed";
    for (const auto& [sequence, codePoint] : table) {
        std::vector<std::size_t> invalid;
        EXPECT_EQ(Decode(sequence, &invalid), Text(1, codePoint)) << "bytes " << testing::PrintToString(sequence);
        EXPECT_TRUE(invalid.empty());
    }
    const auto [bytes, text] = WholeTable();
    EXPECT_EQ(Decode(bytes), text);
}

// The bytes and pairs of the examples are checked by hand, apart from any generated table,
// with the values of Microsoft's code page 932 table.
TEST_P(Cp932, DecodesHandCheckedCharacters)
{
    EXPECT_EQ(Decode("\x81\x60"), u"\uFF5E");
    EXPECT_EQ(Decode("\x81\x5F"), u"\uFF3C");
    EXPECT_EQ(Decode("\x87\x40"), u"\u2460");
    EXPECT_EQ(Decode("\x5C\x7E"), u"\\~");
    EXPECT_EQ(Decode("\x82\xA0\xB1\x88\x9F"), u"あｱ亜");
    EXPECT_EQ(Decode("\xF0\x40\xF9\xFC"), u"\uE000\uE757");
    EXPECT_EQ(Decode("\xFA\x40"), u"\u2170");
    EXPECT_EQ(Decode(std::string_view("\0\r\n\x7F", 4)), std::u16string_view(u"\0\r\n\x7F", 4));
    EXPECT_EQ(Decode(""), u"");
}

// glibc's iconv rejects these five single bytes; Windows maps them.
TEST_P(Cp932, DecodesSingleBytesThatIconvRejects)
{
    std::vector<std::size_t> invalid;
    EXPECT_EQ(Decode("\x80", &invalid), u"\u0080");
    EXPECT_EQ(Decode("\xA0", &invalid), u"\uF8F0");
    EXPECT_EQ(Decode("\xFD", &invalid), u"\uF8F1");
    EXPECT_EQ(Decode("\xFE", &invalid), u"\uF8F2");
    EXPECT_EQ(Decode("\xFF", &invalid), u"\uF8F3");
    EXPECT_EQ(Decode("a\x80\x82\xA0\xA0\x82\xA2\xFF", &invalid), u"a\u0080あ\uF8F0い\uF8F3");
    EXPECT_TRUE(invalid.empty());
}

// Every pair that starts with a lead byte and is not in the table is one bad sequence: the
// second byte is dropped with it when it is a non-ASCII trail byte, and decoded otherwise.
TEST_P(Cp932, ReplacesEveryPairOutsideTable)
{
    const Cp932Table& table = ReferenceTable();
    int rejected = 0;
    for (int lead = 0; lead < 256; ++lead) {
        ASSERT_EQ(table.contains(Byte(lead)), !IsLeadByte(lead)) << "byte " << lead;
        if (!IsLeadByte(lead))
            continue;
        for (int second = 0; second < 256; ++second) {
            const std::string pair = Byte(lead) + Byte(second);
            if (table.contains(pair))
                continue;
            ++rejected;
            const bool droppedWithLead = second >= 0x80 && second <= 0xFC;
            Text expected = u"\uFFFD";
            if (!droppedWithLead)
                expected += Decode(Byte(second));
            std::vector<std::size_t> invalid;
            ASSERT_EQ(Decode(pair, &invalid), expected) << "bytes " << testing::PrintToString(pair);
            ASSERT_EQ(invalid, std::vector<std::size_t> { 0 });
        }
    }
    EXPECT_GT(rejected, 0);
}

TEST_P(Cp932, ReplacesInvalidSequenceOnceAndKeepsWhatFollows)
{
    std::vector<std::size_t> invalid;
    // A lead byte before a byte that cannot be its trail: the byte is decoded on its own.
    EXPECT_EQ(Decode("\x82 \x82\xA0", &invalid), u"\uFFFD あ");
    EXPECT_EQ(invalid, std::vector<std::size_t> { 0 });
    invalid.clear();
    EXPECT_EQ(Decode("\x82\r\n", &invalid), u"\uFFFD\r\n");
    EXPECT_EQ(Decode("\x81\xFD", &invalid), u"\uFFFD\uF8F1");
    EXPECT_EQ(Decode("\x81\x7F"
                     "a",
                  &invalid),
        u"\uFFFD\x7F"
        u"a");
    EXPECT_EQ(invalid, (std::vector<std::size_t> { 0, 0, 0 }));
    invalid.clear();
    // A pair that names no character: an ASCII trail is kept, another trail goes with it.
    EXPECT_EQ(Decode("\x85\x41\x82\xA0", &invalid), u"\uFFFDAあ");
    EXPECT_EQ(Decode("\x85\x90\x82\xA0", &invalid), u"\uFFFDあ");
    EXPECT_EQ(Decode("\xEB\xA1\xB1", &invalid), u"\uFFFDｱ");
    EXPECT_EQ(invalid, (std::vector<std::size_t> { 0, 0, 0 }));
    invalid.clear();
    // A lead byte cut off by the end.
    EXPECT_EQ(Decode("\x82\xA0\x82", &invalid), u"あ\uFFFD");
    EXPECT_EQ(Decode("\x82", &invalid), u"\uFFFD");
    EXPECT_EQ(invalid, (std::vector<std::size_t> { 2, 0 }));
}

TEST_P(Cp932, ReportsOffsetOfEachInvalidSequence)
{
    const std::string ascii(40, 'x');
    const std::string bytes = ascii + "\x82\xA0\x82 \x82\xA2\x85\x90" + ascii + "\xEB\x40\x82";
    std::vector<std::size_t> invalid { 99 };
    const Text text = Decode(bytes, &invalid);
    const Text asciiText(40, u'x');
    EXPECT_EQ(text, asciiText + u"あ\uFFFD い\uFFFD" + asciiText + u"\uFFFD@\uFFFD");
    // Offsets are appended to what the vector held.
    EXPECT_EQ(invalid, (std::vector<std::size_t> { 99, 42, 46, 88, 90 }));
    EXPECT_EQ(Decode(bytes), text);
}

TEST_P(Cp932, DecodesLongMixedText)
{
    // Long runs of each kind cross every boundary between ASCII and iconv's chunks.
    std::string bytes;
    Text expected;
    for (int i = 0; i < 2000; ++i) {
        const std::string ascii(static_cast<std::size_t>(i % 37), static_cast<char>('a' + i % 26));
        bytes += ascii + "\x82\xA0\xB1" + (i % 5 == 0 ? "\x81 " : "") + (i % 7 == 0 ? "\xA0" : "");
        expected += Text(ascii.begin(), ascii.end()) + u"あｱ";
        if (i % 5 == 0)
            expected += u"\uFFFD ";
        if (i % 7 == 0)
            expected += u"\uF8F0";
    }
    EXPECT_EQ(Decode(bytes), expected);
}

TEST_P(Cp932, DecodesAlikeInCLocale)
{
    const auto [bytes, text] = WholeTable();
    const std::string sample = bytes + "\x80\xA0\xFD\xFE\xFF\x82 \x85\x90\x82";
    const Text expected = text + u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3\uFFFD \uFFFD\uFFFD";
    ASSERT_EQ(Decode(sample), expected);

    const std::string previous = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    Text decodedHere = Decode(sample);
    // A new thread opens its converter under the C locale.
    Text decodedInNewThread;
    std::thread([&] { decodedInNewThread = Decode(sample); }).join();
    std::setlocale(LC_ALL, previous.c_str());

    EXPECT_EQ(decodedHere, expected);
    EXPECT_EQ(decodedInNewThread, expected);
}

} // namespace miradel
