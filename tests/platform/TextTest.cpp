// SPDX-License-Identifier: MIT
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <string>

namespace miradel {
namespace {

TEST(Text, Utf8ConvertsBothWays)
{
    // ASCII, Japanese (three bytes) and a character beyond the Basic Multilingual Plane (four
    // bytes, a surrogate pair in the text).
    EXPECT_EQ(TextFromUtf8("txt/opn.dat"), u"txt/opn.dat");
    EXPECT_EQ(TextFromUtf8("\xe7\xa9\xba\xe7\xb9\x94\xe3\x82\x8a"), u"空織り");
    EXPECT_EQ(TextFromUtf8("\xf0\x9f\x8c\x99"), u"\U0001F319");
    for (const std::string utf8 : { "", "img/ttl.jpg", "\xe7\xa9\xba\xe7\xb9\x94", "\xf0\x9f\x8c\x99 \xc3\xa9" })
        EXPECT_EQ(TextToUtf8(TextFromUtf8(utf8)), utf8);
}

TEST(Text, BytesThatAreNotUtf8ComeBackUnchanged)
{
    // Names as archives leave them: code page 932 and Latin-1 bytes, and every kind of broken
    // sequence: cut short, overlong, an encoded surrogate, beyond U+10FFFF, a lone continuation.
    const std::string kNames[] = {
        "\x83\x51\x81\x5b\x83\x80", // ゲーム in code page 932
        "caf\xe9",
        "\xe3\x81",
        "\xc0\xaf",
        "\xed\xa0\x80",
        "\xf4\x90\x80\x80",
        "\x80x",
    };
    for (const std::string& name : kNames) {
        SCOPED_TRACE(name);
        const Text text = TextFromUtf8(name);
        EXPECT_EQ(TextToUtf8(text), name);
        for (const char16_t unit : text)
            EXPECT_TRUE(unit < 0xD800 || unit >= 0xDC80) << "a byte is kept as one unit of its own";
    }
    EXPECT_EQ(TextFromUtf8("caf\xe9"), u"caf\xdce9");
    EXPECT_EQ(TextFromUtf8("\xe3\x81"), u"\xdce3\xdc81");
}

} // namespace
} // namespace miradel
