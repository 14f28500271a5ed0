// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Colors.h"
#include "platform/Text.h"

#include <array>
#include <functional>
#include <memory>

class QWidget;
class QPushButton;

namespace miradel {

class ClickableLabel;
class Window;

// What every visible control has: visibility, a place in the window's user scale, a font
// size, and fore and back colours. Controls are created hidden.
class Control {
public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    void SetVisible(bool visible);
    bool Visible() const { return m_visible; }
    // Told whenever the control is asked to show, also when it is on show already.
    void OnShowAsked(std::function<void()> observer) { m_onShowAsked = std::move(observer); }
    // The control takes the keyboard only when the player moves it there (Tab, arrow keys)
    // or clicks it, never by appearing or by another control's leaving.
    void SetKeyboardOnlyWhenMovedThere();
    void Move(float left, float top, float width, float height);
    void SetFontSize(float points);
    float FontSize() const { return m_fontSize; }
    void SetBackColor(PackedColor color);
    PackedColor BackColor() const { return m_backColor; }
    void SetForeColor(PackedColor color);
    PackedColor ForeColor() const { return m_foreColor; }

    QWidget* Widget() const { return m_widget; }

    // Places the widget again after the window's size or user scale changed.
    void Replace();

protected:
    Control(Window& window, QWidget* widget);
    virtual void ApplyColors();
    Window& m_window;
    QWidget* m_widget; // owned by the window's widget, as its child

private:
    bool m_visible = false;
    float m_fontSize = 0;
    PackedColor m_backColor = kWhite;
    PackedColor m_foreColor = 0;
    std::array<float, 4> m_place {};
    bool m_placed = false;
    std::function<void()> m_onShowAsked;
};

enum class TextAlignment { Left, Center };

// A label: a caption (a CR LF in it starts a new line), an optional transparent
// background, and a click event.
class Label final : public Control {
public:
    Label(Window& window, TextView caption, TextAlignment alignment);

    void SetCaption(TextView caption);
    const Text& Caption() const { return m_caption; }
    void SetTransparent(bool transparent);
    void OnClick(std::function<void()> handler);
    // Told of every caption set, before it takes the place of the one shown.
    void OnCaptionChange(std::function<void(const Text& before, TextView after)> observer)
    {
        m_onCaptionChange = std::move(observer);
    }

    // Shows the caption now instead of at the next turn of the event loop.
    void FlushCaption();

private:
    void ApplyColors() override;
    void KeepNewestLineInView();
    ClickableLabel* TheLabel() const;

    Text m_caption;
    bool m_transparent = false;
    bool m_flushPending = false;
    std::function<void()> m_onClick;
    std::function<void(const Text&, TextView)> m_onCaptionChange;
};

// A push button drawn with its own back colour on the face.
class Button final : public Control {
public:
    Button(Window& window, TextView caption);

    const Text& Caption() const { return m_caption; }
    void OnClick(std::function<void()> handler);

private:
    void ApplyColors() override;

    Text m_caption;
    std::function<void()> m_onClick;
};

// A control array of buttons whose click hands the Index of the clicked member.
template <std::size_t Count> class ButtonArray {
public:
    ButtonArray(Window& window, const std::array<TextView, Count>& captions)
    {
        for (std::size_t i = 0; i < Count; ++i)
            m_buttons[i] = std::make_unique<Button>(window, captions[i]);
    }
    Button& operator()(int index) { return *m_buttons.at(static_cast<std::size_t>(index)); }
    const Button& operator()(int index) const { return *m_buttons.at(static_cast<std::size_t>(index)); }
    static constexpr int UBound() { return static_cast<int>(Count) - 1; }
    void OnClick(const std::function<void(int)>& handler)
    {
        for (std::size_t i = 0; i < Count; ++i)
            m_buttons[i]->OnClick([handler, i] { handler(static_cast<int>(i)); });
    }

private:
    std::array<std::unique_ptr<Button>, Count> m_buttons;
};

} // namespace miradel
