// SPDX-License-Identifier: MIT
#include "support/HeadlessFixture.h"

#include "game/SceneNames.h"
#include "support/GameFolder.h"

namespace miradel::test {

double ScriptedRandom::NextUniform()
{
    ++m_draws;
    if (m_values.empty())
        return m_default;
    const double value = m_values.front();
    m_values.pop_front();
    return value;
}

std::string ShownMessage(TextView caption)
{
    const std::string caption8 = TextToUtf8(caption);
    std::string shown;
    for (std::size_t i = 0; i < caption8.size(); ++i) {
        const bool lineBreak = caption8.compare(i, 2, "\r\n") == 0;
        shown += lineBreak ? '|' : caption8[i];
        i += lineBreak ? 1 : 0;
    }
    return shown;
}

std::string OfferShown(bool scene, bool nextDay, bool choices)
{
    if (scene + nextDay + choices > 1)
        return "several";
    return scene ? "scene" : nextDay ? "next day" : choices ? "choices" : "none";
}

HeadlessFixture::HeadlessFixture()
    : view([this](TextView fileName) { content.FindPicture(fileName); })
    , game(view, content, random)
{
}

void HeadlessFixture::WriteScene(const std::string& name, const std::vector<std::string>& utf8Lines)
{
    WriteSceneBytes(name, SceneBytes(utf8Lines));
}

void HeadlessFixture::WriteSceneBytes(const std::string& name, std::string_view bytes)
{
    content.SetScene(TextFromUtf8(name), std::string(bytes));
}

void HeadlessFixture::WriteWholeGame()
{
    for (const Text& scene : ScenesTheGameOpens())
        WriteScene(TextToUtf8(scene), { TextToUtf8(scene) });
    for (const Text& picture : PicturesTheGameShows())
        content.AddPicture(picture);
    for (const Text& picture : BlinkingPictures())
        content.AddPicture(picture + Text(kBlinkFrameSuffix));
}

void HeadlessFixture::Play(std::string_view script)
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

std::string HeadlessFixture::VisibleChoices() const
{
    std::string shown;
    for (std::size_t i = 0; i < view.choiceVisible.size(); ++i) {
        if (view.choiceVisible[i])
            shown += std::to_string(i);
    }
    return shown;
}

std::string HeadlessFixture::Offer() const
{
    return OfferShown(view.messageVisible, view.nextDayVisible, view.AnyChoiceVisible());
}

} // namespace miradel::test
