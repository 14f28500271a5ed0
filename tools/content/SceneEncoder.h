// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace miradel::content {

// One reason why a scene source cannot become a scene file. Line and column count from 1;
// the column counts characters, not bytes, so it points where an editor's cursor would be.
struct EncodeError {
    long long line = 0;
    long long column = 0;
    std::string message;
};

struct EncodedScene {
    std::string bytes;
    std::vector<EncodeError> errors;
    bool Succeeded() const { return errors.empty(); }
};

// Turns a scene written as UTF-8 (LF or CR LF line ends, an optional byte-order mark) into
// the bytes the player reads: code page 932 with CR LF after every line. A source whose last
// line has no line end gets one, which the player reads the same way.
//
// Every line is checked, so one run reports all mistakes: a character that code page 932
// cannot hold, bytes that are not UTF-8, and a "--" line whose count the player cannot read
// (it would stop there at run time). When there are errors, `bytes` is empty.
EncodedScene EncodeScene(std::string_view utf8Source);

} // namespace miradel::content
