// SPDX-License-Identifier: MIT
#pragma once

#include "GameCheck.h"

#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace miradel::check {

struct StoryEdge {
    Text from;
    Text to;
    // Each way the game goes from one scene to the other, one per line.
    std::vector<std::string> labels;
};

// The transitions of the game between its scenes: the next day, the choices with their
// low and high draws, ">end" and ">loop", from how each scene really ends.
std::vector<StoryEdge> StoryEdges(const GameCheck& check);

// The story as a Graphviz graph: scenes as nodes (missing ones dashed and red), the
// transitions as labelled edges.
std::string StoryGraphDot(const GameCheck& check);

// Writes the graph to `file`, and an SVG beside it when Graphviz's "dot" is installed.
// False, with the reason on `errors`, when the file cannot be written.
bool WriteStoryGraph(const GameCheck& check, const std::string& file, std::ostream& errors);

} // namespace miradel::check
