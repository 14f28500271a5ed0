// SPDX-License-Identifier: MIT
#include "platform/LineReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace miradel {

LineReader::LineReader(std::FILE* file, std::size_t bufferSize)
    : m_file(file)
    , m_buffer(bufferSize > 0 ? bufferSize : 1)
{
}

LineReader::LineReader(std::string_view bytes)
    : m_data(bytes)
{
}

bool LineReader::AtEnd()
{
    return !HasBuffered() && !Fill();
}

// Replaces the buffered bytes, all consumed, with the next ones from the file.
bool LineReader::Fill()
{
    if (!m_file)
        return false;
    const std::size_t count = std::fread(m_buffer.data(), 1, m_buffer.size(), m_file);
    if (count == 0 && std::ferror(m_file))
        throw std::system_error(errno, std::generic_category(), "fread");
    m_data = std::string_view(m_buffer.data(), count);
    m_position = 0;
    return count > 0;
}

bool LineReader::ReadLine(std::string& line)
{
    line.clear();
    m_lastLineCut = false;
    if (AtEnd())
        return false;
    for (;;) {
        const char* start = m_data.data() + m_position;
        const std::size_t available = m_data.size() - m_position;
        const void* cr = std::memchr(start, '\r', available);
        if (cr) {
            const auto length = static_cast<std::size_t>(static_cast<const char*>(cr) - start);
            Keep(line, start, length);
            m_position += length + 1;
            FinishLineAtCr();
            return true;
        }
        Keep(line, start, available);
        m_position = m_data.size();
        if (!Fill()) {
            m_lastLineEnd = LineEnd::None;
            return true;
        }
    }
}

void LineReader::Keep(std::string& line, const char* start, std::size_t length)
{
    const std::size_t room = m_keptLineBytes - std::min(line.size(), m_keptLineBytes);
    if (length > room)
        m_lastLineCut = true;
    line.append(start, std::min(length, room));
}

// The CR is consumed; an LF right after it, perhaps in the next buffer, belongs to it.
void LineReader::FinishLineAtCr()
{
    if ((HasBuffered() || Fill()) && m_data[m_position] == '\n') {
        ++m_position;
        m_lastLineEnd = LineEnd::CrLf;
    } else {
        m_lastLineEnd = LineEnd::Cr;
    }
}

} // namespace miradel
