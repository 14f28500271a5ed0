// SPDX-License-Identifier: MIT
#pragma once

#include "app/Frm.h"
#include "platform/MediaControl.h"
#include "platform/Random.h"
#include "support/GameFolder.h"

#include <deque>
#include <memory>
#include <string>
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

// A media service that records the commands and plays nothing.
class SilentMedia final : public MediaControl {
public:
    MediaResult SendString(const char* command, char* reply, std::size_t replyLength) override;
    std::vector<std::string> commands;
};

// The window on a game folder of the test's own, with its handlers called directly: fatal
// errors are thrown to the test, and ending the program is only recorded.
class FormFixture {
public:
    FormFixture();
    // On a game folder that lies elsewhere, such as the bundled game.
    explicit FormFixture(Text gameFolder);
    ~FormFixture();

    // Form_Load, the first layout run and the first game, as the window's start would.
    void Start();
    Frm& Form() { return *m_form; }

    // The caption of the message area as the player sees it: CR LF shown as "|".
    std::string Message();
    // Which of the three offers is on show: "scene", "next day", "choices", or "none".
    std::string Offer();
    std::string VisibleChoices();

    GameFolder folder;
    ScriptedRandom random;
    SilentMedia media;
    std::vector<int> endedWith;

private:
    void Open(Text gameFolder);
    std::unique_ptr<Frm> m_form;
};

} // namespace miradel::test
