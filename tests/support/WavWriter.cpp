// SPDX-License-Identifier: MIT
#include "support/WavWriter.h"

#include <fstream>
#include <stdexcept>
#include <string_view>

namespace miradel::test {

namespace {

class Bytes {
public:
    void Tag(std::string_view fourCc) { data.insert(data.end(), fourCc.begin(), fourCc.end()); }
    void Little(std::uint32_t value, int count)
    {
        for (int i = 0; i < count; ++i)
            data.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    void Chunk(std::string_view fourCc, const Bytes& body)
    {
        Tag(fourCc);
        Little(static_cast<std::uint32_t>(body.data.size()), 4);
        data.insert(data.end(), body.data.begin(), body.data.end());
        if (body.data.size() % 2 != 0)
            data.push_back(0); // RIFF chunks are padded to an even length
    }
    std::vector<std::uint8_t> data;
};

} // namespace

std::vector<std::uint8_t> MakeWav(const WavFormat& format, const std::vector<std::int16_t>& samples)
{
    const auto channels = static_cast<std::uint32_t>(format.channels);
    const std::size_t frames = samples.size() / channels;
    const bool adpcm = format.encoding != WavEncoding::Pcm;
    const bool ms = format.encoding == WavEncoding::MsAdpcm;
    const std::uint32_t blockAlign = adpcm ? 256 * channels : channels * format.bitsPerSample / 8;
    // Per channel, a block header is 7 bytes (MS: predictor, delta, two samples) or 4 (IMA:
    // one sample, step index); each further byte holds two 4-bit codes.
    const std::uint32_t samplesPerBlock = !adpcm ? 1
        : ms                                     ? (blockAlign - 7 * channels) * 2 / channels + 2
                                                 : (blockAlign - 4 * channels) * 2 / channels + 1;
    const std::uint16_t tag = ms ? 2 : adpcm ? 0x11 : 1;

    Bytes fmt;
    fmt.Little(format.extensible ? 0xFFFE : tag, 2);
    fmt.Little(channels, 2);
    fmt.Little(static_cast<std::uint32_t>(format.sampleRate), 4);
    fmt.Little(static_cast<std::uint32_t>(format.sampleRate) * blockAlign / samplesPerBlock, 4);
    fmt.Little(blockAlign, 2);
    fmt.Little(adpcm ? 4 : static_cast<std::uint32_t>(format.bitsPerSample), 2);
    if (format.extensible) {
        fmt.Little(22, 2);
        fmt.Little(static_cast<std::uint32_t>(format.bitsPerSample), 2);
        fmt.Little(channels == 1 ? 0x4 : 0x3, 4); // front centre, or front left and right
        // KSDATAFORMAT_SUBTYPE_PCM.
        for (const std::uint8_t byte : { 1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71 })
            fmt.Little(byte, 1);
    } else if (ms) {
        // The seven standard coefficient pairs; pair 0 (256, 0) predicts the last sample.
        const int pairs[7][2]
            = { { 256, 0 }, { 512, -256 }, { 0, 0 }, { 192, 64 }, { 240, 0 }, { 460, -208 }, { 392, -232 } };
        fmt.Little(4 + 4 * 7, 2);
        fmt.Little(samplesPerBlock, 2);
        fmt.Little(7, 2);
        for (const auto& [first, second] : pairs) {
            fmt.Little(static_cast<std::uint16_t>(first), 2);
            fmt.Little(static_cast<std::uint16_t>(second), 2);
        }
    } else if (adpcm) {
        fmt.Little(2, 2);
        fmt.Little(samplesPerBlock, 2);
    }

    Bytes data;
    if (!adpcm) {
        for (const std::int16_t sample : samples) {
            if (format.bitsPerSample == 8)
                data.Little(static_cast<std::uint8_t>((sample >> 8) + 128), 1);
            else
                data.Little(
                    static_cast<std::uint32_t>(static_cast<std::uint16_t>(sample)) << (format.bitsPerSample - 16),
                    format.bitsPerSample / 8);
        }
    } else {
        for (std::size_t block = 0; block * samplesPerBlock < frames; ++block) {
            const std::size_t start = data.data.size();
            if (ms) {
                for (const auto& [value, count] : { std::pair { 0u, 1 }, { 16u, 2 }, { 2u, 2 }, { 1u, 2 } }) {
                    for (std::uint32_t c = 0; c < channels; ++c)
                        data.Little(value, count);
                }
            } else {
                for (std::uint32_t c = 0; c < channels; ++c)
                    data.Little(0, 4);
            }
            data.data.resize(start + blockAlign, 0);
        }
    }

    Bytes wave;
    wave.Tag("WAVE");
    wave.Chunk("fmt ", fmt);
    if (adpcm) {
        Bytes fact;
        fact.Little(static_cast<std::uint32_t>(frames), 4);
        wave.Chunk("fact", fact);
    }
    wave.Chunk("data", data);
    Bytes file;
    file.Chunk("RIFF", wave);
    return std::move(file.data);
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace miradel::test
