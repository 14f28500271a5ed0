// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Colors.h"
#include "platform/Text.h"

class QPlainTextEdit;
class QWidget;

namespace miradel {

class Label;

// The backlog on screen: the text read so far, read-only, laid over the message area and
// scrolled by lines. Scrolling on past the newest line closes it.
class BacklogView {
public:
    explicit BacklogView(QWidget& window);
    ~BacklogView();
    BacklogView(const BacklogView&) = delete;
    BacklogView& operator=(const BacklogView&) = delete;

    // Shows `history` over the message area in its font and colours, the newest line at the
    // bottom.
    void Open(TextView history, const Label& messageArea, PackedColor backColor);
    void Close();
    bool IsOpen() const;

    // Lines back (negative) or on; returns false when this went past the newest line and
    // the backlog closed.
    bool Scroll(int lines);
    // The lines that one screenful of the backlog shows.
    int LinesPerPage() const;
    // The first line on show, counted from the oldest, and the last line that can be first.
    int FirstLineShown() const;
    int LastFirstLine() const;

private:
    QPlainTextEdit* m_text; // owned by the window, as its child
    bool m_open = false;
};

} // namespace miradel
