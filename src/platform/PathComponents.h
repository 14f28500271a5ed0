// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace miradel {

// The folder and file names of a content path. Games written on Windows separate them with
// '\' as often as '/'; doubled and leading separators leave no empty name.
template <typename Char> std::vector<std::basic_string<Char>> PathComponents(std::basic_string_view<Char> path)
{
    std::vector<std::basic_string<Char>> components;
    std::basic_string<Char> current;
    for (const Char c : path) {
        if (c != Char('/') && c != Char('\\')) {
            current += c;
        } else if (!current.empty()) {
            components.push_back(std::move(current));
            current.clear();
        }
    }
    if (!current.empty())
        components.push_back(std::move(current));
    return components;
}

} // namespace miradel
