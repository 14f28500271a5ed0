#pragma once

#include "app/Frm.h"
#include "platform/MediaControl.h"
#include "platform/Random.h"
#include "platform/RuntimeError.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace miradel::robust {

// Every scene the game can open, in the order in which the parts of a fuzz input fill them.
inline constexpr std::array<std::string_view, 25> kSceneNames = { "opn", "not", "0", "1", "2", "3", "00", "01",
    "02", "03", "10", "11", "12", "13", "20", "21", "22", "23", "30", "31", "32", "33", "end0", "end1", "end2" };

// Parts of an input are cut at this byte: the events first, then the scenes in the order
// above. A scene whose part is missing has no file at all.
inline constexpr char kPartSeparator = '\x1e';
inline constexpr std::size_t kMaxSceneBytes = 64 * 1024;
inline constexpr std::size_t kMaxEvents = 4096;

struct PlayInput {
    std::string events;
    std::vector<std::optional<std::string>> scenes;
};

PlayInput SplitInput(std::string_view bytes);

class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(std::uint64_t seed)
        : m_engine(seed)
    {
    }
    double NextUniform() override { return std::generate_canonical<double, 53>(m_engine); }

private:
    std::mt19937_64 m_engine;
};

// Plays nothing; says the music stopped now and then, so that the watch restarts it.
class QuietMedia final : public MediaControl {
public:
    MediaResult SendString(const char* command, char* reply, std::size_t replyLength) override;

private:
    unsigned m_queries = 0;
};

// How one play ended.
struct PlayOutcome {
    std::size_t eventsRun = 0;
    // The report of the content error that ended the game, if one did.
    std::optional<std::string> fatalReport;
};

// Drives the real window over a game folder of its own, as a user could: each event byte
// picks one of the things that can be clicked or can tick right now. After every event it
// checks what must hold whatever the content, and aborts with a message when that breaks.
// Content errors end a play the way they end the program.
class PlayerDrive {
public:
    // Lays out the pictures (tiny JPEGs) in `folder`, which must exist and be writable.
    explicit PlayerDrive(std::filesystem::path folder);
    ~PlayerDrive();

    // Writes the scenes of `input` (missing ones removed) into the folder.
    void WriteScenes(const PlayInput& input) const;

    // A fresh window per play, so that plays do not depend on each other.
    PlayOutcome Play(std::string_view events, std::uint64_t seed);

    // One window kept across calls, for long play: `count` seeded events.
    void StartLongPlay(std::uint64_t seed);
    PlayOutcome ContinueLongPlay(std::size_t count);

private:
    void StartGame(Frm& form);
    // Runs one event picked by `choice`; false when nothing could be dispatched.
    bool RunEvent(Frm& form, std::uint8_t choice);
    static void CheckInvariants(const Frm& form);
    static void CheckFatalError(const RuntimeError& error);

    std::filesystem::path m_folder;
    mutable std::vector<std::optional<std::optional<std::string>>> m_written;
    QuietMedia m_media;
    std::optional<SeededRandom> m_longRandom;
    std::optional<Frm> m_longForm;
    std::mt19937 m_longEvents;
};

} // namespace miradel::robust
