// SPDX-License-Identifier: MIT
#include "platform/Cp932.h"

#ifdef __EMSCRIPTEN__

#include "platform/Cp932Table.h"

namespace miradel {

// Emscripten's C library converts Shift-JIS but knows no code page 932.
Text DecodeCp932(std::string_view bytes, std::vector<std::size_t>* invalidByteOffsets)
{
    return DecodeCp932Table(bytes, invalidByteOffsets);
}

} // namespace miradel

#else

#include "platform/Cp932Rules.h"
#include "platform/RuntimeError.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cerrno>
#include <iconv.h>
#include <memory>
#include <optional>

namespace miradel {

namespace {

using cp932::ExtraSingleByte;
using cp932::IsLeadByte;
using cp932::kReplacement;

// Shorter ASCII runs between double-byte characters go to iconv with them: one call costs
// more than converting a few bytes.
constexpr std::size_t kLongAsciiRun = 16;
constexpr const char* kNativeUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// An iconv_t must not be shared between threads, and opening one per line would cost more
// than the decoding, so each thread keeps its own.
class Converter {
public:
    Converter()
        : m_descriptor(iconv_open(kNativeUtf16, "CP932"))
    {
    }
    ~Converter()
    {
        if (IsOpen())
            iconv_close(m_descriptor);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool IsOpen() const { return m_descriptor != reinterpret_cast<iconv_t>(-1); }
    iconv_t Descriptor() const { return m_descriptor; }
    // Forgets any shift state left by a failed conversion.
    void Reset() { iconv(m_descriptor, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t m_descriptor;
};

Converter& ThreadConverter()
{
    thread_local Converter converter;
    if (!converter.IsOpen())
        throw RuntimeError("文字コード CP932 を変換できません（iconv が CP932 を知りません）");
    return converter;
}

// Each byte yields at most one UTF-16 unit (a pair yields one, a bad sequence of one or two
// bytes yields one U+FFFD), so the buffer is sized once to the byte count, left unfilled, and
// the text made from what was written.
class Decoder {
public:
    Decoder(std::string_view bytes, std::vector<std::size_t>* invalidByteOffsets)
        : m_bytes(bytes)
        , m_invalidByteOffsets(invalidByteOffsets)
    {
        if (bytes.size() > m_small.size())
            m_large = std::make_unique_for_overwrite<char16_t[]>(bytes.size());
        m_text = m_large ? m_large.get() : m_small.data();
    }

    Text Run()
    {
        while (m_position < m_bytes.size()) {
            const unsigned char byte = ByteAt(m_position);
            if (byte < 0x80) {
                CopyAscii();
            } else if (const auto extra = ExtraSingleByte(byte)) {
                Put(*extra);
                ++m_position;
            } else {
                ConvertChunk(ChunkEnd());
            }
        }
        return Text(m_text, m_length);
    }

private:
    unsigned char ByteAt(std::size_t offset) const { return static_cast<unsigned char>(m_bytes[offset]); }
    void Put(char16_t unit) { m_text[m_length++] = unit; }

    void CopyAscii()
    {
        while (m_position < m_bytes.size() && ByteAt(m_position) < 0x80)
            Put(ByteAt(m_position++));
    }

    std::size_t AsciiRunLength(std::size_t offset, std::size_t limit) const
    {
        std::size_t length = 0;
        while (length < limit && offset + length < m_bytes.size() && ByteAt(offset + length) < 0x80)
            ++length;
        return length;
    }

    // The end of the stretch iconv converts in one call: it ends before a long ASCII run or
    // a byte iconv rejects, and never between a lead byte and its trail.
    std::size_t ChunkEnd() const
    {
        std::size_t offset = m_position;
        while (offset < m_bytes.size()) {
            const unsigned char byte = ByteAt(offset);
            if (byte < 0x80) {
                const std::size_t run = AsciiRunLength(offset, kLongAsciiRun);
                if (run == kLongAsciiRun)
                    break;
                offset += run;
            } else if (ExtraSingleByte(byte)) {
                break;
            } else {
                offset += IsLeadByte(byte) ? 2 : 1;
            }
        }
        return std::min(offset, m_bytes.size());
    }

    void ConvertChunk(std::size_t end)
    {
        Converter& converter = ThreadConverter();
        // iconv's input is not const only because of its old signature; it never writes there.
        char* input = const_cast<char*>(m_bytes.data() + m_position);
        std::size_t inputLeft = end - m_position;
        char* const outputStart = reinterpret_cast<char*>(m_text);
        char* output = reinterpret_cast<char*>(m_text + m_length);
        std::size_t outputLeft = (m_bytes.size() - m_length) * sizeof(char16_t);
        const std::size_t result = iconv(converter.Descriptor(), &input, &inputLeft, &output, &outputLeft);
        const int error = errno;
        m_length = static_cast<std::size_t>(output - outputStart) / sizeof(char16_t);
        m_position = static_cast<std::size_t>(input - m_bytes.data());
        if (result == static_cast<std::size_t>(-1)) {
            assert(error == EILSEQ || error == EINVAL);
            (void)error;
            converter.Reset();
            ReplaceInvalidSequence();
        }
    }

    // Called with m_position at the first byte that iconv refused.
    void ReplaceInvalidSequence()
    {
        Put(kReplacement);
        if (m_invalidByteOffsets)
            m_invalidByteOffsets->push_back(m_position);
        m_position += cp932::InvalidSequenceLength(m_bytes, m_position);
    }

    std::string_view m_bytes;
    std::vector<std::size_t>* m_invalidByteOffsets;
    // Left unfilled: only the first m_length units are ever read. A line of a scene fits
    // the small buffer, so decoding it allocates only the text it returns.
    std::array<char16_t, 256> m_small;
    std::unique_ptr<char16_t[]> m_large;
    char16_t* m_text;
    std::size_t m_length = 0;
    std::size_t m_position = 0;
};

} // namespace

Text DecodeCp932(std::string_view bytes, std::vector<std::size_t>* invalidByteOffsets)
{
    return Decoder(bytes, invalidByteOffsets).Run();
}

} // namespace miradel

#endif
