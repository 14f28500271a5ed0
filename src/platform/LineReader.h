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
// It neither opens nor closes the file. A read error throws std::system_error.
class LineReader {
public:
    static constexpr std::size_t kDefaultBufferSize = 64 * 1024;

    explicit LineReader(std::FILE* file, std::size_t bufferSize = kDefaultBufferSize);
    // Reads from memory that must outlive the reader.
    explicit LineReader(std::string_view bytes);

    // True exactly when no more line can be read. It may read ahead to find out.
    bool AtEnd();
    // Replaces `line` with the next line's bytes; false, leaving `line` empty, at the end.
    bool ReadLine(std::string& line);
    // How the line last read ended: LineEnd::None only for a last line without a line end.
    LineEnd LastLineEnd() const { return m_lastLineEnd; }

private:
    bool HasBuffered() const { return m_position < m_data.size(); }
    bool Fill();
    void FinishLineAtCr();

    std::FILE* m_file = nullptr;
    std::vector<char> m_buffer;
    std::string_view m_data;
    std::size_t m_position = 0;
    LineEnd m_lastLineEnd = LineEnd::None;
};

} // namespace miradel
