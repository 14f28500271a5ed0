// SPDX-License-Identifier: MIT
#pragma once

#include "platform/MediaControl.h"
#include "platform/Text.h"

#include <functional>

namespace miradel {

// The background music: opened and started once at start-up, watched on every tick of the
// 1 ms timer `BgmTim` and started again from its beginning whenever it has stopped, closed at
// shutdown. Everything goes through the media service under the alias "MIDI"; no result is
// looked at and nothing about the music ever reaches the player.
namespace 共用関数 {

// Program-wide; off at start, switched on by start-up and never off again.
extern bool musicOn;

void OpenMusic(const Text& path);
void PlayMusic();
void CloseMusic();

} // namespace 共用関数

// One tick of the watch timer `BgmTim`.
void BgmTim_Timer();

// The service that the music procedures talk to: start-up chooses the system's one, tests
// and tools their own; until then every command fails as without a sound device.
void UseMediaControl(MediaControl& service);
// A service that goes away is no longer used (if it is the one in use): commands fail again.
void StopUsingMediaControl(const MediaControl& service);

// Ticks of the watch that cannot see any change are not spent. After every tick and every
// command of the procedures, `tickAt` is told when the next tick is due: when the service
// says that the mode may next change (Clock::time_point::min(): at the next tick; max(): not
// before a command). While the music is stopped and `musicOn` is on, every tick restarts it,
// so then the next tick is due at once, as often as the timer ticks.
void UseMusicWatchTimer(std::function<void(MediaControl::Clock::time_point)> tickAt);

} // namespace miradel
