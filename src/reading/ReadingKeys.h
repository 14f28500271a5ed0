// SPDX-License-Identifier: MIT
#pragma once

#include <optional>

namespace miradel {

// What players of such games expect from their keys beyond reading on and moving between the
// buttons: skip (Ctrl held, S toggles), the backlog (PageUp or the wheel turned away over the
// text) and full screen (F11, Alt+Enter; Escape leaves it). Each front end turns its own key
// events into these keys and carries out the answer; the decisions are the same everywhere.
// None of it presses a button.
enum class ReadingKey { Control, S, PageUp, PageDown, Up, Down, Escape, Enter, Space, F11, Other };

struct KeyModifiers {
    bool shift = false;
    bool control = false;
    bool alt = false;
    bool meta = false;

    bool None() const { return !shift && !control && !alt && !meta; }
};

enum class ReadingAction {
    Pass, // not a reading key: it goes on to the controls
    Swallow, // nothing happens
    HoldSkip, // the hold key went down; the key still goes on to the controls
    ToggleSkip,
    ToggleFullScreen,
    OpenBacklog, // opens it if closed, then a page back
    CloseBacklog,
    PageBack,
    PageOn,
    LineBack,
    LineOn,
};

// `repeat`: the key repeats one held from before; a toggle or a close waits for a fresh press.
ReadingAction AnswerReadingKey(ReadingKey key, KeyModifiers modifiers, bool repeat, bool backlogOpen, bool fullScreen);

// One frame of a 60 Hz screen: skipping clicks once per frame.
inline constexpr int kSkipFrameInterval = 16;
// A notch of the wheel, in eighths of a degree, and the backlog's lines per notch.
inline constexpr int kWheelNotch = 120;
inline constexpr int kBacklogLinesPerNotch = 3;

// The wheel's turns added up to whole notches, as a touchpad sends many small steps: positive
// notches away from the reader, negative towards. Turning the other way starts afresh.
class WheelNotches {
public:
    int Add(int away);
    void Reset() { m_turned = 0; }

private:
    int m_turned = 0;
};

// The backlog scrolled `lines` on (negative: back) from `firstLine`, where `lastFirstLine`
// is the last line that can be at the top. Scrolling on from the newest line closes it
// (nullopt); otherwise the new first line.
std::optional<int> BacklogScrolled(int firstLine, int lastFirstLine, int lines);

} // namespace miradel
