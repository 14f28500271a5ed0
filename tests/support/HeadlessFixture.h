// SPDX-License-Identifier: MIT
#pragma once

#include "game/Game.h"
#include "game/SceneNames.h"
#include "headless/HeadlessView.h"
#include "headless/MemoryContent.h"
#include "platform/Random.h"
#include "support/GameFolder.h"

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace miradel::test {

// A random source that hands out the draws a test queued, then a fixed value.
class ScriptedRandom final : public RandomSource {
public:
    // A draw r from 0 to 99 comes from u = (r + 0.5) / 100.
    void QueueDraw(int draw) { m_values.push_back((draw + 0.5) / 100.0); }
    void SetDefault(double value) { m_default = value; }
    int Draws() const { return m_draws; }
    double NextUniform() override
    {
        ++m_draws;
        if (m_values.empty())
            return m_default;
        const double value = m_values.front();
        m_values.pop_front();
        return value;
    }

private:
    std::deque<double> m_values;
    double m_default = 0.99;
    int m_draws = 0;
};

// The message area's text as the player sees it: CR LF shown as "|".
inline std::string ShownMessage(TextView caption)
{
    std::string shown = TextToUtf8(caption);
    for (std::size_t at = shown.find("\r\n"); at != std::string::npos; at = shown.find("\r\n", at))
        shown.replace(at, 2, "|");
    return shown;
}

// Which offer is on show: "scene", "next day", "choices", "none" or "several".
inline std::string OfferShown(bool scene, bool nextDay, bool choices)
{
    if (scene + nextDay + choices > 1)
        return "several";
    return scene ? "scene" : nextDay ? "next day" : choices ? "choices" : "none";
}

// The game over a headless window, its handlers called directly. Its content, in memory, is every
// scene the game opens, one line each, and every picture with its blink frames.
class HeadlessFixture {
public:
    HeadlessFixture()
    {
        for (const Text& scene : ScenesTheGameOpens())
            WriteScene(TextToUtf8(scene), { TextToUtf8(scene) });
        for (const Text& picture : PicturesTheGameShows())
            content.AddPicture(picture);
        for (const Text& picture : BlinkingPictures())
            content.AddPicture(picture + Text(kBlinkFrameSuffix));
    }
    void WriteScene(const std::string& name, const std::vector<std::string>& utf8Lines)
    {
        WriteSceneBytes(name, SceneBytes(utf8Lines));
    }
    void WriteSceneBytes(const std::string& name, std::string_view bytes)
    {
        content.SetScene(TextFromUtf8(name), std::string(bytes));
    }

    void Start() { game.NewGame(); }
    // 't' a tick, 'c' a click on the message area, 'n' the next-day button, '0' to '3' a choice.
    void Play(std::string_view script)
    {
        for (const char event : script) {
            if (event == 't')
                game.TimSay_Timer();
            else if (event == 'c')
                game.Lbl_Click();
            else if (event == 'n')
                game.ComGame_Click();
            else if (event >= '0' && event <= '3')
                game.Com_Click(event - '0');
        }
    }

    std::string Message() const { return ShownMessage(view.message); }
    std::string Offer() const { return OfferShown(view.messageVisible, view.nextDayVisible, view.AnyChoiceVisible()); }
    std::string VisibleChoices() const
    {
        std::string shown;
        for (std::size_t i = 0; i < view.choiceVisible.size(); ++i)
            shown += view.choiceVisible[i] ? std::to_string(i) : "";
        return shown;
    }

    MemoryContent content;
    ScriptedRandom random;
    HeadlessView view { [this](TextView fileName) { content.FindPicture(fileName); } };
    Game game { view, content, random };
};

} // namespace miradel::test
