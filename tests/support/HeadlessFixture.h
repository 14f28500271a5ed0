// SPDX-License-Identifier: MIT
#pragma once

#include "game/Game.h"
#include "headless/HeadlessView.h"
#include "headless/MemoryContent.h"
#include "platform/Random.h"

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace miradel::test {

// A random source that hands out the values a test queued, then a fixed value.
class ScriptedRandom final : public RandomSource {
public:
    void Queue(double value) { m_values.push_back(value); }
    // A draw r from 0 to 99 comes from u = (r + 0.5) / 100.
    void QueueDraw(int draw) { Queue((draw + 0.5) / 100.0); }
    void SetDefault(double value) { m_default = value; }
    void Clear() { m_values.clear(); }
    double NextUniform() override;
    int Draws() const { return m_draws; }

private:
    std::deque<double> m_values;
    double m_default = 0.99;
    int m_draws = 0;
};

// The message area's text as the player sees it: CR LF shown as "|".
std::string ShownMessage(TextView caption);
// Which of the three offers is on show: "scene", "next day", "choices", "none" or "several".
std::string OfferShown(bool scene, bool nextDay, bool choices);

// The game over a headless window, its scenes and pictures in memory, with its handlers
// called directly.
class HeadlessFixture {
public:
    HeadlessFixture();

    void WriteScene(const std::string& name, const std::vector<std::string>& utf8Lines);
    void WriteSceneBytes(const std::string& name, std::string_view bytes);
    // Every scene the game opens, each one line long, so that one click ends it, and every
    // picture the game shows with its blink frames.
    void WriteWholeGame();

    void Start() { game.NewGame(); }
    // Runs the events of `script`: 't' a tick, 'c' a click on the message area, 'n' the
    // next-day button, '0' to '3' a choice button; other characters are ignored.
    void Play(std::string_view script);

    std::string Message() const { return ShownMessage(view.message); }
    std::string Offer() const;
    std::string VisibleChoices() const;

    MemoryContent content;
    ScriptedRandom random;
    HeadlessView view;
    Game game;
};

} // namespace miradel::test
