#pragma once

#include <stdexcept>
#include <string>

namespace miradel {

// An error that ends the program once reported: a missing content file, a scene line that
// cannot be carried out. It carries the file (relative to the game folder where possible)
// and, for scene files, the line, so that the report tells the author where to look.
class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(std::string message, std::string file = {}, long long line = 0);

    const std::string& Message() const { return m_message; }
    const std::string& File() const { return m_file; }
    long long Line() const { return m_line; }

    // "file:line: message", or "file: message" without a line, or the message alone.
    std::string Report() const;

private:
    std::string m_message;
    std::string m_file;
    long long m_line;
};

} // namespace miradel
