// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Text.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace miradel {

// Decodes code page 932 (Shift-JIS with the NEC and IBM extensions and the user-defined
// area, as Windows reads it) into text. It does not depend on the process locale.
//
// An invalid or truncated byte sequence becomes one U+FFFD and decoding goes on right after
// it, so no character that follows is lost: a lead byte followed by a byte that cannot be
// its trail is one bad byte, and that byte is decoded on its own. A lead byte and a trail
// byte that together name no character are one bad sequence of two bytes, unless the trail
// is ASCII, which is then kept. When `invalidByteOffsets` is given, the offset of the first
// byte of each bad sequence is appended to it.
Text DecodeCp932(std::string_view bytes, std::vector<std::size_t>* invalidByteOffsets = nullptr);

} // namespace miradel
