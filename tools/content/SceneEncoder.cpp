// SPDX-License-Identifier: MIT
#include "SceneEncoder.h"

#include "platform/Cp932.h"
#include "scenario/LineKind.h"

#include <cerrno>
#include <cstdio>
#include <iconv.h>
#include <memory>
#include <optional>
#include <stdexcept>

namespace miradel::content {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

// iconv descriptor from UTF-8 to code page 932, closed with its owner.
class Cp932Converter {
public:
    Cp932Converter()
        : m_handle(iconv_open("CP932", "UTF-8"))
    {
        if (m_handle == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error("this system's iconv has no CP932 conversion");
        }
    }
    ~Cp932Converter() { iconv_close(m_handle); }
    Cp932Converter(const Cp932Converter&) = delete;
    Cp932Converter& operator=(const Cp932Converter&) = delete;

    // Converts one line. On failure returns the byte offset into `line` where it stopped.
    std::optional<std::size_t> Convert(std::string_view line, std::string& out)
    {
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        std::string buffer(line.size() * 2 + 8, '\0');
        char* in = const_cast<char*>(line.data());
        std::size_t inLeft = line.size();
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        if (iconv(m_handle, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            return static_cast<std::size_t>(in - line.data());
        }
        out.append(buffer.data(), buffer.size() - outLeft);
        return std::nullopt;
    }

private:
    iconv_t m_handle;
};

// The length of the UTF-8 sequence that starts at `offset`, or 0 when it is not one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t offset, char32_t* codePoint)
{
    const auto lead = static_cast<unsigned char>(text[offset]);
    std::size_t length = 0;
    char32_t value = 0;
    if (lead < 0x80) {
        length = 1;
        value = lead;
    } else if (lead >= 0xC2 && lead < 0xE0) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (offset + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto trail = static_cast<unsigned char>(text[offset + i]);
        if ((trail & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (trail & 0x3F);
    }
    if (codePoint != nullptr) {
        *codePoint = value;
    }
    return length;
}

long long CharacterColumn(std::string_view line, std::size_t byteOffset)
{
    long long column = 1;
    for (std::size_t i = 0; i < byteOffset;) {
        const std::size_t length = Utf8SequenceLength(line, i, nullptr);
        i += length == 0 ? 1 : length;
        ++column;
    }
    return column;
}

std::string DescribeBadCharacter(std::string_view line, std::size_t byteOffset)
{
    char32_t codePoint = 0;
    const std::size_t length = Utf8SequenceLength(line, byteOffset, &codePoint);
    if (length == 0) {
        return "bytes that are not UTF-8";
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(codePoint));
    return "character " + std::string(hex) + " (" + std::string(line.substr(byteOffset, length))
        + ") cannot be written in code page 932";
}

// The player stops on a "--" line whose count it cannot read, so the encoder asks the player's
// own rules about the line as the player will decode it.
bool PlayerStopsOn(std::string_view encodedLine)
{
    const Text line = DecodeCp932(encodedLine);
    return ClassifyLine(line) == LineKind::Run && !RunCountOf(line);
}

std::vector<std::string_view> SplitLines(std::string_view source)
{
    std::vector<std::string_view> lines;
    while (!source.empty()) {
        const std::size_t end = source.find('\n');
        std::string_view line = source.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        source.remove_prefix(end == std::string_view::npos ? source.size() : end + 1);
    }
    return lines;
}

} // namespace

EncodedScene EncodeScene(std::string_view utf8Source)
{
    if (utf8Source.starts_with(kByteOrderMark)) {
        utf8Source.remove_prefix(kByteOrderMark.size());
    }
    EncodedScene scene;
    Cp932Converter converter;
    long long lineNumber = 0;
    for (const std::string_view line : SplitLines(utf8Source)) {
        ++lineNumber;
        const std::size_t lineStart = scene.bytes.size();
        if (const auto badOffset = converter.Convert(line, scene.bytes)) {
            scene.errors.push_back(
                { lineNumber, CharacterColumn(line, *badOffset), DescribeBadCharacter(line, *badOffset) });
            continue;
        }
        if (PlayerStopsOn(std::string_view(scene.bytes).substr(lineStart))) {
            scene.errors.push_back({ lineNumber, 3,
                "a \"--\" line needs a whole number of lines to take at once (from -2147483648 to 2147483647)" });
        }
        scene.bytes.append(kLineEnd);
    }
    if (!scene.Succeeded()) {
        scene.bytes.clear();
    }
    return scene;
}

} // namespace miradel::content
