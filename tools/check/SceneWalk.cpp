#include "SceneWalk.h"

#include "platform/Text.h"
#include "scenario/LineKind.h"
#include "scenario/StepLoop.h"

#include <algorithm>
#include <cstdint>

namespace miradel::check {

namespace {

// A page stops after the text line that finds more lines than this on it, as in the player.
constexpr long long kFullPage = 29;

class Walker {
public:
    Walker(const std::vector<Text>& lines, const std::string& shownName, const PageMeasure* measure, Findings& findings)
        : m_lines(lines)
        , m_shownName(shownName)
        , m_measure(measure)
        , m_findings(findings)
    {
    }

    SceneWalk Walk()
    {
        StepScene();
        m_firstStepDone = true;
        while (m_open) {
            ++m_step;
            StepScene();
        }
        FlushPage();
        ReportUnreachable();
        return m_result;
    }

private:
    TextView NextLine() const
    {
        return m_position < m_lines.size() ? TextView(m_lines[m_position]) : literal::kSceneEnd;
    }

    // A step as the player takes it, with the steps it makes of its own and those of runs.
    void StepScene()
    {
        long long stepCounter = 0;
        TakeSteps(
            stepCounter,
            [this] {
                std::int32_t count = 0;
                const NextStep next = TakeOneStep(count);
                return StepRequest { next, count, m_currentLine };
            },
            [this] { return m_open; },
            [this, &stepCounter](const std::vector<OpenRun>& runs) { ReportRunsPastEnd(runs, stepCounter); });
    }

    NextStep TakeOneStep(std::int32_t& runCount)
    {
        if (!m_open)
            return NextStep::Nothing;
        const bool atEnd = m_position >= m_lines.size();
        const TextView line = NextLine();
        m_currentLine = atEnd ? 0 : static_cast<long long>(m_position) + 1;
        if (!atEnd)
            ++m_position;
        switch (ClassifyLine(line)) {
        case LineKind::SceneEnd:
            return EndScene(SceneEnding::NextOffer);
        case LineKind::Run:
            runCount = RunCount(line);
            return NextStep::Run;
        case LineKind::GameEnd:
            if (!m_firstStepDone && m_result.gameEndInFirstStep == 0)
                m_result.gameEndInFirstStep = m_currentLine;
            return EndScene(SceneEnding::GameEnd);
        case LineKind::NewPage:
            FlushPage();
            m_pageLines = 0;
            return NextStep::Another;
        case LineKind::Picture:
            m_result.pictures.push_back({ m_currentLine, Text(PictureNameOf(line)) });
            return NextStep::Another;
        case LineKind::Loop:
            return EndScene(SceneEnding::Loop);
        case LineKind::TextLine:
            return ShowTextLine();
        }
        return NextStep::Nothing;
    }

    NextStep EndScene(SceneEnding ending)
    {
        m_open = false;
        m_result.ending = ending;
        m_result.endLine = m_currentLine;
        m_result.lastReachedLine = m_currentLine == 0 ? static_cast<long long>(m_lines.size()) : m_currentLine;
        return NextStep::Nothing;
    }

    std::int32_t RunCount(TextView line)
    {
        if (const auto count = RunCountOf(line))
            return *count;
        // The player ends the game here; going on as if the count were 0 finds the rest.
        const bool digitsOnly = line.size() > 2
            && line.substr(2).find_first_not_of(u"0123456789 +-\t\u3000") == TextView::npos
            && line.substr(2).find_first_of(u"0123456789") != TextView::npos;
        m_findings.Error(m_shownName, m_currentLine, 3,
            digitsOnly ? "the count after \"--\" is too large (at most 2147483647); the game ends here"
                       : "\"--\" must be followed by a whole number of lines, such as \"--3\"; the game ends here");
        return 0;
    }

    NextStep ShowTextLine()
    {
        const long long lineIndex = m_currentLine - 1;
        if (m_pageMarked)
            FlushPage();
        const bool stops = StopsPageBefore(NextLine()) || m_pageLines > kFullPage;
        m_pageLines = stops ? 0 : m_pageLines;
        ++m_pageLines;
        m_pageMarked = stops;
        m_page.push_back({ static_cast<std::size_t>(lineIndex), m_step });
        return m_lines[static_cast<std::size_t>(lineIndex)].empty() ? NextStep::Another : NextStep::Nothing;
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

    // The steps left over, counted as the player would go on counting them with its one
    // counter if they could still take lines: the innermost run first.
    void ReportRunsPastEnd(const std::vector<OpenRun>& runs, long long stepCounter)
    {
        const std::string end = m_currentLine == 0 ? "at the end of the file" : "at line " + std::to_string(m_currentLine);
        for (std::size_t i = runs.size(); i-- > 0;) {
            const long long left = std::max(0LL, runs[i].count - stepCounter);
            stepCounter = std::max(stepCounter + 1, static_cast<long long>(runs[i].count) + 1);
            if (left > 0) {
                m_findings.Warning(m_shownName, runs[i].line, 3,
                    "the count reaches past the end of the scene, which ends " + end + "; " + std::to_string(left)
                        + (left == 1 ? " step is" : " steps are") + " left over");
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
                (line == total ? std::string("this line is") : "this line and the " + std::to_string(total - line) + " after it are")
                    + " never shown: the scene ends at line " + std::to_string(m_result.endLine));
            return;
        }
    }

    const std::vector<Text>& m_lines;
    const std::string& m_shownName;
    const PageMeasure* m_measure;
    Findings& m_findings;

    SceneWalk m_result;
    std::size_t m_position = 0;
    long long m_currentLine = 0;
    bool m_open = true;
    bool m_firstStepDone = false;
    long long m_pageLines = 1;
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

SceneWalk WalkScene(const std::vector<Text>& lines, const std::string& shownName, const PageMeasure* measure,
    Findings& findings)
{
    return Walker(lines, shownName, measure, findings).Walk();
}

} // namespace miradel::check
