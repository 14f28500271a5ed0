// SPDX-License-Identifier: MIT
#include "web/WebPage.h"

#include "game/SceneNames.h"
#include "game/Shutdown.h"
#include "music/MusicProcedures.h"
#include "platform/Colors.h"

#include <chrono>
#include <cstdio>

namespace miradel {

// Platform default text colour of a button.
static constexpr PackedColor kButtonText = 0x000000;

WebPage::WebPage(PageDom& dom, GameLocation location, std::unique_ptr<RandomSource> random)
    : m_dom(dom)
    , m_random(std::move(random))
    , m_content(dom, std::move(location))
    , m_view(dom, m_content)
    , m_game(m_view, m_content, *m_random)
    , m_music(dom,
          [this](const std::string& path) {
              const int request = m_nextMusicRequest++;
              m_dom.Fetch(request, FileKind::Music, path, m_content.Location().SourceOf(path));
              return request;
          })
    , m_skip([this] { return Skip::OfferFor(m_backlogOpen, m_view.Shown(PageElement::Message)); },
          [this] { m_game.Lbl_Click(); })
{
    UseMediaControl(m_music);
    UseMusicWatchTimer([this](MediaControl::Clock::time_point at) {
        if (at == MediaControl::Clock::time_point::max()) {
            m_dom.ArmMusicWatch(-1);
        } else if (at == MediaControl::Clock::time_point::min()) {
            // The watch's interval, 1 ms: as soon as the browser's timers allow.
            m_dom.ArmMusicWatch(1);
        } else {
            const auto wait = std::chrono::duration<double, std::milli>(at - MediaControl::Clock::now()).count();
            m_dom.ArmMusicWatch(wait < 1 ? 1 : wait);
        }
    });
}

WebPage::~WebPage()
{
    m_dom.SetPacingTimer(false, 0);
    m_dom.SetSkipTimer(false, 0);
    CloseSceneAndMusic(m_game.player);
    StopUsingMediaControl(m_music);
    UseMusicWatchTimer(nullptr);
    m_dom.ArmMusicWatch(-1);
}

template <typename Handler> void WebPage::Run(Handler&& handler)
{
    if (m_stopped || !m_started)
        return;
    try {
        handler();
    } catch (const std::exception&) {
        Fatal(CaughtAsRuntimeError());
    }
    m_view.Flush();
}

void WebPage::Fatal(const RuntimeError& error)
{
    m_stopped = true;
    std::fprintf(stderr, "miradel: %s\n", error.Report().c_str());
    if (!error.English().empty())
        std::fprintf(stderr, "miradel: %s\n", error.EnglishReport().c_str());
    m_view.Flush();
    m_dom.SetPacingTimer(false, 0);
    m_dom.SetSkipTimer(false, 0);
    m_dom.ArmMusicWatch(-1);
    try {
        共用関数::CloseMusic();
    } catch (...) {
    }
    m_dom.ShowFatal(FatalErrorText(error, m_content.Location().FolderName()));
}

void WebPage::Start(int viewportWidth, int viewportHeight)
{
    // The captions the controls are created with.
    m_dom.SetText(PageElement::Message, u"Label1");
    m_dom.SetText(PageElement::Day, u"Label2");
    for (int i = 0; i < kChoiceCount; ++i)
        m_dom.SetText(ChoiceElement(i), kChoiceCaptions[static_cast<std::size_t>(i)]);
    m_dom.SetText(PageElement::NextDay, u"次の日");
    m_viewportWidth = viewportWidth;
    m_viewportHeight = viewportHeight;
    m_content.Load([this] {
        m_started = true;
        Run([this] {
            Form_Load();
            LayOut();
            Form_Activate();
        });
    });
}

void WebPage::Form_Load()
{
    共用関数::OpenMusic(TextFromUtf8(ContentPath(u"", u"bgm", u".wav")));
    共用関数::musicOn = true;
    共用関数::PlayMusic();
    // The random source was seeded when it was made, once for the run.
}

void WebPage::Form_Activate()
{
    m_game.NewGame();
}

void WebPage::Form_Resize(int viewportWidth, int viewportHeight)
{
    m_viewportWidth = viewportWidth;
    m_viewportHeight = viewportHeight;
    Run([this] { LayOut(); });
}

void WebPage::LayOut()
{
    m_layout = LayOutPage(m_viewportWidth, m_viewportHeight, m_fullScreen);
    const PageLayout& layout = m_layout;
    const PackedColor back = kWhite;
    m_dom.PlaceWindow(layout.window, back);
    const float base = layout.baseFontSize;

    m_dom.SetFontSize(PageElement::Message, base);
    m_dom.SetColors(PageElement::Message, kRed, back, true);
    m_dom.Place(PageElement::Message, layout.message);

    for (int i = 0; i < kChoiceCount; ++i) {
        m_dom.SetFontSize(ChoiceElement(i), base);
        m_dom.Place(ChoiceElement(i), layout.choices[static_cast<std::size_t>(i)]);
        m_dom.SetColors(ChoiceElement(i), kButtonText, back, false);
    }

    m_dom.SetFontSize(PageElement::NextDay, 2 * base);
    m_dom.Place(PageElement::NextDay, layout.nextDay);
    m_dom.SetColors(PageElement::NextDay, kButtonText, back, false);

    m_view.SetShown(PageElement::Day, true);
    m_dom.Place(PageElement::Day, layout.day);
    m_dom.SetColors(PageElement::Day, back, kRed, false);
    m_dom.SetFontSize(PageElement::Day, 4 * base);

    m_view.SetShown(PageElement::Picture, true);
    m_dom.Place(PageElement::Picture, layout.picture);
    m_dom.SetColors(PageElement::Picture, kButtonText, back, false);
    if (m_backlogOpen)
        PlaceBacklog();
}

void WebPage::Lbl_Click()
{
    Run([this] { m_game.Lbl_Click(); });
}

void WebPage::TimSay_Timer()
{
    Run([this] {
        // A tick that the browser had queued before the timer was switched off is no tick;
        // while the backlog is open the page waits (no step, no blink) and the ticks are lost.
        if (m_view.Pacing() && !m_backlogOpen)
            m_game.TimSay_Timer();
    });
}

void WebPage::BgmTim_Timer()
{
    Run([] { miradel::BgmTim_Timer(); });
}

void WebPage::ComGame_Click()
{
    Run([this] { m_game.ComGame_Click(); });
}

void WebPage::Com_Click(int Index)
{
    Run([this, Index] { m_game.Com_Click(Index); });
}

static ReadingKey ReadingKeyOf(const std::string& key)
{
    if (key == "Control")
        return ReadingKey::Control;
    if (key == "s" || key == "S")
        return ReadingKey::S;
    if (key == "PageUp")
        return ReadingKey::PageUp;
    if (key == "PageDown")
        return ReadingKey::PageDown;
    if (key == "ArrowUp" || key == "Up")
        return ReadingKey::Up;
    if (key == "ArrowDown" || key == "Down")
        return ReadingKey::Down;
    if (key == "Escape" || key == "Esc")
        return ReadingKey::Escape;
    if (key == "Enter")
        return ReadingKey::Enter;
    if (key == " " || key == "Spacebar")
        return ReadingKey::Space;
    if (key == "F11")
        return ReadingKey::F11;
    return ReadingKey::Other;
}

KeyAnswer WebPage::KeyDown(const std::string& key, bool repeat, KeyModifiers modifiers)
{
    using Action = KeyAnswer::Action;
    if (m_stopped || !m_started)
        return { Action::Pass };
    switch (AnswerReadingKey(ReadingKeyOf(key), modifiers, repeat, m_backlogOpen, m_fullScreen)) {
    case ReadingAction::Pass:
        break;
    case ReadingAction::Swallow:
        return { Action::Swallow };
    case ReadingAction::HoldSkip:
        SetSkipHeld(true);
        return { Action::Pass };
    case ReadingAction::ToggleSkip:
        SkipToggled();
        return { Action::Swallow };
    case ReadingAction::ToggleFullScreen:
        ToggleFullScreen();
        return { Action::Swallow };
    case ReadingAction::OpenBacklog:
        OpenBacklog(Scrolling::Page);
        return { Action::Swallow };
    case ReadingAction::CloseBacklog:
        CloseBacklog();
        m_swallowKeyRelease = key;
        return { Action::Swallow };
    case ReadingAction::PageBack:
        ScrollBacklog(-m_dom.BacklogPosition().perPage);
        return { Action::Swallow };
    case ReadingAction::PageOn:
        ScrollBacklog(m_dom.BacklogPosition().perPage);
        return { Action::Swallow };
    case ReadingAction::LineBack:
        ScrollBacklog(-1);
        return { Action::Swallow };
    case ReadingAction::LineOn:
        ScrollBacklog(1);
        return { Action::Swallow };
    }
    // The browser's own shortcuts stay the browser's.
    if (modifiers.control || modifiers.alt || modifiers.meta)
        return { Action::Pass };
    const KeyAnswer answer
        = AnswerKey(key, repeat, m_dom.Focused(), m_view.ButtonsShown(), m_view.Shown(PageElement::Message));
    if (answer.action == Action::ClickMessage)
        Lbl_Click();
    else if (answer.action == Action::MoveFocus)
        m_dom.Focus(answer.moveTo);
    return answer;
}

bool WebPage::KeyUp(const std::string& key)
{
    if (key == "Control")
        SetSkipHeld(false);
    if (!m_swallowKeyRelease.empty() && key == m_swallowKeyRelease) {
        m_swallowKeyRelease.clear();
        return true;
    }
    return m_backlogOpen;
}

void WebPage::FocusLost()
{
    SetSkipHeld(false);
}

bool WebPage::Wheel(int angleDelta, bool overMessage)
{
    if (m_stopped || !m_started)
        return false;
    if (m_backlogOpen || (angleDelta > 0 && overMessage)) {
        m_wheelTowardsReader = 0;
        const int notches = m_backlogWheel.Add(angleDelta);
        for (int notch = 0; notch < notches; ++notch)
            OpenBacklog(Scrolling::Notch);
        for (int notch = 0; notch > notches && m_backlogOpen; --notch)
            ScrollBacklog(kBacklogLinesPerNotch);
        return true;
    }
    if (!overMessage)
        return false;
    // A touchpad's many small steps add up to notches.
    m_wheelTowardsReader -= angleDelta;
    for (; m_wheelTowardsReader >= kWheelNotch && !m_stopped; m_wheelTowardsReader -= kWheelNotch)
        Lbl_Click();
    return true;
}

bool WebPage::GameClicked()
{
    if (!m_backlogOpen)
        return false;
    CloseBacklog();
    return true;
}

void WebPage::SetSkipHeld(bool held)
{
    if (held == m_skip.Held())
        return;
    m_skip.SetHeld(held);
    RunSkipFrames();
}

void WebPage::SkipToggled()
{
    m_skip.Toggle();
    RunSkipFrames();
}

void WebPage::RunSkipFrames()
{
    m_dom.SetSkipTimer(m_skip.Active() && !m_stopped, kSkipFrameInterval);
}

void WebPage::SkipFrame()
{
    Run([this] { m_skip.Frame(); });
    RunSkipFrames();
}

void WebPage::ToggleFullScreen()
{
    // The backlog lies over the message area where it was; the new layout moves the area.
    CloseBacklog();
    m_dom.RequestFullScreen(!m_fullScreen);
}

void WebPage::FullScreenChanged(bool fullScreen, int viewportWidth, int viewportHeight)
{
    m_fullScreen = fullScreen;
    Form_Resize(viewportWidth, viewportHeight);
}

void WebPage::OpenBacklog(Scrolling back)
{
    if (!m_backlogOpen) {
        // At the buttons the scene is over and its last page already kept.
        const Text current = m_view.Shown(PageElement::Message) ? m_view.Message() : Text();
        m_dom.SetText(PageElement::Backlog, m_view.History().History(current));
        PlaceBacklog();
        m_dom.SetVisible(PageElement::Backlog, true);
        m_backlogOpen = true;
        // The newest line at the bottom.
        m_dom.ShowBacklogFrom(m_dom.BacklogPosition().lastFirst);
    }
    ScrollBacklog(back == Scrolling::Page ? -m_dom.BacklogPosition().perPage : -kBacklogLinesPerNotch);
}

void WebPage::PlaceBacklog()
{
    // Over the message area, in its font and colours on the window's back colour.
    m_dom.Place(PageElement::Backlog, m_layout.message);
    m_dom.SetFontSize(PageElement::Backlog, m_layout.baseFontSize);
    m_dom.SetColors(PageElement::Backlog, kRed, kWhite, false);
}

void WebPage::ScrollBacklog(int lines)
{
    const BacklogLines position = m_dom.BacklogPosition();
    const std::optional<int> first = BacklogScrolled(position.first, position.lastFirst, lines);
    if (first)
        m_dom.ShowBacklogFrom(*first);
    else
        CloseBacklog();
}

void WebPage::CloseBacklog()
{
    m_backlogWheel.Reset();
    if (!m_backlogOpen)
        return;
    m_backlogOpen = false;
    m_dom.SetVisible(PageElement::Backlog, false);
    m_dom.SetText(PageElement::Backlog, u"");
}

void WebPage::FileArrived(int request, FileAnswer answer, std::string bytes)
{
    if (m_music.Owns(request)) {
        if (answer != FileAnswer::Found)
            m_music.FileFailed(request);
        return;
    }
    if (m_started)
        return;
    m_content.FileArrived(request, answer, std::move(bytes));
}

void WebPage::MusicEnded(int request)
{
    m_music.MusicEnded(request);
    BgmTim_Timer();
}

} // namespace miradel
