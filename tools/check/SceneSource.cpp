// SPDX-License-Identifier: MIT
#include "SceneSource.h"

#include "Encoding.h"
#include "platform/Cp932.h"
#include "platform/LineReader.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace miradel::check {

static std::string HexByte(unsigned char byte)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

static void ReportInvalidBytes(const std::string& bytes, const std::vector<std::size_t>& offsets,
    const std::string& shownName, long long lineNumber, Findings& findings)
{
    const std::size_t first = offsets.front();
    // Columns count characters, as the player does, so decode what comes before.
    const long long column = static_cast<long long>(DecodeCp932(std::string_view(bytes).substr(0, first)).size()) + 1;
    std::string message = "byte " + HexByte(static_cast<unsigned char>(bytes[first]))
        + " is not valid in Shift-JIS (code page 932) and shows as \"\xEF\xBF\xBD\"";
    if (offsets.size() > 1)
        message += " (" + std::to_string(offsets.size() - 1) + " more on this line)";
    findings.Warning(shownName, lineNumber, column, std::move(message));
}

// Linux editors end lines with LF alone, which the player does not take as a line end: the
// whole file would play as one line, commands shown as text. Said once, where it starts.
static void ReportLoneLineFeeds(
    std::size_t count, long long lineNumber, long long column, const std::string& shownName, Findings& findings)
{
    findings.Warning(shownName, lineNumber, column,
        "lines end in a line feed (LF) alone (" + std::to_string(count)
            + " in the file), which the player does not take as a line end: they play as one line; save the file with "
              "CR LF"
              " line ends (miradel-encode writes them from a UTF-8 source)");
}

SceneSource DecodeSceneSource(std::string_view bytes, const std::string& shownName, Findings& findings)
{
    SceneSource source;
    source.readable = true;
    const Encoding encoding = GuessEncoding(bytes);
    if (encoding != Encoding::Cp932) {
        findings.Warning(shownName, 0, 0,
            std::string("the file looks like ") + EncodingName(encoding)
                + ", not Shift-JIS (code page 932); the player would show it garbled; save it as Shift-JIS");
    }
    LineReader reader(bytes);
    std::string lineBytes;
    std::vector<std::size_t> invalid;
    std::size_t loneLineFeeds = 0;
    long long firstLineFeedLine = 0;
    long long firstLineFeedColumn = 0;
    while (reader.ReadLine(lineBytes)) {
        invalid.clear();
        source.lines.push_back(DecodeCp932(lineBytes, &invalid));
        const auto lineNumber = static_cast<long long>(source.lines.size());
        if (!invalid.empty() && encoding == Encoding::Cp932)
            ReportInvalidBytes(lineBytes, invalid, shownName, lineNumber, findings);
        // A CR ends a line, so every LF left inside one stands alone.
        const std::size_t lineFeed = lineBytes.find('\n');
        if (lineFeed != std::string::npos && loneLineFeeds == 0) {
            firstLineFeedLine = lineNumber;
            firstLineFeedColumn
                = static_cast<long long>(DecodeCp932(std::string_view(lineBytes).substr(0, lineFeed)).size()) + 1;
        }
        loneLineFeeds += static_cast<std::size_t>(std::count(lineBytes.begin(), lineBytes.end(), '\n'));
    }
    // In UTF-16 the line ends are not single bytes; the encoding warning covers that file.
    if (loneLineFeeds > 0 && (encoding == Encoding::Cp932 || encoding == Encoding::Utf8))
        ReportLoneLineFeeds(loneLineFeeds, firstLineFeedLine, firstLineFeedColumn, shownName, findings);
    return source;
}

SceneSource ReadSceneSource(const std::filesystem::path& path, const std::string& shownName, Findings& findings)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    std::ifstream file(path, std::ios::binary);
    std::string bytes(error ? 0 : size, '\0');
    // One read: a long story is tens of megabytes.
    if (file)
        file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (error || !file) {
        findings.Error(shownName, 0, 0, "the scene file cannot be read");
        return {};
    }
    return DecodeSceneSource(bytes, shownName, findings);
}

} // namespace miradel::check
