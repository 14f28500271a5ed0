// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace miradel {

// What a step asks for once it has done its own work.
enum class NextStep {
    Nothing, // the step is over
    Another, // the next line is taken at once (after a page command, a picture, an empty line)
    Run, // a "--" run: `runCount` further steps at once
};

struct StepRequest {
    NextStep next = NextStep::Nothing;
    std::int32_t runCount = 0;
    long long line = 0; // where the run was written, for reports
};

struct OpenRun {
    std::int32_t count;
    long long line;
};

// Takes a step and every step it makes of its own, in file order: one after another in a
// loop rather than by recursion, so that no content can grow the call stack. All runs share
// `stepCounter`: a run nested in another leaves it at its own count + 1, and the outer run
// goes on counting from there. Once `goOn()` says the scene has ended, the runs still under
// way (innermost last) go to `settleRuns` and no further step is taken.
template <class TakeOneStep, class GoOn, class SettleRuns>
void TakeSteps(long long& stepCounter, TakeOneStep takeOneStep, GoOn goOn, SettleRuns settleRuns)
{
    std::vector<OpenRun> runs;
    bool stepPending = true;
    while (true) {
        if (stepPending) {
            const StepRequest request = takeOneStep();
            stepPending = request.next == NextStep::Another;
            if (request.next == NextStep::Run) {
                stepCounter = 1;
                if (stepCounter <= request.runCount) {
                    runs.push_back({ request.runCount, request.line });
                    stepPending = true;
                }
            }
            continue;
        }
        if (runs.empty())
            return;
        if (!goOn()) {
            settleRuns(runs);
            return;
        }
        ++stepCounter;
        if (stepCounter <= runs.back().count)
            stepPending = true;
        else
            runs.pop_back();
    }
}

// A run that the end of its scene cut short, and the steps it had left.
struct CutRun {
    long long line;
    long long stepsLeft;
};

// Where the counter stands once the given runs have made all their steps, innermost first.
// `cut`, when given, receives each run with the steps it still had to take, innermost first.
inline long long CounterAfterRuns(
    long long stepCounter, const std::vector<OpenRun>& runs, std::vector<CutRun>* cut = nullptr)
{
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        if (cut)
            cut->push_back({ run->line, std::max(0LL, run->count - stepCounter) });
        stepCounter = std::max(stepCounter + 1, static_cast<long long>(run->count) + 1);
    }
    return stepCounter;
}

} // namespace miradel
