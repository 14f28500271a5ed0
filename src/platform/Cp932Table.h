// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Text.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace miradel {

// Decodes code page 932 exactly as DecodeCp932 does, with the same replacement rules, from a
// table compiled into the program instead of iconv: for a C library whose iconv has no code
// page 932 (the browser build's).
Text DecodeCp932Table(std::string_view bytes, std::vector<std::size_t>* invalidByteOffsets = nullptr);

} // namespace miradel
