// SPDX-License-Identifier: MIT
#pragma once

#include "Findings.h"
#include "platform/Text.h"

#include <string>

namespace miradel::check {

// Warns about a scene line that the player takes differently from what its author most
// likely meant: a command written with a leading blank, in capitals, in full-width
// characters or misspelt (all shown as text), a ">p" with more after it (it does not wait
// for a click), an ">img" whose separator is missing or whose name ends in blanks.
void CheckLineSpelling(TextView line, const std::string& shownName, long long lineNumber, Findings& findings);

// The edit distance between two short words (insertions, deletions, substitutions).
std::size_t EditDistance(TextView a, TextView b);

} // namespace miradel::check
