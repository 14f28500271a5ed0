// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace miradel::check {

enum class Encoding { Cp932, Utf8, Utf16LittleEndian, Utf16BigEndian };

// What a scene file's bytes most likely are. UTF-8 and UTF-16 are recognised by their byte
// order mark or by their shape (valid multibyte UTF-8; NUL bytes in every other position),
// which text in code page 932 practically never has; anything else is taken as code page 932.
Encoding GuessEncoding(std::string_view bytes);

const char* EncodingName(Encoding encoding);

} // namespace miradel::check
