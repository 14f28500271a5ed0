// SPDX-License-Identifier: MIT
#include "platform/WaveHeader.h"

#include <array>
#include <cstring>

namespace miradel {

namespace {

constexpr int kPcm = 1;
constexpr int kFloat = 3;
constexpr int kExtensible = 0xFFFE;
// The chunks before the data that are walked at most; a file of tiny chunks ends the walk.
constexpr int kMostChunks = 1024;

std::uint32_t Little(const char* bytes, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return value;
}

std::string CheckFormat(const WaveHeader& header)
{
    if (header.channels < 1 || header.channels > 8)
        return "it declares " + std::to_string(header.channels) + " channels (1 to 8 play)";
    if (header.sampleRate < 8000 || header.sampleRate > 384000)
        return "it declares a sample rate of " + std::to_string(header.sampleRate) + " Hz (8,000 to 384,000 play)";
    if (header.blockAlign < 1 || header.blockAlign > 65535 / 2)
        return "its block alignment is " + std::to_string(header.blockAlign);
    const bool plain = header.formatTag == kPcm || header.formatTag == kFloat || header.formatTag == kExtensible;
    if (plain) {
        const int bytes = header.bitsPerSample / 8;
        if (header.bitsPerSample % 8 != 0 || bytes < 1 || bytes > 4 || header.blockAlign != bytes * header.channels) {
            return "its block alignment " + std::to_string(header.blockAlign) + " does not fit "
                + std::to_string(header.channels) + " channels of " + std::to_string(header.bitsPerSample) + " bits";
        }
    } else if (header.blockAlign < 4 * header.channels) {
        return "its block alignment " + std::to_string(header.blockAlign) + " is too small for "
            + std::to_string(header.channels) + " channels";
    }
    return {};
}

// The "smpl" chunk: 36 bytes, then 24 bytes per loop; the loop points count frames.
std::string CheckSampleLoops(const char* body, std::uint32_t length, WaveHeader& header, std::uint64_t frames)
{
    if (length < 36)
        return "its \"smpl\" chunk is cut short";
    header.sampleLoops = Little(body + 28, 4);
    if (header.sampleLoops > kMostSampleLoops)
        return "its \"smpl\" chunk declares " + std::to_string(header.sampleLoops) + " loops (at most "
            + std::to_string(kMostSampleLoops) + ")";
    if (36 + 24ull * header.sampleLoops > length)
        return "its \"smpl\" chunk declares " + std::to_string(header.sampleLoops) + " loops but holds fewer";
    for (std::uint32_t i = 0; i < header.sampleLoops; ++i) {
        const char* loop = body + 36 + 24 * i;
        const std::uint32_t start = Little(loop + 8, 4);
        const std::uint32_t end = Little(loop + 12, 4);
        if (start > end || end >= frames)
            return "a loop of its \"smpl\" chunk lies outside the sound";
    }
    return {};
}

} // namespace

std::string CheckWaveHeader(const ByteSource& source, std::uint64_t fileSize, WaveHeader& header)
{
    header = WaveHeader {};
    char riff[12];
    if (source(0, riff, 12) != 12 || std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0)
        return "it is not a RIFF WAVE file";
    bool format = false;
    bool data = false;
    std::uint32_t smplLength = 0;
    std::uint64_t smplAt = 0;
    std::uint64_t at = 12;
    for (int chunk = 0; chunk < kMostChunks && at + 8 <= fileSize; ++chunk) {
        char head[8];
        if (source(at, head, 8) != 8)
            break;
        const std::uint32_t length = Little(head + 4, 4);
        const std::uint64_t body = at + 8;
        if (std::memcmp(head, "fmt ", 4) == 0) {
            char fmt[16];
            if (length < 16 || source(body, fmt, 16) != 16)
                return "its \"fmt \" chunk is cut short";
            header.formatTag = static_cast<int>(Little(fmt, 2));
            header.channels = static_cast<int>(Little(fmt + 2, 2));
            header.sampleRate = Little(fmt + 4, 4);
            header.blockAlign = static_cast<int>(Little(fmt + 12, 2));
            header.bitsPerSample = static_cast<int>(Little(fmt + 14, 2));
            format = true;
        } else if (std::memcmp(head, "data", 4) == 0 && !data) {
            if (body + length > fileSize)
                return "its data chunk declares " + std::to_string(length) + " bytes but the file holds "
                    + std::to_string(fileSize - body);
            header.dataSize = length;
            data = true;
        } else if (std::memcmp(head, "smpl", 4) == 0) {
            smplAt = body;
            smplLength = length;
        }
        at = body + length + (length % 2);
    }
    if (!format)
        return "it has no \"fmt \" chunk";
    if (std::string problem = CheckFormat(header); !problem.empty())
        return problem;
    // An empty data chunk plays nothing, harmlessly.
    if (!data)
        return "it has no data chunk";
    if (smplLength > 0) {
        // Only the header and the loops it may hold are read, whatever the chunk declares.
        std::array<char, 36 + 24 * kMostSampleLoops> smpl {};
        const std::size_t wanted = std::min<std::size_t>(smplLength, smpl.size());
        if (source(smplAt, smpl.data(), wanted) != wanted)
            return "its \"smpl\" chunk is cut short";
        const std::uint64_t frames = header.dataSize / static_cast<std::uint64_t>(header.blockAlign);
        if (std::string problem = CheckSampleLoops(smpl.data(), smplLength, header, frames); !problem.empty())
            return problem;
    }
    return {};
}

} // namespace miradel
