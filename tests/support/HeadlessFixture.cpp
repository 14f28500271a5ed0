// SPDX-License-Identifier: MIT
#include "support/HeadlessFixture.h"

#include "game/SceneNames.h"
#include "support/GameFolder.h"

namespace miradel::test {

HeadlessFixture::HeadlessFixture()
    : view([this](TextView fileName) { content.FindPicture(fileName); })
    , game(view, content, random)
{
}

void HeadlessFixture::WriteScene(const std::string& name, const std::vector<std::string>& utf8Lines)
{
    std::string bytes;
    for (const std::string& line : utf8Lines)
        bytes += Cp932Bytes(line) + "\r\n";
    WriteSceneBytes(name, bytes);
}

void HeadlessFixture::WriteSceneBytes(const std::string& name, std::string_view bytes)
{
    content.SetScene(TextFromUtf8(name), std::string(bytes));
}

void HeadlessFixture::WriteAllScenes()
{
    for (const Text& scene : ScenesTheGameOpens())
        WriteScene(TextToUtf8(scene), { TextToUtf8(scene) });
}

void HeadlessFixture::WriteAllPictures()
{
    for (const Text& picture : PicturesTheGameShows())
        content.AddPicture(picture);
    for (const Text& picture : BlinkingPictures())
        content.AddPicture(picture + Text(kBlinkFrameSuffix));
}

std::string HeadlessFixture::Message() const
{
    const std::string caption = TextToUtf8(view.message);
    std::string shown;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        const bool lineBreak = caption.compare(i, 2, "\r\n") == 0;
        shown += lineBreak ? '|' : caption[i];
        i += lineBreak ? 1 : 0;
    }
    return shown;
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
    const bool choices = view.AnyChoiceVisible();
    if (view.messageVisible + view.nextDayVisible + choices > 1)
        return "several";
    if (view.messageVisible)
        return "scene";
    if (view.nextDayVisible)
        return "next day";
    return choices ? "choices" : "none";
}

} // namespace miradel::test
