// SPDX-License-Identifier: MIT
#pragma once

#include <map>
#include <string>

namespace miradel::test {

// Some conditions hold only from the start of a process: the scale factor of the screens,
// the locale. A test for them runs a disabled test of this same binary in a child process
// with the environment it needs, and reads the child's verdict.
struct ChildOutcome {
    int exitCode = -1;
    std::string output; // stdout and stderr together
};

// Runs the disabled tests matching `filter` (such as "DISABLED_HighDpiChild.*") with
// `environment` added to this process's own; a value of "" removes that variable.
ChildOutcome RunChildTests(const std::string& filter, const std::map<std::string, std::string>& environment);

} // namespace miradel::test
