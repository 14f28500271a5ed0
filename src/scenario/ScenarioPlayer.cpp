// SPDX-License-Identifier: MIT
#include "scenario/ScenarioPlayer.h"

#include "game/GameState.h"
#include "game/GameView.h"
#include "platform/RuntimeError.h"
#include "platform/TextFiles.h"
#include "scenario/LineKind.h"
#include "scenario/LineSource.h"
#include "scenario/StepLoop.h"

#include <algorithm>
#include <vector>

namespace miradel {

static constexpr TextView kWaitMark = u"▼";
static constexpr TextView kLineBreak = u"\r\n";
static constexpr std::uint8_t kFullPage = 29;

ScenarioPlayer::ScenarioPlayer(
    GameView& view, TextFiles& files, LineSource& scenes, GameState& game, ScenarioHost& host)
    : m_view(view)
    , m_files(files)
    , m_scenes(scenes)
    , m_game(game)
    , m_host(host)
{
}

bool ScenarioPlayer::SceneOpen() const
{
    return m_files.IsOpen(sceneFile);
}

void ScenarioPlayer::OpenScene(TextView name)
{
    m_host.ShowChoices(false);
    m_view.ShowNextDay(false);
    m_view.ShowMessageArea(true);
    m_view.SetPacing(true);
    SetMessage(u"");
    pageLines = 1;
    CloseScene();
    sceneFile = m_files.FreeFile();
    m_runsCutShort.clear();
    m_sceneShownName = m_scenes.OpenScene(m_files, sceneFile, name);
    ++m_scenesOpened;
    if (m_files.AtEnd(sceneFile)) {
        CloseScene();
        throw RuntimeError("シナリオファイルに行が一行もありません", m_sceneShownName)
            .InEnglish("the scene file holds no line");
    }
    m_nextLineNumber = 0;
    ReadNextLine();
    Lbl_Click();
}

void ScenarioPlayer::ReadNextLine()
{
    nextLine = m_files.LineInput(sceneFile);
    m_nextLineNumber = m_files.LinesRead(sceneFile);
}

void ScenarioPlayer::SetMessage(TextView text)
{
    m_message = text;
    m_view.SetMessage(m_message);
}

void ScenarioPlayer::CloseScene()
{
    m_files.Close(sceneFile);
}

void ScenarioPlayer::StepScene()
{
    // Runs belong to their scene: after ">end" has opened a new one, stepping on would play
    // the new opening from the old run, and an opening that reaches ">end" again would
    // restart for ever.
    const unsigned scene = m_scenesOpened;
    TakeSteps(
        stepCounter, [this] { return TakeOneStep(); }, [this, scene] { return SceneOpen() && m_scenesOpened == scene; },
        [this](
            const std::vector<OpenRun>& runs) { stepCounter = CounterAfterRuns(stepCounter, runs, &m_runsCutShort); });
}

StepRequest ScenarioPlayer::TakeOneStep()
{
    if (!SceneOpen())
        return { NextStep::Nothing };
    const Text line = std::move(nextLine);
    m_currentLineNumber = m_nextLineNumber;
    if (m_files.AtEnd(sceneFile))
        nextLine = literal::kSceneEnd;
    else
        ReadNextLine();

    switch (ClassifyLine(line)) {
    case LineKind::SceneEnd:
        CloseScene();
        if (m_game.dayPending)
            EndToNextDay();
        else
            EndToChoices();
        return { NextStep::Nothing };
    case LineKind::Run:
        return RunFrom(line);
    case LineKind::GameEnd:
        CloseScene();
        RestartGame();
        return { NextStep::Nothing };
    case LineKind::NewPage:
        SetMessage(u"");
        pageLines = 0;
        return { NextStep::Another };
    case LineKind::Picture:
        ShowPictureFrom(line);
        return { NextStep::Another };
    case LineKind::Loop:
        CloseScene();
        m_game.day = 0;
        m_view.ShowDay(m_game.day);
        EndToNextDay();
        return { NextStep::Nothing };
    case LineKind::TextLine:
        return ShowTextLine(line);
    }
    return { NextStep::Nothing };
}

StepRequest ScenarioPlayer::RunFrom(const Text& line)
{
    const auto count = RunCountOf(line);
    if (!count) {
        throw RuntimeError("「--」の後ろが行数を表す整数ではありません: 「" + QuoteLine(line) + "」", m_sceneShownName,
            m_currentLineNumber)
            .InEnglish("\"--\" is not followed by a whole number of lines: \"" + QuoteLine(line) + "\"");
    }
    return { NextStep::Run, *count, m_currentLineNumber };
}

void ScenarioPlayer::ShowPictureFrom(const Text& line)
{
    try {
        m_host.ShowPicture(PictureNameOf(line));
    } catch (const RuntimeError& error) {
        // The picture's own error, told from the scene line that named it.
        const std::string where = error.File().empty() ? std::string() : error.File() + ": ";
        const std::string english = error.English().empty() ? error.Message() : error.English();
        throw RuntimeError(
            where + error.Message() + " (「" + QuoteLine(line) + "」)", m_sceneShownName, m_currentLineNumber)
            .InEnglish(where + english + " (\"" + QuoteLine(line) + "\")");
    }
}

StepRequest ScenarioPlayer::ShowTextLine(const Text& line)
{
    const bool pageTurned = pageMark == kWaitMark;
    if (StopsPageBefore(nextLine) || pageLines > kFullPage) {
        pageMark = kWaitMark;
        m_view.SetPacing(false);
        pageLines = 0;
    } else {
        pageMark.clear();
    }
    ++pageLines;
    const TextView previous = pageTurned ? TextView() : TextView(m_message);
    Text page;
    page.reserve(previous.size() + kLineBreak.size() + line.size() + pageMark.size());
    page.append(previous).append(kLineBreak).append(line).append(pageMark);
    m_message = std::move(page);
    m_view.SetMessage(m_message);
    return { line.empty() ? NextStep::Another : NextStep::Nothing };
}

void ScenarioPlayer::Lbl_Click()
{
    StepScene();
    m_view.SetPacing(true);
}

void ScenarioPlayer::TimSay_Timer()
{
    if (!TickWaitsBefore(nextLine))
        StepScene();
    m_host.BlinkStep();
}

void ScenarioPlayer::EndToNextDay()
{
    m_view.ShowNextDay(true);
    m_view.ShowMessageArea(false);
    m_view.SetPacing(false);
    SetMessage(u"");
}

void ScenarioPlayer::EndToChoices()
{
    m_view.ShowNextDay(false);
    m_view.ShowMessageArea(false);
    m_view.SetPacing(false);
    m_host.ShowChoices(true);
    SetMessage(u"");
}

void ScenarioPlayer::RestartGame()
{
    m_host.NewGame();
}

} // namespace miradel
