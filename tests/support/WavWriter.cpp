// SPDX-License-Identifier: MIT
#include "support/WavWriter.h"

#include <algorithm>
#include <array>
#include <bit>
#include <fstream>
#include <stdexcept>
#include <string_view>

namespace miradel::test {

namespace {

constexpr std::uint16_t kTagPcm = 1;
constexpr std::uint16_t kTagMsAdpcm = 2;
constexpr std::uint16_t kTagFloat = 3;
constexpr std::uint16_t kTagImaAdpcm = 0x11;
constexpr std::uint16_t kTagExtensible = 0xFFFE;
// The tail shared by the KSDATAFORMAT_SUBTYPE GUIDs (mmreg.h / ksmedia.h).
constexpr std::array<std::uint8_t, 14> kSubtypeGuidTail
    = { 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71 };

class Bytes {
public:
    void Tag(std::string_view fourCc) { m_data.insert(m_data.end(), fourCc.begin(), fourCc.end()); }
    void U8(std::uint8_t value) { m_data.push_back(value); }
    void U16(std::uint32_t value) { Little(value, 2); }
    void U32(std::uint32_t value) { Little(value, 4); }
    void Little(std::uint32_t value, int count)
    {
        for (int i = 0; i < count; ++i)
            m_data.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    void Append(const std::vector<std::uint8_t>& more) { m_data.insert(m_data.end(), more.begin(), more.end()); }
    std::size_t Size() const { return m_data.size(); }
    std::vector<std::uint8_t>& Data() { return m_data; }

private:
    std::vector<std::uint8_t> m_data;
};

std::vector<std::uint8_t> EncodePcm(int bits, const std::vector<std::int16_t>& samples)
{
    Bytes out;
    for (const std::int16_t sample : samples) {
        switch (bits) {
        case 8:
            out.U8(static_cast<std::uint8_t>((sample >> 8) + 128));
            break;
        case 16:
            out.Little(static_cast<std::uint16_t>(sample), 2);
            break;
        case 24:
            out.Little(static_cast<std::uint32_t>(sample) << 8, 3);
            break;
        case 32:
            out.Little(static_cast<std::uint32_t>(sample) << 16, 4);
            break;
        default:
            throw std::invalid_argument("PCM width");
        }
    }
    return std::move(out.Data());
}

std::vector<std::uint8_t> EncodeFloat(const std::vector<std::int16_t>& samples)
{
    Bytes out;
    for (const std::int16_t sample : samples)
        out.U32(std::bit_cast<std::uint32_t>(static_cast<float>(sample) / 32768.0f));
    return std::move(out.Data());
}

// Frames of one block, the input padded with silence.
std::int16_t SampleAt(const std::vector<std::int16_t>& samples, std::size_t frame, int channel, int channels)
{
    const std::size_t index = frame * static_cast<std::size_t>(channels) + static_cast<std::size_t>(channel);
    return index < samples.size() ? samples[index] : std::int16_t { 0 };
}

std::size_t BlockCount(const std::vector<std::int16_t>& samples, int channels, int samplesPerBlock)
{
    const std::size_t frames = samples.size() / static_cast<std::size_t>(channels);
    return std::max<std::size_t>(
        1, (frames + static_cast<std::size_t>(samplesPerBlock) - 1) / static_cast<std::size_t>(samplesPerBlock));
}

// IMA ADPCM as in the Intel/DVI and Microsoft "IMA ADPCM" wave format (tag 0x11): the step
// and index tables are the published ones of the IMA recommendation.
class ImaEncoder {
public:
    static constexpr std::array<int, 16> kIndexTable = { -1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8 };
    static constexpr std::array<int, 89> kStepTable = { 7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 19, 21, 23, 25, 28, 31, 34,
        37, 41, 45, 50, 55, 60, 66, 73, 80, 88, 97, 107, 118, 130, 143, 157, 173, 190, 209, 230, 253, 279, 307, 337,
        371, 408, 449, 494, 544, 598, 658, 724, 796, 876, 963, 1060, 1166, 1282, 1411, 1552, 1707, 1878, 2066, 2272,
        2499, 2749, 3024, 3327, 3660, 4026, 4428, 4871, 5358, 5894, 6484, 7132, 7845, 8630, 9493, 10442, 11487, 12635,
        13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767 };

    void Reset(std::int16_t first) { m_predictor = first; }
    int Index() const { return m_index; }

    std::uint8_t Encode(int sample)
    {
        int step = kStepTable[static_cast<std::size_t>(m_index)];
        int difference = sample - m_predictor;
        std::uint8_t nibble = 0;
        if (difference < 0) {
            nibble = 8;
            difference = -difference;
        }
        int delta = step >> 3;
        for (std::uint8_t bit = 4; bit != 0; bit >>= 1, step >>= 1) {
            if (difference >= step) {
                nibble |= bit;
                difference -= step;
                delta += step;
            }
        }
        m_predictor = std::clamp(m_predictor + ((nibble & 8) != 0 ? -delta : delta), -32768, 32767);
        m_index = std::clamp(m_index + kIndexTable[nibble], 0, 88);
        return nibble;
    }

private:
    int m_predictor = 0;
    int m_index = 0;
};

std::vector<std::uint8_t> EncodeIma(
    const std::vector<std::int16_t>& samples, int channels, int blockAlign, int samplesPerBlock)
{
    Bytes out;
    std::vector<ImaEncoder> encoders(static_cast<std::size_t>(channels));
    const std::size_t blocks = BlockCount(samples, channels, samplesPerBlock);
    for (std::size_t block = 0; block < blocks; ++block) {
        const std::size_t first = block * static_cast<std::size_t>(samplesPerBlock);
        for (int c = 0; c < channels; ++c) {
            const std::int16_t sample = SampleAt(samples, first, c, channels);
            encoders[static_cast<std::size_t>(c)].Reset(sample);
            out.U16(static_cast<std::uint16_t>(sample));
            out.U8(static_cast<std::uint8_t>(encoders[static_cast<std::size_t>(c)].Index()));
            out.U8(0);
        }
        // Each channel in turn gives 8 samples as 4 bytes, low nibble first.
        for (std::size_t group = first + 1; group < first + static_cast<std::size_t>(samplesPerBlock); group += 8) {
            for (int c = 0; c < channels; ++c) {
                for (std::size_t pair = 0; pair < 8; pair += 2) {
                    ImaEncoder& encoder = encoders[static_cast<std::size_t>(c)];
                    const std::uint8_t low = encoder.Encode(SampleAt(samples, group + pair, c, channels));
                    const std::uint8_t high = encoder.Encode(SampleAt(samples, group + pair + 1, c, channels));
                    out.U8(static_cast<std::uint8_t>(low | (high << 4)));
                }
            }
        }
        if (out.Size() != (block + 1) * static_cast<std::size_t>(blockAlign))
            throw std::logic_error("IMA block size");
    }
    return std::move(out.Data());
}

// Microsoft ADPCM (tag 2) with the seven standard coefficient pairs of its format header;
// the encoder keeps to the first pair (256, 0), which predicts the previous sample.
constexpr std::array<std::array<int, 2>, 7> kMsCoefficients
    = { { { 256, 0 }, { 512, -256 }, { 0, 0 }, { 192, 64 }, { 240, 0 }, { 460, -208 }, { 392, -232 } } };
constexpr std::array<int, 16> kMsAdaptation
    = { 230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230 };

struct MsChannel {
    int delta = 16;
    int sample1 = 0;

    std::uint8_t Encode(int sample)
    {
        const int predicted = sample1;
        const int quantized = std::clamp((sample - predicted) / delta, -8, 7);
        sample1 = std::clamp(predicted + quantized * delta, -32768, 32767);
        const auto nibble = static_cast<std::uint8_t>(quantized & 0x0F);
        delta = std::max(16, kMsAdaptation[nibble] * delta / 256);
        return nibble;
    }
};

std::vector<std::uint8_t> EncodeMs(
    const std::vector<std::int16_t>& samples, int channels, int blockAlign, int samplesPerBlock)
{
    Bytes out;
    const auto count = static_cast<std::size_t>(channels);
    const std::size_t blocks = BlockCount(samples, channels, samplesPerBlock);
    for (std::size_t block = 0; block < blocks; ++block) {
        const std::size_t first = block * static_cast<std::size_t>(samplesPerBlock);
        std::vector<MsChannel> state(count);
        for (std::size_t c = 0; c < count; ++c)
            out.U8(0); // coefficient pair 0
        for (std::size_t c = 0; c < count; ++c)
            out.U16(static_cast<std::uint16_t>(state[c].delta));
        // sample1 is the block's second frame, sample2 its first; both are stored as they are.
        for (std::size_t c = 0; c < count; ++c) {
            state[c].sample1 = SampleAt(samples, first + 1, static_cast<int>(c), channels);
            out.U16(static_cast<std::uint16_t>(state[c].sample1));
        }
        for (std::size_t c = 0; c < count; ++c)
            out.U16(static_cast<std::uint16_t>(SampleAt(samples, first, static_cast<int>(c), channels)));
        // The rest as nibbles, high nibble first, channels interleaved.
        std::size_t nibbleIndex = 0;
        std::uint8_t pending = 0;
        for (std::size_t frame = first + 2; frame < first + static_cast<std::size_t>(samplesPerBlock); ++frame) {
            for (std::size_t c = 0; c < count; ++c, ++nibbleIndex) {
                const std::uint8_t nibble = state[c].Encode(SampleAt(samples, frame, static_cast<int>(c), channels));
                if (nibbleIndex % 2 == 0) {
                    pending = static_cast<std::uint8_t>(nibble << 4);
                } else {
                    out.U8(static_cast<std::uint8_t>(pending | nibble));
                }
            }
        }
        if (out.Size() != (block + 1) * static_cast<std::size_t>(blockAlign))
            throw std::logic_error("MS ADPCM block size");
    }
    return std::move(out.Data());
}

struct Layout {
    std::uint16_t tag = kTagPcm;
    int bits = 16;
    int blockAlign = 4;
    int samplesPerBlock = 1;
};

Layout LayoutOf(const WavFormat& format)
{
    const int channels = format.channels;
    switch (format.encoding) {
    case WavEncoding::Pcm:
        return { kTagPcm, format.bitsPerSample, channels * format.bitsPerSample / 8, 1 };
    case WavEncoding::Float:
        return { kTagFloat, 32, channels * 4, 1 };
    case WavEncoding::ImaAdpcm: {
        const int blockAlign = 256 * channels;
        return { kTagImaAdpcm, 4, blockAlign, (blockAlign - 4 * channels) * 2 / channels + 1 };
    }
    case WavEncoding::MsAdpcm: {
        const int blockAlign = 256 * channels;
        return { kTagMsAdpcm, 4, blockAlign, (blockAlign - 7 * channels) * 2 / channels + 2 };
    }
    }
    throw std::invalid_argument("encoding");
}

void WriteFormatChunk(Bytes& out, const WavFormat& format, const Layout& layout)
{
    const bool extensible
        = format.extensible && (format.encoding == WavEncoding::Pcm || format.encoding == WavEncoding::Float);
    Bytes fmt;
    fmt.U16(extensible ? kTagExtensible : layout.tag);
    fmt.U16(static_cast<std::uint32_t>(format.channels));
    fmt.U32(static_cast<std::uint32_t>(format.sampleRate));
    fmt.U32(static_cast<std::uint32_t>(
        static_cast<long long>(format.sampleRate) * layout.blockAlign / layout.samplesPerBlock));
    fmt.U16(static_cast<std::uint32_t>(layout.blockAlign));
    fmt.U16(static_cast<std::uint32_t>(layout.bits));
    if (extensible) {
        fmt.U16(22);
        fmt.U16(static_cast<std::uint32_t>(layout.bits));
        fmt.U32(format.channels == 1 ? 0x4 : 0x3); // front centre, or front left and right
        fmt.U16(layout.tag);
        for (const std::uint8_t byte : kSubtypeGuidTail)
            fmt.U8(byte);
    } else if (format.encoding == WavEncoding::ImaAdpcm) {
        fmt.U16(2);
        fmt.U16(static_cast<std::uint32_t>(layout.samplesPerBlock));
    } else if (format.encoding == WavEncoding::MsAdpcm) {
        fmt.U16(4 + 4 * static_cast<std::uint32_t>(kMsCoefficients.size()));
        fmt.U16(static_cast<std::uint32_t>(layout.samplesPerBlock));
        fmt.U16(static_cast<std::uint32_t>(kMsCoefficients.size()));
        for (const auto& [first, second] : kMsCoefficients) {
            fmt.U16(static_cast<std::uint16_t>(first));
            fmt.U16(static_cast<std::uint16_t>(second));
        }
    }
    out.Tag("fmt ");
    out.U32(static_cast<std::uint32_t>(fmt.Size()));
    out.Append(fmt.Data());
}

std::vector<std::uint8_t> EncodeData(
    const WavFormat& format, const Layout& layout, const std::vector<std::int16_t>& samples)
{
    switch (format.encoding) {
    case WavEncoding::Pcm:
        return EncodePcm(format.bitsPerSample, samples);
    case WavEncoding::Float:
        return EncodeFloat(samples);
    case WavEncoding::ImaAdpcm:
        return EncodeIma(samples, format.channels, layout.blockAlign, layout.samplesPerBlock);
    case WavEncoding::MsAdpcm:
        return EncodeMs(samples, format.channels, layout.blockAlign, layout.samplesPerBlock);
    }
    throw std::invalid_argument("encoding");
}

} // namespace

std::vector<std::uint8_t> MakeWav(const WavFormat& format, const std::vector<std::int16_t>& samples)
{
    const Layout layout = LayoutOf(format);
    const std::vector<std::uint8_t> data = EncodeData(format, layout, samples);
    Bytes body;
    body.Tag("WAVE");
    WriteFormatChunk(body, format, layout);
    if (layout.samplesPerBlock > 1) {
        body.Tag("fact");
        body.U32(4);
        body.U32(static_cast<std::uint32_t>(samples.size() / static_cast<std::size_t>(format.channels)));
    }
    body.Tag("data");
    body.U32(static_cast<std::uint32_t>(data.size()));
    body.Append(data);
    if (data.size() % 2 != 0)
        body.U8(0); // RIFF chunks are padded to an even length
    Bytes file;
    file.Tag("RIFF");
    file.U32(static_cast<std::uint32_t>(body.Size()));
    file.Append(body.Data());
    return std::move(file.Data());
}

std::vector<std::uint8_t> MakeHeaderOnlyWav()
{
    return MakeWav(WavFormat {}, {});
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace miradel::test
