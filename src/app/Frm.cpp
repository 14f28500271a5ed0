// SPDX-License-Identifier: MIT
#include "app/Frm.h"

#include "app/PlayerKeys.h"
#include "game/SceneNames.h"
#include "game/Shutdown.h"
#include "music/MusicProcedures.h"
#include "platform/ContentFiles.h"
#include "platform/FatalError.h"
#include "platform/Layout.h"
#include "reading/FullScreenLayout.h"

#include <QWidget>

namespace miradel {

static constexpr int kPacingInterval = 100;
static constexpr int kMusicWatchInterval = 1;

Frm::Frm(Text programFolder, RandomSource& random)
    : Lbl(frm, u"Label1", TextAlignment::Left)
    , LblDay(frm, u"Label2", TextAlignment::Center)
    , Pic(frm)
    , E(frm)
    , Com(frm, kChoiceCaptions)
    , ComGame(frm, u"次の日")
    , TimSay(kPacingInterval, false)
    , BgmTim(kMusicWatchInterval, true)
    , view({ Lbl, LblDay, Pic, E, Com, ComGame, TimSay }, imgDir, appDir)
    , scenes(txtDir, appDir)
    , game(view, scenes, random)
    , m_programFolder(std::move(programFolder))
{
    frm.SetTitle(u"Miradel");
    keys = std::make_unique<PlayerKeys>(*this);
    WireEvents();
    SetTabOrder();
}

Frm::~Frm()
{
    UseMusicWatchTimer(nullptr);
}

void Frm::WireEvents()
{
    frm.OnResize([this] { Form_Resize(); });
    frm.OnFirstActivate([this] { Form_Activate(); });
    frm.OnUnload([this] { Form_Unload(); });
    Lbl.OnClick([this] { Lbl_Click(); });
    TimSay.OnTick([this] { PacingTick(); });
    BgmTim.OnTick([this] { BgmTim_Timer(); });
    UseMusicWatchTimer([this](Timer::Clock::time_point at) { BgmTim.TickAt(at); });
    ComGame.OnClick([this] { ComGame_Click(); });
    Com.OnClick([this](int index) { Com_Click(index); });
}

void Frm::SetTabOrder()
{
    // Keyboard focus moves as on the original form: the choices, the day label, the
    // next-day button, the picture, the fourth choice. Labels and hidden controls are skipped.
    QWidget::setTabOrder(Lbl.Widget(), Com(0).Widget());
    QWidget::setTabOrder(Com(0).Widget(), Com(1).Widget());
    QWidget::setTabOrder(Com(1).Widget(), Com(2).Widget());
    QWidget::setTabOrder(Com(2).Widget(), ComGame.Widget());
    QWidget::setTabOrder(ComGame.Widget(), Com(3).Widget());
    // A choice never takes the keyboard by appearing: the key that read the last line must
    // not take a choice the player has not seen yet.
    for (int i = 0; i <= Com.UBound(); ++i)
        Com(i).SetKeyboardOnlyWhenMovedThere();
}

void Frm::PacingTick()
{
    if (!keys->PacingHeld())
        TimSay_Timer();
}

void Frm::Start()
{
    Form_Load();
    frm.Show();
}

void Frm::Form_Load()
{
    appDir = m_programFolder;
    if (appDir.empty() || appDir.back() != u'/')
        appDir += u'/';
    imgDir = appDir + u"img/";
    txtDir = appDir + u"txt/";
    SetReportedGameFolder(appDir);
    共用関数::OpenMusic(TextFromPath(LocateContentFile(appDir, u"bgm", u".wav", appDir).path));
    共用関数::musicOn = true;
    共用関数::PlayMusic();
    // The random source was seeded from the clock when it was made, once for the run.
}

void Frm::Form_Resize()
{
    // Minimised, the window has no size to lay out; restoring it lays it out again.
    if (frm.IsMinimized())
        return;
    if (frm.IsFullScreen()) {
        // The window's arithmetic, for the largest area of its proportions on the screen.
        const Window::PixelRect screen = frm.InnerPixels();
        frm.SetGameArea(FullScreenArea(screen.width, screen.height, frm.TwipsPerPixel()));
    } else {
        frm.SetWidthTwips(
            LayoutWidthFor(frm.ScreenHeightTwips(), frm.AvailableWidthTwips(), frm.AvailableHeightTwips()));
        frm.SetHeightTwips(LayoutHeightFor(frm.WidthTwips()));
    }
    frm.SetUserScale(kLayoutScale);
    frm.SetBackColor(kWhite);
    const float base = BaseFontSizeFor(frm.HeightTwips());

    Lbl.SetFontSize(base);
    Lbl.SetTransparent(true);
    Lbl.SetForeColor(kRed);
    Lbl.Move(kMessageArea.left, kMessageArea.top, kMessageArea.width, kMessageArea.height);

    for (int i = 0; i <= Com.UBound(); ++i) {
        Com(i).SetFontSize(base);
        const LayoutRect place = ChoiceButtonRect(i);
        Com(i).Move(place.left, place.top, place.width, place.height);
        Com(i).SetBackColor(frm.BackColor());
    }

    ComGame.SetFontSize(2 * base);
    ComGame.Move(kNextDayButton.left, kNextDayButton.top, kNextDayButton.width, kNextDayButton.height);
    ComGame.SetBackColor(frm.BackColor());

    LblDay.SetVisible(true);
    LblDay.Move(kDayLabel.left, kDayLabel.top, kDayLabel.width, kDayLabel.height);
    LblDay.SetBackColor(Lbl.ForeColor());
    LblDay.SetForeColor(frm.BackColor());
    LblDay.SetFontSize(4 * base);

    Pic.SetVisible(true);
    Pic.Move(kPictureArea.left, kPictureArea.top, kPictureArea.width, kPictureArea.height);
    Pic.SetBackColor(frm.BackColor());

    E.SetVisible(false);
    view.FitPictureToArea();
}

void Frm::BgmTim_Timer()
{
    miradel::BgmTim_Timer();
}

void Frm::Form_Unload()
{
    Timer::StopAll();
    CloseSceneAndMusic(game.player);
    EndProgram(0);
}

} // namespace miradel
