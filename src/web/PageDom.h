// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Colors.h"
#include "platform/Layout.h"
#include "platform/Text.h"

#include <optional>
#include <string>
#include <vector>

namespace miradel {

// The page's elements that stand for the window's controls, in the page's tab order after the
// message area: the choices `Com(0)` to `Com(2)`, the next-day button, the fourth choice. The
// backlog lies over the message area while it is open and never takes the keyboard.
enum class PageElement { Choice0, Choice1, Choice2, Choice3, NextDay, Message, Day, Picture, Backlog };

// The backlog's text as the browser has wrapped it, in lines: the first on show, the last
// that can be first, and how many one screenful shows.
struct BacklogLines {
    int first = 0;
    int lastFirst = 0;
    int perPage = 1;
};

// What a fetched file is for: a scene's bytes, a picture that the browser decodes and keeps,
// or the music.
enum class FileKind { Scene, Picture, Music };

// Where a file of the game comes from: a list of addresses on the server to try in turn (the
// first that answers wins), or one file of the folder that the player picked.
struct FileSource {
    std::vector<std::string> addresses;
    int pickedIndex = -1;
};

// How a file came back: found, not there, there but not to be read, or (a picture) read but
// not decodable.
enum class FileAnswer { Found, Missing, Unreadable, Broken };

// Everything the page's C++ does to the browser: the document, its timers, fetching, the
// picture canvas and Web Audio. The browser implements it in JavaScript; tests fake it.
class PageDom {
public:
    virtual ~PageDom() = default;

    // The controls.
    virtual void SetText(PageElement element, TextView text) = 0;
    virtual void SetVisible(PageElement element, bool visible) = 0;
    virtual void Place(PageElement element, const PixelRect& rect) = 0;
    virtual void SetFontSize(PageElement element, float points) = 0;
    virtual void SetColors(PageElement element, PackedColor fore, PackedColor back, bool transparent) = 0;
    virtual void SetAccessibleName(PageElement element, TextView name) = 0;
    // The window's inner area in the page, and its back colour.
    virtual void PlaceWindow(const PixelRect& rect, PackedColor back) = 0;
    // The name of the scene file last opened, for whoever watches the page.
    virtual void SetSceneName(TextView name) = 0;

    // The keyboard: which control has it (none: it rests on the page), and moving it.
    virtual std::optional<PageElement> Focused() const = 0;
    virtual void Focus(std::optional<PageElement> element) = 0;

    // The picture area: cleared to a colour; the hidden buffer loaded with a picture that the
    // browser has decoded already (false if it has none of that name); the buffer painted
    // stretched over the whole area.
    virtual void ClearPicture(PackedColor back) = 0;
    virtual bool LoadPictureBuffer(const std::string& key) = 0;
    virtual void PaintPicture() = 0;

    // Timers: the pacing timer ticks every `interval` ms while on; the music watch ticks once,
    // `afterMilliseconds` from now, or never when negative (a new call replaces the last).
    virtual void SetPacingTimer(bool on, int interval) = 0;
    virtual void ArmMusicWatch(double afterMilliseconds) = 0;

    // Asks for a file; the answer comes back through the page's FileArrived or PictureArrived
    // with the same `request`.
    virtual void Fetch(int request, FileKind kind, const std::string& key, const FileSource& source) = 0;

    // The music, a file fetched with FileKind::Music under `request`: playing it from where it
    // is, to its end (which the page hears of through MusicEnded), stopping it and going back
    // to its start, and letting it go.
    virtual void MusicPlay(int request, bool fromStart) = 0;
    virtual void MusicStop(int request) = 0;
    virtual void MusicRelease(int request) = 0;

    // The backlog element's scrolling, by whole lines.
    virtual BacklogLines BacklogPosition() const = 0;
    virtual void ShowBacklogFrom(int firstLine) = 0;

    // Skipping's frames: a tick every `interval` ms while on.
    virtual void SetSkipTimer(bool on, int interval) = 0;
    // Asks the browser to show the document full screen, or to leave it; the page hears
    // whether it did through FullScreenChanged. Only a key press or click may ask.
    virtual void RequestFullScreen(bool on) = 0;

    // A fatal error: the message inside the page; nothing of the game runs any more.
    virtual void ShowFatal(const std::string& text) = 0;
};

inline constexpr int kChoiceCount = 4;

inline PageElement ChoiceElement(int index)
{
    return static_cast<PageElement>(index);
}

} // namespace miradel
