// SPDX-License-Identifier: MIT
#include "Findings.h"

#include <algorithm>
#include <tuple>

namespace miradel::check {

std::string FormatFinding(const Finding& finding)
{
    std::string text = finding.file;
    if (finding.line > 0) {
        text += ':' + std::to_string(finding.line);
        if (finding.column > 0)
            text += ':' + std::to_string(finding.column);
    }
    text += finding.severity == Severity::Error ? ": error: " : ": warning: ";
    text += finding.message;
    return text;
}

void Findings::Error(std::string file, long long line, long long column, std::string message)
{
    Add({ Severity::Error, std::move(file), line, column, std::move(message) });
}

void Findings::Warning(std::string file, long long line, long long column, std::string message)
{
    Add({ Severity::Warning, std::move(file), line, column, std::move(message) });
}

void Findings::Add(Finding finding)
{
    if (finding.severity == Severity::Error)
        ++m_errors;
    m_all.push_back(std::move(finding));
}

std::vector<Finding> Findings::Sorted() const
{
    std::vector<Finding> sorted = m_all;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Finding& a, const Finding& b) {
        return std::tie(a.file, a.line, a.column) < std::tie(b.file, b.line, b.column);
    });
    return sorted;
}

} // namespace miradel::check
