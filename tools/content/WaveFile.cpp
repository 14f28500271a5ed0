// SPDX-License-Identifier: MIT
#include "WaveFile.h"

#include <fstream>
#include <string>

namespace miradel::content {

namespace {

// RIFF is little-endian whatever the machine is.
void PutLittleEndian(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

} // namespace

bool WriteMonoWave(const std::filesystem::path& path, const std::vector<std::int16_t>& samples, int sampleRate)
{
    constexpr std::uint32_t kBytesPerSample = 2;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * kBytesPerSample);
    std::string file;
    file.reserve(44 + dataBytes);
    file += "RIFF";
    PutLittleEndian(file, 36 + dataBytes, 4);
    file += "WAVEfmt ";
    PutLittleEndian(file, 16, 4); // size of the format chunk
    PutLittleEndian(file, 1, 2); // PCM
    PutLittleEndian(file, 1, 2); // one channel
    PutLittleEndian(file, static_cast<std::uint32_t>(sampleRate), 4);
    PutLittleEndian(file, static_cast<std::uint32_t>(sampleRate) * kBytesPerSample, 4);
    PutLittleEndian(file, kBytesPerSample, 2); // block align
    PutLittleEndian(file, 16, 2); // bits per sample
    file += "data";
    PutLittleEndian(file, dataBytes, 4);
    for (const std::int16_t sample : samples) {
        PutLittleEndian(file, static_cast<std::uint16_t>(sample), 2);
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(file.data(), static_cast<std::streamsize>(file.size()));
    return static_cast<bool>(out);
}

} // namespace miradel::content
