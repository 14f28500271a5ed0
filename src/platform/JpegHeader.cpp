// SPDX-License-Identifier: MIT
#include "platform/JpegHeader.h"

#include <algorithm>

namespace miradel {

namespace {

constexpr unsigned char kMarker = 0xFF;
constexpr unsigned char kStartOfImage = 0xD8;
constexpr unsigned char kStartOfScan = 0xDA;
constexpr unsigned char kEndOfImage = 0xD9;
// Markers after the first scan's header are not read; this bounds the markers before it.
constexpr int kMostSegments = 4096;

class Reader {
public:
    explicit Reader(const ByteSource& source)
        : m_source(source)
    {
    }

    bool Bytes(char* out, std::size_t count)
    {
        if (m_source(m_offset, out, count) != count)
            return false;
        m_offset += count;
        return true;
    }
    bool Byte(unsigned char& value)
    {
        char c = 0;
        if (!Bytes(&c, 1))
            return false;
        value = static_cast<unsigned char>(c);
        return true;
    }
    bool Word(int& value)
    {
        unsigned char high = 0;
        unsigned char low = 0;
        if (!Byte(high) || !Byte(low))
            return false;
        value = high << 8 | low;
        return true;
    }
    void Skip(std::uint64_t count) { m_offset += count; }

private:
    const ByteSource& m_source;
    std::uint64_t m_offset = 0;
};

bool IsStartOfFrame(unsigned char marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool ReadFrame(Reader& reader, unsigned char marker, int length, JpegHeader& header, std::string& problem)
{
    const int kind = marker - 0xC0;
    header.progressive = kind == 2 || kind == 6 || kind == 10 || kind == 14;
    header.lossless = kind == 3 || kind == 7 || kind == 11 || kind == 15;
    header.arithmetic = kind >= 9;
    unsigned char precision = 0;
    unsigned char components = 0;
    if (length < 8 || !reader.Byte(precision) || !reader.Word(header.height) || !reader.Word(header.width)
        || !reader.Byte(components)) {
        problem = "the frame header is cut short";
        return false;
    }
    header.precision = precision;
    header.components = components;
    if (components < 1 || components > 4 || length != 8 + 3 * components) {
        problem = "the frame header declares " + std::to_string(components) + " components";
        return false;
    }
    for (int i = 0; i < components; ++i) {
        char component[3];
        if (!reader.Bytes(component, 3)) {
            problem = "the frame header is cut short";
            return false;
        }
        const auto sampling = static_cast<unsigned char>(component[1]);
        header.horizontalSampling[i] = sampling >> 4;
        header.verticalSampling[i] = sampling & 0x0F;
        if (header.horizontalSampling[i] < 1 || header.horizontalSampling[i] > 4 || header.verticalSampling[i] < 1
            || header.verticalSampling[i] > 4) {
            problem = "a component has the sampling factors " + std::to_string(header.horizontalSampling[i]) + "x"
                + std::to_string(header.verticalSampling[i]);
            return false;
        }
    }
    if (header.width == 0 || header.height == 0) {
        problem
            = "the frame declares a size of " + std::to_string(header.width) + " x " + std::to_string(header.height);
        return false;
    }
    return true;
}

} // namespace

JpegHeaderResult ReadJpegHeader(const ByteSource& source, JpegHeader& header, std::string& problem)
{
    header = JpegHeader {};
    Reader reader(source);
    unsigned char first = 0;
    unsigned char second = 0;
    if (!reader.Byte(first) || !reader.Byte(second) || first != kMarker || second != kStartOfImage)
        return JpegHeaderResult::NotJpeg;
    bool frameSeen = false;
    for (int segment = 0; segment < kMostSegments; ++segment) {
        unsigned char marker = 0;
        if (!reader.Byte(marker)) {
            problem = "the file ends before its first scan";
            return JpegHeaderResult::Broken;
        }
        if (marker != kMarker) {
            problem = "a marker is missing where one must be";
            return JpegHeaderResult::Broken;
        }
        while (marker == kMarker) { // fill bytes
            if (!reader.Byte(marker)) {
                problem = "the file ends before its first scan";
                return JpegHeaderResult::Broken;
            }
        }
        if (marker == kEndOfImage || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            if (marker == kEndOfImage) {
                problem = "the file ends before its first scan";
                return JpegHeaderResult::Broken;
            }
            continue; // markers without a length
        }
        int length = 0;
        if (!reader.Word(length) || length < 2) {
            problem = "a segment's length is cut short or too small";
            return JpegHeaderResult::Broken;
        }
        if (IsStartOfFrame(marker)) {
            if (frameSeen) {
                problem = "the file has two frame headers";
                return JpegHeaderResult::Broken;
            }
            if (!ReadFrame(reader, marker, length, header, problem))
                return JpegHeaderResult::Broken;
            frameSeen = true;
            continue;
        }
        if (marker == kStartOfScan) {
            unsigned char scanComponents = 0;
            if (!frameSeen || !reader.Byte(scanComponents)) {
                problem = "the first scan comes before the frame header";
                return JpegHeaderResult::Broken;
            }
            header.firstScanPartial = scanComponents < header.components;
            return JpegHeaderResult::Ok;
        }
        reader.Skip(static_cast<std::uint64_t>(length) - 2);
    }
    problem = "more than " + std::to_string(kMostSegments) + " segments before the first scan";
    return JpegHeaderResult::Broken;
}

std::uint64_t JpegDecodeBytes(const JpegHeader& header)
{
    const auto width = static_cast<std::uint64_t>(header.width);
    const auto height = static_cast<std::uint64_t>(header.height);
    std::uint64_t bytes = width * height * 4;
    if (!header.progressive && !header.firstScanPartial)
        return bytes;
    const int* h = header.horizontalSampling;
    const int* v = header.verticalSampling;
    const std::uint64_t hMax = static_cast<std::uint64_t>(*std::max_element(h, h + header.components));
    const std::uint64_t vMax = static_cast<std::uint64_t>(*std::max_element(v, v + header.components));
    // Blocks are counted whole MCUs wide and high, as the decoder allocates them.
    const std::uint64_t mcuColumns = (width + 8 * hMax - 1) / (8 * hMax);
    const std::uint64_t mcuRows = (height + 8 * vMax - 1) / (8 * vMax);
    for (int i = 0; i < header.components; ++i)
        bytes += mcuColumns * static_cast<std::uint64_t>(h[i]) * mcuRows * static_cast<std::uint64_t>(v[i]) * 64 * 2;
    return bytes;
}

} // namespace miradel
