// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace miradel {

// The sample rate in the "fmt " chunk of a RIFF WAVE file, read from the file's first bytes;
// nothing when they hold no such chunk. The media service opens the device at the music's
// own rate: SDL_mixer 2.6 drops the last buffer of a stream that it resamples itself.
std::optional<int> WaveSampleRate(std::span<const std::uint8_t> head);

// Frames of a device buffer at `rate`: about 11.6 ms, the 512 frames of 44.1 kHz, as a power
// of two, so that a restart after the end waits at most that long.
int BufferFramesFor(int rate);

// Frames of a device buffer for a sound of `frames` frames at `rate` that loops: as long as
// it can be (about 100 ms down to 25 ms, so the audio thread seldom wakes), and such that
// the sound ends at most 2 ms before the end of a buffer. A sound starts at the beginning of
// a buffer and the rest of the buffer that it ends in is silence, so that rest is the gap
// before a restart. BufferFramesFor(rate) when no length fits.
int LoopBufferFramesFor(std::int64_t frames, int rate);

} // namespace miradel
