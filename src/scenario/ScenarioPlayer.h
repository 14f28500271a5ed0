// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Text.h"
#include "scenario/StepLoop.h"

#include <cstdint>
#include <vector>

namespace miradel {

class GameView;
class LineSource;
class TextFiles;
struct GameState;

// What the player needs from the rest of the window.
class ScenarioHost {
public:
    virtual ~ScenarioHost() = default;
    virtual void ShowPicture(TextView name) = 0;
    virtual void ShowChoices(bool visible) = 0;
    virtual void BlinkStep() = 0;
    // A new game, as at start-up.
    virtual void NewGame() = 0;
};

// Plays one scene at a time: opens its file, steps through it one line per tick of the
// pacing timer or per click, carries out the command lines and reveals the text lines page
// by page, a page waiting for a click with "▼" after its last line. At the end of the scene
// it offers the next-day button or the choices, or starts a new game.
//
// Steps that a step makes of its own (after a page command, a picture, an empty line, and
// the steps of a "--" run) are taken by a loop, in file order, so that no content can grow
// the call stack. Once a scene has ended, steps do nothing until the next scene opens.
class ScenarioPlayer {
public:
    ScenarioPlayer(GameView& view, TextFiles& files, LineSource& scenes, GameState& game, ScenarioHost& host);

    void OpenScene(TextView name);
    void SetMessage(TextView text);
    void StepScene();
    void Lbl_Click();
    void TimSay_Timer();
    void EndToNextDay();
    void EndToChoices();
    void RestartGame();
    // Closes the scene file if one is open.
    void CloseScene();

    std::int16_t SceneFile() const { return sceneFile; }
    // The text of the message area.
    const Text& Message() const { return m_message; }
    bool SceneOpen() const;
    const Text& NextLine() const { return nextLine; }
    std::uint8_t PageLines() const { return pageLines; }
    const Text& PageMark() const { return pageMark; }
    long long StepCounter() const { return stepCounter; }
    // Where the line of the step being taken came from, for error reports.
    const std::string& SceneShownName() const { return m_sceneShownName; }
    long long CurrentLineNumber() const { return m_currentLineNumber; }
    // The runs that the end of the scene cut short, innermost first; empty when none was.
    const std::vector<CutRun>& RunsCutShort() const { return m_runsCutShort; }

private:
    StepRequest TakeOneStep();
    StepRequest ShowTextLine(const Text& line);
    StepRequest RunFrom(const Text& line);
    void ShowPictureFrom(const Text& line);
    void ReadNextLine();

    GameView& m_view;
    TextFiles& m_files;
    LineSource& m_scenes;
    GameState& m_game;
    ScenarioHost& m_host;

    std::int16_t sceneFile = 0;
    Text m_message;
    Text nextLine;
    std::uint8_t pageLines = 0;
    Text pageMark;
    // The counter of a "--" run: one for all runs, so that a run nested in another moves
    // the outer run's count on.
    long long stepCounter = 0;
    unsigned m_scenesOpened = 0;

    std::string m_sceneShownName;
    long long m_nextLineNumber = 0;
    long long m_currentLineNumber = 0;
    std::vector<CutRun> m_runsCutShort;
};

} // namespace miradel
