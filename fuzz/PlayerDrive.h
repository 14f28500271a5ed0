// SPDX-License-Identifier: MIT
#pragma once

#include "game/Game.h"
#include "headless/HeadlessView.h"
#include "headless/MemoryContent.h"
#include "platform/MediaControl.h"
#include "platform/Random.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace miradel::robust {

// Every scene the game can open, in the order in which the parts of a fuzz input fill them.
inline constexpr std::array<std::string_view, 25> kSceneNames = { "opn", "not", "0", "1", "2", "3", "00", "01", "02",
    "03", "10", "11", "12", "13", "20", "21", "22", "23", "30", "31", "32", "33", "end0", "end1", "end2" };

// Parts of an input are cut at this byte: the events first, then the scenes in the order
// above. A scene whose part is missing has no file at all.
inline constexpr char kPartSeparator = '\x1e';
inline constexpr std::size_t kMaxSceneBytes = 64 * 1024;
// Enough clicks to play through several scenes; more would make each input slower to run
// than to find anything new with.
inline constexpr std::size_t kMaxEvents = 256;

struct PlayInput {
    std::string events;
    std::vector<std::optional<std::string>> scenes;
};

PlayInput SplitInput(std::string_view bytes);
// The seed of the game's draws for an input, so that a finding replays as it was found.
std::uint64_t SeedOf(std::string_view bytes);

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

// One game over a headless window, as the program starts it: the music, then a new game.
struct HeadlessPlay {
    HeadlessPlay(MemoryContent& content, std::uint64_t seed);

    HeadlessView view;
    SeededRandom random;
    Game game;
};

// Drives the real game over a headless window and scenes in memory, as a user could: each
// event byte picks one of the things that can be clicked or can tick right now. After every
// event it checks what must hold whatever the content, and that the window shows what the
// game's state says, and aborts with a message when that breaks. Content errors end a play
// the way they end the program.
class PlayerDrive {
public:
    PlayerDrive();
    ~PlayerDrive();

    // The scenes of `input`; missing ones have no file.
    void SetScenes(const PlayInput& input);

    // A fresh game per play, so that plays do not depend on each other.
    PlayOutcome Play(std::string_view events, std::uint64_t seed);

    // One game kept across calls, for long play: `count` seeded events.
    void StartLongPlay(std::uint64_t seed);
    PlayOutcome ContinueLongPlay(std::size_t count);

    // Starts a game, as Play does, for tests that click through it themselves.
    HeadlessPlay& Start(std::uint64_t seed);

private:
    // Runs one event picked by `choice`; false when the game stands still for good.
    static bool RunEvent(HeadlessPlay& play, std::uint8_t choice);
    static void CheckInvariants(const HeadlessPlay& play);
    static void CheckFatalError(const std::string& message, const std::string& file);

    MemoryContent m_content;
    std::unique_ptr<HeadlessPlay> m_play;
    std::mt19937 m_longEvents;
};

} // namespace miradel::robust
