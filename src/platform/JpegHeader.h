// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

namespace miradel {

// What a JPEG file's header says about decoding it, read without decoding: the frame (size,
// precision, components and their sampling, the coding process) and whether the first scan
// holds every component. Only the markers before the first scan are read; entropy-coded
// data is never touched.
struct JpegHeader {
    int width = 0;
    int height = 0;
    int precision = 0;
    int components = 0;
    bool progressive = false;
    bool lossless = false;
    bool arithmetic = false;
    // A first scan with fewer components than the frame: the decoder keeps every component's
    // coefficients until the last scan, as for a progressive picture.
    bool firstScanPartial = false;
    int horizontalSampling[4] {};
    int verticalSampling[4] {};
};

enum class JpegHeaderResult { Ok, NotJpeg, Broken };

// Reads `count` bytes at `offset` into `out`; returns how many it could.
using ByteSource = std::function<std::size_t(std::uint64_t offset, char* out, std::size_t count)>;

// Bytes held in memory (the fuzzers', the tests'), as a source; they must outlive it.
inline ByteSource MemoryByteSource(std::string_view bytes)
{
    return [bytes](std::uint64_t offset, char* out, std::size_t count) -> std::size_t {
        if (offset >= bytes.size())
            return 0;
        const std::size_t n = std::min<std::size_t>(count, bytes.size() - offset);
        std::memcpy(out, bytes.data() + offset, n);
        return n;
    };
}

// `problem` says what is wrong when the result is Broken.
JpegHeaderResult ReadJpegHeader(const ByteSource& source, JpegHeader& header, std::string& problem);

// The memory the decoder needs for the picture at its full size, in bytes: the decoded
// pixels (4 bytes each) and, for a progressive or non-interleaved picture, the whole
// coefficient buffer (64 coefficients of 2 bytes per block of every component).
std::uint64_t JpegDecodeBytes(const JpegHeader& header);

} // namespace miradel
