// SPDX-License-Identifier: MIT
#pragma once

namespace miradel {

// While the toolkit connects to the display, a failure to connect ends the program with one
// line on stderr and status 1, instead of the toolkit's page of advice and an abort. So does
// a display that takes the connection and never answers, after kDisplayAnswerSeconds.
inline constexpr int kDisplayAnswerSeconds = 8;
void ReportDisplayFailureInOneLine();
// From here on the toolkit reports as it always does.
void EndDisplayStart();

} // namespace miradel
