// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Text.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

namespace miradel {

class LineReader;

// Sequential text files opened under a file number, read one line at a time and converted
// from code page 932. Line ends: CR LF or a CR alone end a line, an LF alone does not; a
// line end after the last line adds no empty line.
//
// Errors (RuntimeError, naming the file and, for reads, the line): opening a file that does
// not exist or cannot be read; reading past the end. Closing a number that is not open does
// nothing.
class TextFiles {
public:
    TextFiles();
    ~TextFiles();
    TextFiles(const TextFiles&) = delete;
    TextFiles& operator=(const TextFiles&) = delete;

    // The lowest number (from 1) that no open file uses.
    std::int16_t FreeFile() const;

    // `shownName` is what error reports call the file (a path relative to the game folder).
    void Open(std::int16_t number, const std::filesystem::path& path, const std::string& shownName);
    // Opens bytes held in memory, which must outlive the open file, as if they were a file.
    void OpenBytes(std::int16_t number, std::string_view bytes, const std::string& shownName);
    // Opens lines decoded already, which must outlive the open file.
    void OpenLines(std::int16_t number, const std::vector<Text>& lines, const std::string& shownName);
    Text LineInput(std::int16_t number);
    bool AtEnd(std::int16_t number) const;
    void Close(std::int16_t number);

    bool IsOpen(std::int16_t number) const;
    std::size_t OpenCount() const { return m_files.size(); }
    // The name given to Open and the number of lines read so far, for error reports.
    const std::string& ShownName(std::int16_t number) const;
    long long LinesRead(std::int16_t number) const;

private:
    void CheckNumberFree(std::int16_t number, const std::string& shownName) const;

    struct OpenFile;
    std::map<std::int16_t, std::unique_ptr<OpenFile>> m_files;
};

} // namespace miradel
