// SPDX-License-Identifier: MIT
#include "fuzz/PlayerDrive.h"

#include "game/SceneNames.h"
#include "music/MusicProcedures.h"
#include "platform/RuntimeError.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace miradel::robust {

namespace {

// Every picture the game shows by name, and every blink frame a scene can ask for with ">img _".
constexpr std::array<std::u16string_view, 21> kPictureNames = { u"ttl", u"0", u"1", u"2", u"3", u"4", u"end0", u"end1",
    u"end2", u"ttl_", u"0_", u"1_", u"2_", u"3_", u"4_", u"end0_", u"end1_", u"end2_", u"_", u"", u"0 " };

[[noreturn]] void Broken(const char* what, const HeadlessPlay& play)
{
    const HeadlessView& view = play.view;
    std::fprintf(stderr,
        "invariant broken: %s (scene %s, line %lld, day %d; Lbl %d, ComGame %d, Com %d%d%d%d, scene open %d)\n", what,
        play.game.player.SceneShownName().c_str(), play.game.player.CurrentLineNumber(), play.game.state.day,
        view.messageVisible, view.nextDayVisible, view.choiceVisible[0], view.choiceVisible[1], view.choiceVisible[2],
        view.choiceVisible[3], play.game.player.SceneOpen());
    std::abort();
}

// An ending without ">end" once every choice is used up offers the choices with none left
// to show: the game stands still, as such a final ending means it to.
bool StandsStill(const HeadlessPlay& play)
{
    const GameState& state = play.game.state;
    return !play.view.messageVisible && !play.view.nextDayVisible && !play.view.AnyChoiceVisible()
        && state.AllSlotsUsed() && !state.secretOpen;
}

// The window shows what the game's state says.
void CheckViewAgrees(const HeadlessPlay& play)
{
    const HeadlessView& view = play.view;
    const Game& game = play.game;
    // Compared as memory: a character-wise compare, instrumented for coverage, would cost
    // more than the step it checks.
    const Text& message = game.player.Message();
    if (view.message.size() != message.size()
        || std::memcmp(view.message.data(), message.data(), message.size() * sizeof(char16_t)) != 0)
        Broken("the message area shows another text than the player's", play);
    if (view.day != game.state.day)
        Broken("the day label shows another day", play);
    const Text& current = game.pictures.CurrentPicture();
    if (!view.pictureVisible || view.shownPicture != current)
        Broken("the picture area shows another picture than the current one", play);
    const bool blinkFrame = view.bufferPicture.size() == current.size() + kBlinkFrameSuffix.size()
        && view.bufferPicture.starts_with(current) && view.bufferPicture.ends_with(kBlinkFrameSuffix);
    if (view.bufferPicture != current && !blinkFrame)
        Broken("the picture painted is neither the current one nor its blink frame", play);
    for (int i = 0; i < DaysAndChoices::kFourthChoice; ++i) {
        if (view.choiceVisible[static_cast<std::size_t>(i)] && !game.state.SlotFree(i + 1))
            Broken("a used choice is offered", play);
    }
    if (view.choiceVisible[DaysAndChoices::kFourthChoice] && !game.state.secretOpen)
        Broken("the fourth choice is offered while closed", play);
    if (game.player.PageMark() == u"▼" && !view.message.empty() && !view.message.ends_with(u"▼"))
        Broken("a page that waits for a click shows no \"▼\"", play);
}

} // namespace

PlayInput SplitInput(std::string_view bytes)
{
    PlayInput input;
    std::size_t part = 0;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        std::size_t end = bytes.find(kPartSeparator, start);
        if (end == std::string_view::npos)
            end = bytes.size();
        const std::string_view piece = bytes.substr(start, std::min(end - start, kMaxSceneBytes));
        if (part == 0)
            input.events.assign(piece.substr(0, kMaxEvents));
        else if (part <= kSceneNames.size())
            input.scenes.emplace_back(std::string(piece));
        ++part;
        start = end + 1;
    }
    input.scenes.resize(kSceneNames.size());
    return input;
}

std::uint64_t SeedOf(std::string_view bytes)
{
    // FNV-1a.
    std::uint64_t hash = 14695981039346656037ull;
    for (const char byte : bytes)
        hash = (hash ^ static_cast<std::uint8_t>(byte)) * 1099511628211ull;
    return hash;
}

MediaResult QuietMedia::SendString(const char* command, char* reply, std::size_t replyLength)
{
    if (std::strncmp(command, "status", 6) == 0 && reply && replyLength > 0) {
        const char* mode = ++m_queries % 3 == 0 ? "stopped" : "playing";
        std::snprintf(reply, replyLength, "%s", mode);
    }
    return MediaResult::Ok;
}

HeadlessPlay::HeadlessPlay(MemoryContent& content, std::uint64_t seed)
    : view([&content](TextView fileName) { content.FindPicture(fileName); })
    , random(seed)
    , game(view, content, random)
{
}

PlayerDrive::PlayerDrive()
{
    for (const std::u16string_view name : kPictureNames)
        m_content.AddPicture(name);
    // Outlives every drive: the music procedures keep talking to it.
    static QuietMedia media;
    UseMediaControl(media);
}

PlayerDrive::~PlayerDrive() = default;

void PlayerDrive::SetScenes(const PlayInput& input)
{
    // The scenes' bytes are read in place: no game may have one open.
    m_play.reset();
    for (std::size_t i = 0; i < kSceneNames.size(); ++i) {
        const Text name = TextFromUtf8(kSceneNames[i]);
        if (input.scenes[i])
            m_content.SetScene(name, *input.scenes[i]);
        else
            m_content.RemoveScene(name);
    }
}

void PlayerDrive::CheckFatalError(const std::string& message, const std::string& file)
{
    // A read of a closed file is the player's fault, never the content's.
    if (message.find("開かれていません") != std::string::npos) {
        std::fprintf(stderr, "read of a closed file: %s: %s\n", file.c_str(), message.c_str());
        std::abort();
    }
    if (file.empty()) {
        std::fprintf(stderr, "a fatal error that names no file: %s\n", message.c_str());
        std::abort();
    }
}

void PlayerDrive::CheckInvariants(const HeadlessPlay& play)
{
    const Game& game = play.game;
    const HeadlessView& view = play.view;
    if (game.files.OpenCount() > 1)
        Broken("more than one scene file open", play);
    if (game.player.PageLines() > 30)
        Broken("pageLines above 30", play);
    const bool scene = view.messageVisible;
    const bool nextDay = view.nextDayVisible;
    const bool choices = view.AnyChoiceVisible() || StandsStill(play);
    if (int(scene) + int(nextDay) + int(choices) != 1)
        Broken("not exactly one offer on show", play);
    // A message area with no scene behind it would take clicks that never move on.
    if (scene && !game.player.SceneOpen())
        Broken("the message area shows with no scene open", play);
    if (choices && game.state.day == 0)
        Broken("a choice offered on day 0", play);
    CheckViewAgrees(play);
}

HeadlessPlay& PlayerDrive::Start(std::uint64_t seed)
{
    m_play = std::make_unique<HeadlessPlay>(m_content, seed);
    共用関数::OpenMusic(u"bgm.wav");
    共用関数::musicOn = true;
    共用関数::PlayMusic();
    m_play->game.NewGame();
    return *m_play;
}

bool PlayerDrive::RunEvent(HeadlessPlay& play, std::uint8_t choice)
{
    enum class Event { Click, Tick, NextDay, Choice0, Choice1, Choice2, Choice3 };
    std::array<Event, 7> offered {};
    std::size_t count = 0;
    if (play.view.messageVisible)
        offered[count++] = Event::Click;
    if (play.view.pacing)
        offered[count++] = Event::Tick;
    if (play.view.nextDayVisible)
        offered[count++] = Event::NextDay;
    for (std::size_t i = 0; i < play.view.choiceVisible.size(); ++i) {
        if (play.view.choiceVisible[i])
            offered[count++] = static_cast<Event>(static_cast<std::size_t>(Event::Choice0) + i);
    }
    if (count == 0) {
        if (!StandsStill(play))
            Broken("nothing to click", play);
        return false;
    }
    switch (const Event event = offered[choice % count]) {
    case Event::Click:
        play.game.Lbl_Click();
        break;
    case Event::Tick:
        play.game.TimSay_Timer();
        break;
    case Event::NextDay:
        play.game.ComGame_Click();
        break;
    case Event::Choice0:
    case Event::Choice1:
    case Event::Choice2:
    case Event::Choice3:
        play.game.Com_Click(static_cast<int>(event) - static_cast<int>(Event::Choice0));
        break;
    }
    BgmTim_Timer();
    return true;
}

PlayOutcome PlayerDrive::Play(std::string_view events, std::uint64_t seed)
{
    PlayOutcome outcome;
    try {
        HeadlessPlay& play = Start(seed);
        CheckInvariants(play);
        for (const char event : events) {
            if (!RunEvent(play, static_cast<std::uint8_t>(event)))
                break;
            ++outcome.eventsRun;
            CheckInvariants(play);
        }
    } catch (const RuntimeError& error) {
        CheckFatalError(error.Message(), error.File());
        outcome.fatalReport = error.Report();
        return outcome;
    }
    // Closing the window leaves nothing open.
    m_play->game.player.CloseScene();
    if (m_play->game.files.OpenCount() != 0)
        Broken("a scene file left open at shutdown", *m_play);
    return outcome;
}

void PlayerDrive::StartLongPlay(std::uint64_t seed)
{
    m_longEvents.seed(static_cast<std::mt19937::result_type>(seed));
    CheckInvariants(Start(seed));
}

PlayOutcome PlayerDrive::ContinueLongPlay(std::size_t count)
{
    PlayOutcome outcome;
    try {
        for (; outcome.eventsRun < count; ++outcome.eventsRun) {
            if (!RunEvent(*m_play, static_cast<std::uint8_t>(m_longEvents())))
                return outcome;
            CheckInvariants(*m_play);
        }
    } catch (const RuntimeError& error) {
        outcome.fatalReport = error.Report();
    }
    return outcome;
}

} // namespace miradel::robust
