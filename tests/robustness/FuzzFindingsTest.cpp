// SPDX-License-Identifier: MIT
// Every input the player fuzz target ever reported, replayed through the same driver: it
// checks the same invariants and aborts when one breaks. Each file in findings/ is a fuzz
// input as scripts/fuzz.sh saved it; its name says what it found.

#include "fuzz/PlayerDrive.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace miradel::robust {
namespace {

TEST(FuzzFindings, ReplayWithoutBreakingAnInvariant)
{
    PlayerDrive drive;
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(MIRADEL_FINDINGS_DIR)) {
        if (entry.path().extension() == ".md")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        const PlayInput input = SplitInput(bytes);
        drive.SetScenes(input);
        drive.Play(input.events, SeedOf(bytes));
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}

} // namespace
} // namespace miradel::robust
