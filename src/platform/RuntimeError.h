// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Text.h"

#include <stdexcept>
#include <string>

namespace miradel {

// An error that ends the program once reported: a missing content file, a scene line that
// cannot be carried out. It carries the file (relative to the game folder where possible)
// and, for scene files, the line, so that the report tells the author where to look. The
// message is Japanese, as the player reads it; content errors also carry it in English for
// the log and for authors who do not read Japanese.
class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(std::string message, std::string file = {}, long long line = 0);

    const std::string& Message() const { return m_message; }
    const std::string& English() const { return m_english; }
    const std::string& File() const { return m_file; }
    long long Line() const { return m_line; }

    RuntimeError& InEnglish(std::string english)
    {
        m_english = std::move(english);
        return *this;
    }

    // "file:line: message", or "file: message" without a line, or the message alone.
    std::string Report() const;
    // The same with the English message; empty when there is none.
    std::string EnglishReport() const;

private:
    std::string m_message;
    std::string m_english;
    std::string m_file;
    long long m_line;
};

// Inside a catch block: the exception being handled as the error the player is shown (any
// std::exception ends the game with a message, never with a silent abort). Other exceptions
// are thrown on.
RuntimeError CaughtAsRuntimeError();

// What the player is shown when `error` ends the game, in every front end: the error, and
// for errors about a content file the game folder it was looked for in, `gameFolder`
// (nothing when empty). Lines are separated by LF.
std::string FatalErrorText(const RuntimeError& error, const std::string& gameFolder);

// A piece of a content line for a message: at most kQuotedCharacters characters, then "…",
// with control characters (a NUL above all, which would end the message) shown as their
// visible symbols. A report that quoted a whole line of megabytes could not be read, nor
// laid out in a message box in any useful time.
inline constexpr std::size_t kQuotedCharacters = 100;
std::string QuoteLine(TextView line);

} // namespace miradel
