// SPDX-License-Identifier: MIT
#pragma once

#include "platform/RuntimeError.h"

#include <functional>

namespace miradel {

// What happens to an error that no procedure handles: by default it is written to stderr,
// shown in a message box (when there is a screen) and the program ends with status 1.
// Tests and tools install their own handler.
using FatalErrorHandler = std::function<void(const RuntimeError&)>;

void SetFatalErrorHandler(FatalErrorHandler handler);
// The game folder that content errors name, so that "txt/opn.dat" says where it was looked for.
void SetReportedGameFolder(TextView folder);
void ReportFatalError(const RuntimeError& error);

// Ends the process at once with `status`: no timer or handler runs again and open files
// are closed. Tests install a handler that records the call instead.
void EndProgram(int status);
void SetEndProgramHandler(std::function<void(int)> handler);

// Runs an event handler; an error escaping it is reported as fatal. Every entry point from
// the toolkit into the program goes through here.
void RunGuarded(const std::function<void()>& handler);

} // namespace miradel
