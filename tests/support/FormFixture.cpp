// SPDX-License-Identifier: MIT
#include "support/FormFixture.h"

#include "music/MusicProcedures.h"
#include "platform/FatalError.h"
#include "platform/MediaControlSdl.h"

#include <cstring>

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

MediaResult SilentMedia::SendString(const char* command, char*, std::size_t)
{
    commands.emplace_back(command);
    return MediaResult::NotOpen;
}

FormFixture::FormFixture()
{
    Open(folder.Root());
}

FormFixture::FormFixture(Text gameFolder)
{
    Open(std::move(gameFolder));
}

void FormFixture::Open(Text gameFolder)
{
    UseMediaControl(media);
    SetFatalErrorHandler([](const RuntimeError& error) { throw error; });
    SetEndProgramHandler([this](int status) { endedWith.push_back(status); });
    m_form = std::make_unique<Frm>(std::move(gameFolder), random);
}

FormFixture::~FormFixture()
{
    m_form.reset();
    UseMediaControl(SystemMediaControl());
    SetFatalErrorHandler(nullptr);
    SetEndProgramHandler(nullptr);
}

void FormFixture::Start()
{
    m_form->Form_Load();
    m_form->Form_Resize();
    m_form->Form_Activate();
}

std::string FormFixture::Message()
{
    const std::string caption = TextToUtf8(m_form->Lbl.Caption());
    std::string shown;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption.compare(i, 2, "\r\n") == 0) {
            shown += '|';
            ++i;
        } else {
            shown += caption[i];
        }
    }
    return shown;
}

std::string FormFixture::VisibleChoices()
{
    std::string shown;
    for (int i = 0; i <= 3; ++i) {
        if (m_form->Com(i).Visible())
            shown += std::to_string(i);
    }
    return shown;
}

std::string FormFixture::Offer()
{
    const bool scene = m_form->Lbl.Visible();
    const bool nextDay = m_form->ComGame.Visible();
    const bool choices = !VisibleChoices().empty();
    if (scene + nextDay + choices > 1)
        return "several";
    if (scene)
        return "scene";
    if (nextDay)
        return "next day";
    if (choices)
        return "choices";
    return "none";
}

} // namespace miradel::test
