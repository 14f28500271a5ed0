// SPDX-License-Identifier: MIT
// The fuzz driver checks its invariants after every event and aborts when one breaks: long
// play of the bundled game, and every input the fuzzer ever reported (findings/README.md).

#include "fuzz/PlayerDrive.h"
#include "support/GameFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace miradel::robust {
namespace {

long ResidentKiB()
{
    long size = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// 100,000 seeded clicks, ticks and button presses; leaks show up under LeakSanitizer in the
// sanitizer build, here the resident memory must stay flat after a warm-up.
TEST(Soak, BundledGamePlaysOnWithFlatMemory)
{
    PlayInput input;
    for (const std::string_view name : kSceneNames)
        input.scenes.emplace_back(
            test::ReadWholeFile(std::string(MIRADEL_GAME_DIR) + "/txt/" + std::string(name) + ".dat"));
    PlayerDrive drive;
    drive.SetScenes(input);
    drive.StartLongPlay(20240607);
    const PlayOutcome warmUp = drive.ContinueLongPlay(20'000);
    ASSERT_FALSE(warmUp.fatalReport) << *warmUp.fatalReport;
    [[maybe_unused]] const long before = ResidentKiB();
    const PlayOutcome soak = drive.ContinueLongPlay(80'000);
    ASSERT_FALSE(soak.fatalReport) << *soak.fatalReport;
    EXPECT_EQ(soak.eventsRun, 80'000u);
#if !defined(__SANITIZE_ADDRESS__)
    // Allocator slack, below a few bytes per event; the sanitizer's quarantine holds memory back.
    EXPECT_LT(ResidentKiB() - before, 4 * 1024) << "resident KiB before: " << before;
#endif
}

TEST(FuzzFindings, ReplayWithoutBreakingAnInvariant)
{
    PlayerDrive drive;
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(MIRADEL_FINDINGS_DIR)) {
        if (entry.path().extension() == ".md")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        const std::string bytes = test::ReadWholeFile(entry.path());
        const PlayInput input = SplitInput(bytes);
        drive.SetScenes(input);
        drive.Play(input.events, SeedOf(bytes));
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}

} // namespace
} // namespace miradel::robust
