// SPDX-License-Identifier: MIT
#include "SceneWalk.h"

#include "game/GameState.h"
#include "game/GameView.h"
#include "platform/Text.h"
#include "platform/TextFiles.h"
#include "scenario/LineKind.h"
#include "scenario/LineSource.h"
#include "scenario/ScenarioPlayer.h"

#include <cstdint>

namespace miradel::check {

namespace {

constexpr TextView kWaitMark = u"▼";

// Walks a scene with the player's own code: the player steps through the lines as the game
// would, and tells the walker what it does through the window, the host and the line source
// that the walker stands in for.
class Walker final : public GameView, public ScenarioHost, public LineSource {
public:
    Walker(const std::vector<Text>& lines, const std::string& shownName, const PageMeasure* measure, Findings& findings)
        : m_lines(lines)
        , m_shownName(shownName)
        , m_measure(measure)
        , m_findings(findings)
        , m_player(*this, m_files, *this, m_state, *this)
    {
        // The player ends the game at a "--" without a count; going on as if the count were
        // 0 finds the rest. Every line up to the end is taken, so those reached are reported.
        for (std::size_t i = 0; i < m_lines.size(); ++i) {
            if (ClassifyLine(m_lines[i]) == LineKind::Run && !RunCountOf(m_lines[i])) {
                if (m_badCounts.empty())
                    m_playedLines = m_lines;
                m_playedLines[i] = u"--0";
                m_badCounts.push_back(static_cast<long long>(i) + 1);
            }
        }
    }

    SceneWalk Walk()
    {
        // The player refuses a scene without lines before stepping; it offers what follows.
        if (m_lines.empty())
            return m_result;
        m_player.OpenScene(u"scene");
        m_firstStepDone = true;
        while (m_player.SceneOpen()) {
            ++m_step;
            m_player.Lbl_Click();
        }
        NoteEnding();
        for (const long long line : m_badCounts) {
            if (line <= m_result.lastReachedLine)
                ReportBadCount(line);
        }
        FlushPage();
        ReportRunsCutShort();
        ReportUnreachable();
        return m_result;
    }

    std::string OpenScene(TextFiles& files, std::int16_t number, TextView) override
    {
        files.OpenLines(number, m_badCounts.empty() ? m_lines : m_playedLines, m_shownName);
        return m_shownName;
    }

    void SetMessage(TextView text) override
    {
        if (text.empty()) {
            FlushPage();
            return;
        }
        // A text line: after a page that waited for a click it starts a new page.
        if (m_pageMarked)
            FlushPage();
        m_pageMarked = m_player.PageMark() == kWaitMark;
        m_page.push_back({ static_cast<std::size_t>(m_player.CurrentLineNumber() - 1), m_step });
    }
    void ShowPicture(TextView name) override
    {
        m_result.pictures.push_back({ m_player.CurrentLineNumber(), Text(name) });
    }
    void NewGame() override
    {
        if (!m_firstStepDone && m_result.gameEndInFirstStep == 0)
            m_result.gameEndInFirstStep = m_player.CurrentLineNumber();
    }

    void ShowMessageArea(bool) override { }
    void ShowDay(std::uint8_t) override { }
    void ShowNextDay(bool) override { }
    void ShowChoice(int, bool) override { }
    void SetPacing(bool) override { }
    void ClearPicture() override { }
    void LoadPicture(TextView) override { }
    void PaintPicture(TextView) override { }
    void ShowChoices(bool) override { }
    void BlinkStep() override { }

private:
    void ReportBadCount(long long lineNumber)
    {
        const TextView line = m_lines[static_cast<std::size_t>(lineNumber - 1)];
        const bool digitsOnly = line.size() > 2
            && line.substr(2).find_first_not_of(u"0123456789 +-\t\u3000") == TextView::npos
            && line.substr(2).find_first_of(u"0123456789") != TextView::npos;
        m_findings.Error(m_shownName, lineNumber, 3,
            digitsOnly ? "the count after \"--\" is too large (at most 2147483647); the game ends here"
                       : "\"--\" must be followed by a whole number of lines, such as \"--3\"; the game ends here");
    }

    // The line that ended the scene; at the end of the file, the "tugi" it stands for.
    void NoteEnding()
    {
        const long long line = m_player.CurrentLineNumber();
        const LineKind kind = line > 0 ? ClassifyLine(m_lines[static_cast<std::size_t>(line - 1)]) : LineKind::TextLine;
        m_result.ending = kind == LineKind::GameEnd ? SceneEnding::GameEnd
            : kind == LineKind::Loop                ? SceneEnding::Loop
                                                    : SceneEnding::NextOffer;
        const bool endsAtLine = kind == LineKind::GameEnd || kind == LineKind::Loop || kind == LineKind::SceneEnd;
        m_result.endLine = endsAtLine ? line : 0;
        m_result.lastReachedLine = endsAtLine ? line : static_cast<long long>(m_lines.size());
    }

    // A page is measured once it is complete: it only grows while it is on show. The
    // message area keeps its newest line in view, so a tall page only scrolls; what is
    // lost are lines that one step shows together and that do not fit together.
    void FlushPage()
    {
        if (!m_page.empty() && m_measure && !Fits(0, m_page.size()))
            ReportStepThatDoesNotFit();
        m_page.clear();
        m_pageMarked = false;
    }

    bool Fits(std::size_t first, std::size_t end)
    {
        m_pageViews.clear();
        for (std::size_t i = first; i < end; ++i)
            m_pageViews.emplace_back(m_lines[m_page[i].index]);
        return m_measure->Fits(m_pageViews, m_pageMarked && end == m_page.size());
    }

    void ReportStepThatDoesNotFit()
    {
        for (std::size_t first = 0; first < m_page.size();) {
            std::size_t end = first;
            while (end < m_page.size() && m_page[end].step == m_page[first].step)
                ++end;
            if (!Fits(first, end)) {
                const long long firstLine = static_cast<long long>(m_page[first].index) + 1;
                const long long lastLine = static_cast<long long>(m_page[end - 1].index) + 1;
                m_findings.Warning(m_shownName, firstLine, 1,
                    "lines " + std::to_string(firstLine) + "-" + std::to_string(lastLine)
                        + " appear at once and do not fit in the message area of the smallest supported screen "
                          "(768 pixels high), so the first of them are never seen; break them with a \">p\" line");
                return;
            }
            first = end;
        }
    }

    void ReportRunsCutShort()
    {
        const std::string end
            = m_result.endLine == 0 ? "at the end of the file" : "at line " + std::to_string(m_result.endLine);
        for (const CutRun& run : m_player.RunsCutShort()) {
            if (run.stepsLeft > 0) {
                m_findings.Warning(m_shownName, run.line, 3,
                    "the count reaches past the end of the scene, which ends " + end + "; "
                        + std::to_string(run.stepsLeft) + (run.stepsLeft == 1 ? " step is" : " steps are")
                        + " left over");
            }
        }
    }

    void ReportUnreachable()
    {
        const auto total = static_cast<long long>(m_lines.size());
        for (long long line = m_result.lastReachedLine + 1; line <= total; ++line) {
            if (m_lines[static_cast<std::size_t>(line - 1)].empty())
                continue;
            m_findings.Warning(m_shownName, line, 1,
                (line == total ? std::string("this line is")
                               : "this line and the " + std::to_string(total - line) + " after it are")
                    + " never shown: the scene ends at line " + std::to_string(m_result.endLine));
            return;
        }
    }

    const std::vector<Text>& m_lines;
    const std::string& m_shownName;
    const PageMeasure* m_measure;
    Findings& m_findings;

    // The lines as the player takes them, if a bad count had to be replaced.
    std::vector<Text> m_playedLines;
    std::vector<long long> m_badCounts;
    GameState m_state;
    TextFiles m_files;
    ScenarioPlayer m_player;

    SceneWalk m_result;
    bool m_firstStepDone = false;
    bool m_pageMarked = false;
    struct PageLine {
        std::size_t index;
        long long step;
    };
    // The lines of the page on show, each with the step that showed it.
    std::vector<PageLine> m_page;
    long long m_step = 0;
    std::vector<TextView> m_pageViews;
};

} // namespace

SceneWalk WalkScene(
    const std::vector<Text>& lines, const std::string& shownName, const PageMeasure* measure, Findings& findings)
{
    return Walker(lines, shownName, measure, findings).Walk();
}

} // namespace miradel::check
