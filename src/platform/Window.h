// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Colors.h"
#include "platform/Layout.h"
#include "platform/SizeAnswers.h"
#include "platform/Text.h"
#include "platform/WindowFrame.h"

#include <QPoint>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace miradel {

class Control;
class FormWidget;

// The program's one window: a fixed frame without minimise or maximise button, sized in
// twips (1/1440 inch, 15 twips per logical pixel at 96 dots per inch). Sizes read back are
// what the platform applied, rounded to whole pixels.
//
// Setting a size that really changes the window raises the resize handler at once, nested
// inside the assignment (one level deep); a size change from outside raises it from the event
// loop. When the window system answers a size we set with another one, that answer is kept.
class Window {
public:
    Window();
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    void SetTitle(TextView title);
    void Show();
    void Close();

    float ScreenHeightTwips() const;
    // The part of the screen that windows may take (without panels and docks).
    float AvailableWidthTwips() const;
    float AvailableHeightTwips() const;
    void SetWidthTwips(float width);
    void SetHeightTwips(float height);
    float WidthTwips() const;
    float HeightTwips() const;
    float TwipsPerPixel() const;

    void SetUserScale(const UserScale& scale);
    const UserScale& Scale() const { return m_scale; }

    void SetBackColor(PackedColor color);
    PackedColor BackColor() const { return m_backColor; }

    bool IsMinimized() const;

    // Full screen: the window covers the screen, and the user scale is laid over a game area
    // inside it (SetGameArea) instead of the whole inner area; the margins show the back
    // colour. In full screen the window's width and height read back as the game area's.
    void SetFullScreen(bool fullScreen);
    bool IsFullScreen() const;
    using PixelRect = miradel::PixelRect;
    PixelRect InnerPixels() const;
    void SetGameArea(const PixelRect& area);

    void OnResize(std::function<void()> handler) { m_onResize = std::move(handler); }
    void OnFirstActivate(std::function<void()> handler) { m_onFirstActivate = std::move(handler); }
    void OnUnload(std::function<void()> handler) { m_onUnload = std::move(handler); }

    QWidget* Widget() const;

    // For the controls: registration, and the pixel rectangle of a rectangle in layout units.
    void Adopt(Control& control);
    void Forget(Control& control);
    PixelRect ToPixels(float left, float top, float width, float height) const;

private:
    friend class FormWidget;
    void RaiseResize();
    void RaiseFirstActivate();
    void RaiseUnload();
    void ReplaceAllControls();
    void ResizeOuter(int widthPixels, int heightPixels);
    PixelRect GameArea() const;
    void NoteSizeAnswer(int widthPixels, int heightPixels);
    bool TakeKeptAnswer();
    void LearnFrame();

    std::unique_ptr<FormWidget> m_widget;
    UserScale m_scale;
    PackedColor m_backColor = 0;
    std::vector<Control*> m_controls;
    std::function<void()> m_onResize;
    std::function<void()> m_onFirstActivate;
    std::function<void()> m_onUnload;
    bool m_activated = false;
    int m_resizeDepth = 0;
    PixelRect m_gameArea {};
    QPoint m_windowedPosition;
    // The frame around the inner area: asked for before mapping, or else learnt after.
    FrameExtents m_frame;
    bool m_frameless = false;
    SizeAnswers m_sizeAnswers;
    bool m_keepAnswer = false;
};

} // namespace miradel
