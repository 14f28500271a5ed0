// SPDX-License-Identifier: MIT
#include "LineSpelling.h"

#include "scenario/LineKind.h"

#include <algorithm>
#include <array>
#include <vector>

namespace miradel::check {

namespace {

constexpr std::array<TextView, 6> kCommands { literal::kSceneEnd, literal::kRun, literal::kGameEnd, literal::kNewPage,
    literal::kPicture, literal::kLoop };
// Words that a misspelling is compared with: ">p" is too short to guess at.
constexpr std::array<TextView, 4> kLongCommands { literal::kSceneEnd, literal::kGameEnd, literal::kPicture,
    literal::kLoop };
constexpr std::size_t kShownLength = 24;

bool IsAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Full-width ASCII to ASCII, capitals to small letters.
char16_t Folded(char16_t c)
{
    if (c >= u'\uFF01' && c <= u'\uFF5E')
        c = static_cast<char16_t>(c - 0xFEE0);
    if (c >= u'A' && c <= u'Z')
        c = static_cast<char16_t>(c + 0x20);
    return c;
}

std::string Quoted(TextView text)
{
    const bool cut = text.size() > kShownLength;
    return "\"" + TextToUtf8(text.substr(0, kShownLength)) + (cut ? "..." : "") + "\"";
}

std::string Why(TextView line, std::size_t start)
{
    if (start > 0)
        return "it starts with a blank";
    const bool wide
        = std::any_of(line.begin(), line.end(), [](char16_t c) { return c >= u'\uFF01' && c <= u'\uFF5E'; });
    return wide ? "it is written in full-width characters" : "commands are written in small letters";
}

void CheckPicture(TextView line, const std::string& file, long long number, Findings& findings)
{
    const std::size_t separator = literal::kPicture.size();
    if (line.size() <= separator) {
        findings.Warning(file, number, 1, "\">img\" names no picture: it only repaints the picture on show");
        return;
    }
    if (!IsBlank(line[separator])) {
        findings.Warning(file, number, static_cast<long long>(separator) + 1,
            "no blank after \">img\": the character " + Quoted(line.substr(separator, 1))
                + " is taken as the separator and dropped, so "
                + (PictureNameOf(line).empty() ? std::string("the line names no picture")
                                               : "the picture is " + Quoted(PictureNameOf(line)))
                + "; write \">img NAME\"");
        return;
    }
    const TextView name = PictureNameOf(line);
    if (name.empty()) {
        findings.Warning(file, number, 1, "\">img\" names no picture: it only repaints the picture on show");
        return;
    }
    std::size_t end = name.size();
    while (end > 0 && IsBlank(name[end - 1]))
        --end;
    if (end < name.size()) {
        findings.Warning(file, number, static_cast<long long>(separator + 2 + end),
            "the picture name ends in blanks, which are part of the name: " + Quoted(name));
    }
}

// The command that a text line was probably meant to be, or an empty view.
TextView IntendedCommand(TextView line, std::size_t start, Text& folded)
{
    folded.clear();
    for (std::size_t i = start; i < line.size() && folded.size() < 8; ++i)
        folded.push_back(Folded(line[i]));
    for (TextView command : kCommands) {
        if (BeginsWith(folded, command))
            return command;
    }
    // A misspelt word: the letters after ">", or a line that is one word (as "tsugi").
    const bool marked = !folded.empty() && folded.front() == u'>';
    std::size_t wordEnd = marked ? 1 : 0;
    while (wordEnd < folded.size() && IsAsciiLetter(folded[wordEnd]))
        ++wordEnd;
    const std::size_t letters = wordEnd - (marked ? 1 : 0);
    const bool wholeLine = start + wordEnd == line.size();
    if (letters < 2 || (!marked && !wholeLine) || BeginsWith(folded, literal::kNewPageText))
        return {};
    const TextView word = TextView(folded).substr(0, wordEnd);
    const std::size_t allowed = letters <= 3 ? 1 : 2;
    for (TextView command : kLongCommands) {
        if ((command.front() == u'>') == marked && EditDistance(word, command) <= allowed)
            return command;
    }
    return {};
}

void CheckText(TextView line, const std::string& file, long long number, Findings& findings)
{
    std::size_t start = 0;
    while (start < line.size() && IsBlank(line[start]))
        ++start;
    if (start == line.size())
        return;
    Text folded;
    const TextView command = IntendedCommand(line, start, folded);
    if (command.empty())
        return;
    const bool misspelt = !BeginsWith(folded, command);
    findings.Warning(file, number, static_cast<long long>(start) + 1,
        Quoted(line.substr(start)) + " is shown as text, not taken as the command " + Quoted(command) + ": "
            + (misspelt ? std::string("it is misspelt") : Why(line, start)));
}

} // namespace

std::size_t EditDistance(TextView a, TextView b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({ row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1) });
            diagonal = above;
        }
    }
    return row[b.size()];
}

static bool IsPageBreakWithNote(TextView line)
{
    const TextView rest = line.substr(literal::kNewPage.size());
    const bool blankFirst = !rest.empty() && (rest.front() == u' ' || rest.front() == u'\u3000');
    return blankFirst && rest.find_first_not_of(u" \t\u3000") != TextView::npos;
}

void CheckLineSpelling(TextView line, const std::string& shownName, long long lineNumber, Findings& findings)
{
    switch (ClassifyLine(line)) {
    case LineKind::Picture:
        CheckPicture(line, shownName, lineNumber, findings);
        return;
    case LineKind::NewPage:
        // ">p" then a blank and words is the page break that does not wait, the words a note
        // of the author's; anything else after ">p" is probably a slip.
        if (line != literal::kNewPage && !IsPageBreakWithNote(line)) {
            findings.Warning(shownName, lineNumber, 3,
                "\">p\" with more after it clears the page without waiting for a click; write \">p\" alone");
        }
        return;
    case LineKind::TextLine:
        CheckText(line, shownName, lineNumber, findings);
        return;
    case LineKind::SceneEnd:
    case LineKind::Run:
    case LineKind::GameEnd:
    case LineKind::Loop:
        return;
    }
}

} // namespace miradel::check
