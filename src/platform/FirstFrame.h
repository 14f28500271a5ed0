// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <stop_token>

namespace miradel {

// Work that may run behind the first frame (loading the sound libraries) waits for it, so
// that it does not compete with the libraries and plugins that the window itself loads on
// the way to its first frame.
//
// ExpectFirstFrame() is called at start-up, before the window is shown, by a program that
// will show one; without it nothing waits. The window calls MarkFirstFrameShown() once it
// has painted after its first activation. WaitForFirstFrame() returns at the mark, at once
// when no frame is expected, when `stop` is requested, and after `limit` at the latest.
void ExpectFirstFrame();
void MarkFirstFrameShown();
bool FirstFramePending();
void WaitForFirstFrame(std::chrono::milliseconds limit, std::stop_token stop = {});

} // namespace miradel
