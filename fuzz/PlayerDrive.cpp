#include "fuzz/PlayerDrive.h"

#include "platform/FatalError.h"
#include "platform/RuntimeError.h"
#include "music/MusicProcedures.h"

#include <QColor>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace miradel::robust {

namespace {

// Every picture the game shows by name, and every blink frame a scene can ask for with ">img _".
constexpr std::array<std::string_view, 21> kPictureNames = { "ttl", "0", "1", "2", "3", "4", "end0", "end1",
    "end2", "ttl_", "0_", "1_", "2_", "3_", "4_", "end0_", "end1_", "end2_", "_", "", "0 " };

// Thrown by the fatal-error handler, so that a content error ends the play as it ends the program.
struct ProgramEnded {
    RuntimeError error;
};

[[noreturn]] void Broken(const char* what, const Frm& form)
{
    auto& shown = const_cast<Frm&>(form);
    std::fprintf(stderr,
        "invariant broken: %s (scene %s, line %lld, day %d; Lbl %d, ComGame %d, Com %d%d%d%d, scene open %d)\n",
        what, form.game.player.SceneShownName().c_str(), form.game.player.CurrentLineNumber(), form.game.state.day,
        shown.Lbl.Visible(), shown.ComGame.Visible(), shown.Com(0).Visible(), shown.Com(1).Visible(),
        shown.Com(2).Visible(), shown.Com(3).Visible(), form.game.player.SceneOpen());
    std::abort();
}

bool AnyChoiceShown(const Frm& form)
{
    for (int i = 0; i <= ButtonArray<4>::UBound(); ++i) {
        if (const_cast<Frm&>(form).Com(i).Visible())
            return true;
    }
    return false;
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

MediaResult QuietMedia::SendString(const char* command, char* reply, std::size_t replyLength)
{
    if (std::strncmp(command, "status", 6) == 0 && reply && replyLength > 0) {
        const char* mode = ++m_queries % 3 == 0 ? "stopped" : "playing";
        std::snprintf(reply, replyLength, "%s", mode);
    }
    return MediaResult::Ok;
}

PlayerDrive::PlayerDrive(std::filesystem::path folder)
    : m_folder(std::move(folder))
{
    std::filesystem::create_directories(m_folder / "txt");
    std::filesystem::create_directories(m_folder / "img");
    QImage image(8, 6, QImage::Format_RGB32);
    for (std::size_t i = 0; i < kPictureNames.size(); ++i) {
        image.fill(QColor::fromHsv(static_cast<int>(i * 17 % 360), 200, 200));
        const std::filesystem::path path = m_folder / "img" / (std::string(kPictureNames[i]) + ".jpg");
        image.save(QString::fromStdString(path.string()), "JPG");
    }
    UseMediaControl(m_media);
    SetFatalErrorHandler([](const RuntimeError& error) { throw ProgramEnded { error }; });
    SetEndProgramHandler([](int) {});
}

PlayerDrive::~PlayerDrive()
{
    m_longForm.reset();
    SetFatalErrorHandler({});
    SetEndProgramHandler({});
}

void PlayerDrive::WriteScenes(const PlayInput& input) const
{
    m_written.resize(kSceneNames.size());
    for (std::size_t i = 0; i < kSceneNames.size(); ++i) {
        // Most inputs differ in a few scenes only; writing the rest again is wasted time.
        if (m_written[i] && *m_written[i] == input.scenes[i])
            continue;
        m_written[i] = input.scenes[i];
        const std::filesystem::path path = m_folder / "txt" / (std::string(kSceneNames[i]) + ".dat");
        if (!input.scenes[i]) {
            std::filesystem::remove(path);
            continue;
        }
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(input.scenes[i]->data(), static_cast<std::streamsize>(input.scenes[i]->size()));
    }
}

void PlayerDrive::CheckFatalError(const RuntimeError& error)
{
    // A read of a closed file is the player's fault, never the content's.
    if (error.Message().find("開かれていません") != std::string::npos) {
        std::fprintf(stderr, "read of a closed file: %s\n", error.Report().c_str());
        std::abort();
    }
    if (error.File().empty()) {
        std::fprintf(stderr, "a fatal error that names no file: %s\n", error.Report().c_str());
        std::abort();
    }
}

void PlayerDrive::CheckInvariants(const Frm& form)
{
    if (form.game.files.OpenCount() > 1)
        Broken("more than one scene file open", form);
    if (form.game.player.PageLines() > 30)
        Broken("pageLines above 30", form);
    const bool scene = form.Lbl.Visible();
    const bool nextDay = form.ComGame.Visible();
    // An ending without ">end" once every choice is used up offers the choices with none
    // left to show: the game stands still, as such a final ending means it to.
    const bool noChoiceLeft = form.game.state.AllSlotsUsed() && !form.game.state.secretOpen;
    const bool choices = AnyChoiceShown(form) || (!scene && !nextDay && noChoiceLeft);
    if (int(scene) + int(nextDay) + int(choices) != 1)
        Broken("not exactly one offer on show", form);
    // A message area with no scene behind it would take clicks that never move on.
    if (scene && !form.game.player.SceneOpen())
        Broken("the message area shows with no scene open", form);
    if (choices && form.game.state.day == 0)
        Broken("a choice offered on day 0", form);
}

void PlayerDrive::StartGame(Frm& form)
{
    form.Form_Load();
    form.Form_Resize();
    form.Form_Activate();
}

bool PlayerDrive::RunEvent(Frm& form, std::uint8_t choice)
{
    enum class Event { Click, Tick, NextDay, Choice0, Choice1, Choice2, Choice3 };
    std::array<Event, 7> offered {};
    std::size_t count = 0;
    if (form.Lbl.Visible())
        offered[count++] = Event::Click;
    if (form.TimSay.Enabled())
        offered[count++] = Event::Tick;
    if (form.ComGame.Visible())
        offered[count++] = Event::NextDay;
    for (int i = 0; i <= ButtonArray<4>::UBound(); ++i) {
        if (form.Com(i).Visible())
            offered[count++] = static_cast<Event>(static_cast<int>(Event::Choice0) + i);
    }
    if (count == 0)
        return false;
    switch (const Event event = offered[choice % count]) {
    case Event::Click:
        form.Lbl_Click();
        break;
    case Event::Tick:
        form.TimSay_Timer();
        break;
    case Event::NextDay:
        form.ComGame_Click();
        break;
    case Event::Choice0:
    case Event::Choice1:
    case Event::Choice2:
    case Event::Choice3:
        form.Com_Click(static_cast<int>(event) - static_cast<int>(Event::Choice0));
        break;
    }
    form.BgmTim_Timer();
    return true;
}

PlayOutcome PlayerDrive::Play(std::string_view events, std::uint64_t seed)
{
    SeededRandom random(seed);
    Frm form(TextFromUtf8(m_folder.string() + "/"), random);
    PlayOutcome outcome;
    try {
        StartGame(form);
        CheckInvariants(form);
        for (const char event : events) {
            if (!RunEvent(form, static_cast<std::uint8_t>(event)))
                Broken("nothing to click", form);
            ++outcome.eventsRun;
            CheckInvariants(form);
        }
    } catch (const RuntimeError& error) {
        CheckFatalError(error);
        outcome.fatalReport = error.Report();
        return outcome;
    } catch (const ProgramEnded& ended) {
        CheckFatalError(ended.error);
        outcome.fatalReport = ended.error.Report();
        return outcome;
    }
    // Closing the window leaves nothing open.
    form.Form_Unload();
    if (form.game.files.OpenCount() != 0)
        Broken("a scene file left open at shutdown", form);
    return outcome;
}

void PlayerDrive::StartLongPlay(std::uint64_t seed)
{
    m_longForm.reset();
    m_longRandom.emplace(seed);
    m_longEvents.seed(static_cast<std::mt19937::result_type>(seed));
    m_longForm.emplace(TextFromUtf8(m_folder.string() + "/"), *m_longRandom);
    StartGame(*m_longForm);
    CheckInvariants(*m_longForm);
}

PlayOutcome PlayerDrive::ContinueLongPlay(std::size_t count)
{
    PlayOutcome outcome;
    Frm& form = *m_longForm;
    try {
        for (; outcome.eventsRun < count; ++outcome.eventsRun) {
            if (!RunEvent(form, static_cast<std::uint8_t>(m_longEvents())))
                Broken("nothing to click", form);
            CheckInvariants(form);
        }
    } catch (const RuntimeError& error) {
        outcome.fatalReport = error.Report();
    } catch (const ProgramEnded& ended) {
        outcome.fatalReport = ended.error.Report();
    }
    return outcome;
}

} // namespace miradel::robust
