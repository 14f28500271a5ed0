// SPDX-License-Identifier: MIT
// Plays arbitrary bytes through the game over a headless window: the first part of the input
// is a sequence of clicks, ticks and button presses, the others are the scene files
// (PlayerDrive.h has the layout), held in memory. Content errors are expected outcomes; a
// broken invariant, a read of a closed file, a crash, a hang or a leak is a finding.

#include "fuzz/PlayerDrive.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Made per input, so that every allocation of a run is freed by its end and libFuzzer
    // has no reason to suspect a leak and run the input again.
    miradel::robust::PlayerDrive drive;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const miradel::robust::PlayInput input = miradel::robust::SplitInput(bytes);
    drive.SetScenes(input);
    drive.Play(input.events, miradel::robust::SeedOf(bytes));
    return 0;
}
