// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace miradel::check {

enum class Severity { Error, Warning };

// One mistake, where it is: `file` is relative to the game folder; `line` and `column`
// count from 1, and 0 means the finding has none.
struct Finding {
    Severity severity;
    std::string file;
    long long line = 0;
    long long column = 0;
    std::string message;
};

// "file:line:column: error: message", leaving out the line and column where there is none.
std::string FormatFinding(const Finding& finding);

// Everything the checker found, in the order it found it until Sorted() is asked for.
class Findings {
public:
    void Error(std::string file, long long line, long long column, std::string message);
    void Warning(std::string file, long long line, long long column, std::string message);
    void Add(Finding finding);

    std::size_t ErrorCount() const { return m_errors; }
    std::size_t WarningCount() const { return m_all.size() - m_errors; }
    // By file, then line, then column; findings at the same place keep their order.
    std::vector<Finding> Sorted() const;

private:
    std::vector<Finding> m_all;
    std::size_t m_errors = 0;
};

} // namespace miradel::check
