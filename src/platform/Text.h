// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace miradel {

// Text as the game sees it: UTF-16 code units. Code page 932 maps only into the Basic
// Multilingual Plane, so one unit is one character, and positions count characters.
using Text = std::u16string;
using TextView = std::u16string_view;

// UTF-8 both ways, losing nothing: file names are bytes that need not be UTF-8 (a folder
// unpacked from a Windows archive keeps its code page 932 name), so a byte that does not
// belong to a UTF-8 sequence becomes the lone unit U+DC80 to U+DCFF and goes back to the
// same byte. Code page 932 text never holds such units.
Text TextFromUtf8(std::string_view utf8);
std::string TextToUtf8(TextView text);

// A whole number as decimal digits, with a minus sign only when negative: 0 is "0".
Text DecimalText(long long value);

// True when the line's leading characters, as many as the literal has, equal the literal.
// A line shorter than the literal never matches.
constexpr bool BeginsWith(TextView line, TextView literal)
{
    return line.starts_with(literal);
}

} // namespace miradel
