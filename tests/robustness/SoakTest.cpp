// SPDX-License-Identifier: MIT
// Long play: the bundled game for 100,000 seeded clicks, ticks and button presses through
// the game over a headless window, with the invariants of the fuzz driver checked after each. Leaks show up
// under LeakSanitizer in the sanitizer build; here the resident memory must stay flat.

#include "fuzz/PlayerDrive.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

namespace miradel::robust {
namespace {

constexpr std::size_t kWarmUpEvents = 20'000;
constexpr std::size_t kSoakEvents = 100'000;
// Allocator slack; a leak of even a few bytes per event exceeds it.
constexpr long kAllowedGrowthKiB = 4 * 1024;

long ResidentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

bool UnderAddressSanitizer()
{
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#endif
#endif
    return false;
}

PlayInput BundledGame()
{
    PlayInput input;
    for (const std::string_view name : kSceneNames) {
        std::ifstream file(std::string(MIRADEL_GAME_DIR) + "/txt/" + std::string(name) + ".dat", std::ios::binary);
        input.scenes.emplace_back(
            std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()));
    }
    return input;
}

TEST(Soak, BundledGamePlaysOnWithFlatMemory)
{
    PlayerDrive drive;
    drive.SetScenes(BundledGame());
    drive.StartLongPlay(20240607);

    const PlayOutcome warmUp = drive.ContinueLongPlay(kWarmUpEvents);
    ASSERT_FALSE(warmUp.fatalReport) << *warmUp.fatalReport;
    const long before = ResidentKiB();
    const PlayOutcome soak = drive.ContinueLongPlay(kSoakEvents - kWarmUpEvents);
    ASSERT_FALSE(soak.fatalReport) << *soak.fatalReport;
    const long after = ResidentKiB();

    // The sanitizer's quarantine holds freed memory back on purpose: only LeakSanitizer
    // can judge there.
    if (!UnderAddressSanitizer()) {
        EXPECT_LT(after - before, kAllowedGrowthKiB) << "resident " << before << " KiB -> " << after << " KiB";
    }
}

} // namespace
} // namespace miradel::robust
