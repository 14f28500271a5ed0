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

} // namespace miradel
