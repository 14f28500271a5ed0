// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace miradel {

enum class LineEnd { CrLf, Cr, None };

// Splits a byte stream into lines of raw bytes, reading a file through a buffer so that only
// the current line is ever held whole. A line ends at CR LF or at a CR alone; an LF alone is
// an ordinary byte of the line, as are NUL bytes. The line end is not part of the line, a
// line end after the last line adds no empty line, and an empty stream has no line.
// Splitting before decoding is safe for code page 932: CR and LF are never trail bytes.
//
// A line keeps at most its first kKeptLineBytes bytes (or what SetKeptLineBytes says); the
// rest of it is read past and dropped, so a file of one endless line takes no more memory
// than a short one. 16,384 bytes hold the 8,192 characters the message area shows of a line,
// even when each is double-byte.
//
// It neither opens nor closes the file. A read error throws std::system_error.
class LineReader {
public:
    static constexpr std::size_t kDefaultBufferSize = 64 * 1024;
    static constexpr std::size_t kKeptLineBytes = 16 * 1024;

    explicit LineReader(std::FILE* file, std::size_t bufferSize = kDefaultBufferSize);
    // Reads from memory that must outlive the reader.
    explicit LineReader(std::string_view bytes);

    // True exactly when no more line can be read. It may read ahead to find out.
    bool AtEnd();
    // Replaces `line` with the next line's bytes; false, leaving `line` empty, at the end.
    bool ReadLine(std::string& line);
    // How the line last read ended: LineEnd::None only for a last line without a line end.
    LineEnd LastLineEnd() const { return m_lastLineEnd; }
    // True when the line last read was longer than what was kept of it.
    bool LastLineCut() const { return m_lastLineCut; }
    void SetKeptLineBytes(std::size_t bytes) { m_keptLineBytes = bytes; }

private:
    bool HasBuffered() const { return m_position < m_data.size(); }
    bool Fill();
    void FinishLineAtCr();
    void Keep(std::string& line, const char* start, std::size_t length);

    std::FILE* m_file = nullptr;
    std::vector<char> m_buffer;
    std::string_view m_data;
    std::size_t m_position = 0;
    LineEnd m_lastLineEnd = LineEnd::None;
    std::size_t m_keptLineBytes = kKeptLineBytes;
    bool m_lastLineCut = false;
};

} // namespace miradel
