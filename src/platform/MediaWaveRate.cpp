// SPDX-License-Identifier: MIT
#include "platform/MediaWaveRate.h"

#include <algorithm>
#include <bit>
#include <string_view>

namespace miradel {

namespace {

std::uint32_t Little32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8
        | static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

bool TagAt(std::span<const std::uint8_t> bytes, std::size_t at, std::string_view tag)
{
    return std::ranges::equal(
        bytes.subspan(at, 4), tag, [](std::uint8_t b, char c) { return b == static_cast<std::uint8_t>(c); });
}

} // namespace

std::optional<int> WaveSampleRate(std::span<const std::uint8_t> head)
{
    if (head.size() < 12 || !TagAt(head, 0, "RIFF") || !TagAt(head, 8, "WAVE"))
        return std::nullopt;
    // Chunks: a tag, a 32-bit length, the body padded to an even length. The rate sits
    // 4 bytes into the format chunk's body, after the format tag and channel count.
    std::size_t at = 12;
    while (at + 8 <= head.size()) {
        const std::uint32_t length = Little32(head, at + 4);
        if (TagAt(head, at, "fmt ")) {
            if (length < 8 || at + 16 > head.size())
                return std::nullopt;
            const std::uint32_t rate = Little32(head, at + 12);
            if (rate < 1000 || rate > 384000)
                return std::nullopt;
            return static_cast<int>(rate);
        }
        if (length > head.size())
            return std::nullopt;
        at += 8 + length + (length % 2);
    }
    return std::nullopt;
}

int BufferFramesFor(int rate)
{
    constexpr int kFramesAt44100 = 512;
    const auto scaled = static_cast<unsigned>(static_cast<long long>(rate) * kFramesAt44100 / 44100);
    return std::clamp(static_cast<int>(std::bit_floor(std::max(scaled, 1u))), 128, 4096);
}

int LoopBufferFramesFor(std::int64_t frames, int rate)
{
    const std::int64_t longest = rate / 10;
    const std::int64_t shortest = rate / 40;
    const std::int64_t gapLimit = std::max<std::int64_t>(1, rate / 500);
    // A sound that ends exactly at the end of a buffer is not taken: whether the mixer
    // reports its end in that buffer or only in the next is its own business.
    for (std::int64_t size = longest; size >= shortest && frames > 0; --size) {
        const std::int64_t rest = frames % size;
        if (rest != 0 && size - rest <= gapLimit)
            return static_cast<int>(size);
    }
    return BufferFramesFor(rate);
}

} // namespace miradel
