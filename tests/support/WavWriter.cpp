// SPDX-License-Identifier: MIT
#include "support/WavWriter.h"

#include <string_view>

namespace miradel::test {

namespace {

struct Bytes {
    void Little(std::uint32_t value, int count)
    {
        for (int i = 0; i < count; ++i)
            data.push_back(static_cast<char>(value >> (8 * i)));
    }
    // A RIFF chunk, padded to an even length.
    void Chunk(std::string_view fourCc, const Bytes& body)
    {
        data += fourCc;
        Little(static_cast<std::uint32_t>(body.data.size()), 4);
        data += body.data;
        data.resize(data.size() + body.data.size() % 2, '\0');
    }
    std::string data;
};

} // namespace

std::string MakeWav(const WavFormat& format, const std::vector<std::int16_t>& samples)
{
    const auto channels = static_cast<std::uint32_t>(format.channels);
    const std::size_t frames = samples.size() / channels;
    const bool adpcm = format.encoding != WavEncoding::Pcm;
    const bool ms = format.encoding == WavEncoding::MsAdpcm;
    const std::uint32_t blockAlign = adpcm ? 256 * channels : channels * format.bitsPerSample / 8;
    // A block header per channel: 7 bytes (MS: predictor, delta, two samples) or 4 (IMA: one
    // sample, step index); each further byte holds two 4-bit codes.
    const std::uint32_t samplesPerBlock
        = !adpcm ? 1 : (blockAlign - (ms ? 7 : 4) * channels) * 2 / channels + (ms ? 2 : 1);

    Bytes fmt;
    fmt.Little(format.extensible ? 0xFFFE : ms ? 2 : adpcm ? 0x11 : 1, 2);
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
    } else if (adpcm) {
        fmt.Little(ms ? 4 + 4 * 7 : 2, 2);
        fmt.Little(samplesPerBlock, 2);
    }
    if (ms) {
        // Their count, then the seven standard coefficient pairs; pair 0 (256, 0) repeats the last sample.
        for (const int value : { 7, 256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232 })
            fmt.Little(static_cast<std::uint16_t>(value), 2);
    }

    Bytes data;
    for (std::size_t i = 0; !adpcm && i < samples.size(); ++i) {
        if (format.bitsPerSample == 8)
            data.Little(static_cast<std::uint8_t>((samples[i] >> 8) + 128), 1);
        else
            data.Little(
                static_cast<std::uint32_t>(static_cast<std::uint16_t>(samples[i])) << (format.bitsPerSample - 16),
                format.bitsPerSample / 8);
    }
    // ADPCM: whole blocks. An MS header holds the samples 1 and 2 (an IMA block is all zero); every
    // code after the header says "no change".
    for (std::size_t block = 0; adpcm && block * samplesPerBlock < frames; ++block) {
        const std::size_t start = data.data.size();
        for (const auto& [value, count] : { std::pair { 0u, 1 }, { 16u, 2 }, { 2u, 2 }, { 1u, 2 } }) {
            for (std::uint32_t c = 0; ms && c < channels; ++c)
                data.Little(value, count);
        }
        data.data.resize(start + blockAlign, '\0');
    }

    Bytes wave;
    wave.data = "WAVE";
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

} // namespace miradel::test
