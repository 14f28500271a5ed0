// SPDX-License-Identifier: MIT
#include "web/BrowserDom.h"

#include <emscripten.h>

// Thin calls into page.js; texts go as UTF-8 (pointer and length) or as UTF-16 (for the
// game's text, which may hold any character).

// clang-format off
EM_JS(void, JsSetText, (int element, const char16_t* text, int length), {
    MiradelPage.setText(element, MiradelPage.utf16(text, length));
});
EM_JS(void, JsSetVisible, (int element, int visible), { MiradelPage.setVisible(element, !!visible); });
EM_JS(void, JsPlace, (int element, int x, int y, int width, int height), {
    MiradelPage.place(element, x, y, width, height);
});
EM_JS(void, JsSetFontSize, (int element, double points), { MiradelPage.setFontSize(element, points); });
EM_JS(void, JsSetColors, (int element, int fore, int back, int transparent), {
    MiradelPage.setColors(element, fore, back, !!transparent);
});
EM_JS(void, JsSetAccessibleName, (int element, const char16_t* text, int length), {
    MiradelPage.setAccessibleName(element, MiradelPage.utf16(text, length));
});
EM_JS(void, JsPlaceWindow, (int x, int y, int width, int height, int back), {
    MiradelPage.placeWindow(x, y, width, height, back);
});
EM_JS(void, JsSetSceneName, (const char16_t* text, int length), {
    MiradelPage.setSceneName(MiradelPage.utf16(text, length));
});
EM_JS(int, JsFocused, (), { return MiradelPage.focused(); });
EM_JS(void, JsFocus, (int element), { MiradelPage.focus(element); });
EM_JS(void, JsClearPicture, (int back), { MiradelPage.clearPicture(back); });
EM_JS(int, JsLoadPictureBuffer, (const char* key, int length), {
    return MiradelPage.loadPictureBuffer(UTF8ToString(key, length)) ? 1 : 0;
});
EM_JS(void, JsPaintPicture, (), { MiradelPage.paintPicture(); });
EM_JS(void, JsSetPacingTimer, (int on, int interval), { MiradelPage.setPacingTimer(!!on, interval); });
EM_JS(void, JsArmMusicWatch, (double after), { MiradelPage.armMusicWatch(after); });
EM_JS(void, JsFetch, (int request, int kind, const char* key, int keyLength, const char* addresses, int addressesLength, int pickedIndex), {
    MiradelPage.fetchFile(request, kind, UTF8ToString(key, keyLength),
        addressesLength > 0 ? UTF8ToString(addresses, addressesLength).split("\n") : [], pickedIndex);
});
EM_JS(void, JsMusicPlay, (int request, int fromStart), { MiradelPage.musicPlay(request, !!fromStart); });
EM_JS(void, JsMusicStop, (int request), { MiradelPage.musicStop(request); });
EM_JS(void, JsMusicRelease, (int request), { MiradelPage.musicRelease(request); });
EM_JS(void, JsShowFatal, (const char* text, int length), { MiradelPage.showFatal(UTF8ToString(text, length)); });
EM_JS(int, JsBacklogLines, (int which), { return MiradelPage.backlogLines()[which]; });
EM_JS(void, JsShowBacklogFrom, (int first), { MiradelPage.showBacklogFrom(first); });
EM_JS(void, JsSetSkipTimer, (int on, int interval), { MiradelPage.setSkipTimer(!!on, interval); });
EM_JS(void, JsRequestFullScreen, (int on), { MiradelPage.requestFullScreen(!!on); });
// clang-format on

namespace miradel {

static int Id(PageElement element)
{
    return static_cast<int>(element);
}

void BrowserDom::SetText(PageElement element, TextView text)
{
    JsSetText(Id(element), text.data(), static_cast<int>(text.size()));
}

void BrowserDom::SetVisible(PageElement element, bool visible)
{
    JsSetVisible(Id(element), visible);
}

void BrowserDom::Place(PageElement element, const PixelRect& rect)
{
    JsPlace(Id(element), rect.x, rect.y, rect.width, rect.height);
}

void BrowserDom::SetFontSize(PageElement element, float points)
{
    JsSetFontSize(Id(element), points);
}

void BrowserDom::SetColors(PageElement element, PackedColor fore, PackedColor back, bool transparent)
{
    JsSetColors(Id(element), static_cast<int>(fore), static_cast<int>(back), transparent);
}

void BrowserDom::SetAccessibleName(PageElement element, TextView name)
{
    JsSetAccessibleName(Id(element), name.data(), static_cast<int>(name.size()));
}

void BrowserDom::PlaceWindow(const PixelRect& rect, PackedColor back)
{
    JsPlaceWindow(rect.x, rect.y, rect.width, rect.height, static_cast<int>(back));
}

void BrowserDom::SetSceneName(TextView name)
{
    JsSetSceneName(name.data(), static_cast<int>(name.size()));
}

std::optional<PageElement> BrowserDom::Focused() const
{
    const int element = JsFocused();
    if (element < 0)
        return std::nullopt;
    return static_cast<PageElement>(element);
}

void BrowserDom::Focus(std::optional<PageElement> element)
{
    JsFocus(element ? Id(*element) : -1);
}

void BrowserDom::ClearPicture(PackedColor back)
{
    JsClearPicture(static_cast<int>(back));
}

bool BrowserDom::LoadPictureBuffer(const std::string& key)
{
    return JsLoadPictureBuffer(key.data(), static_cast<int>(key.size())) != 0;
}

void BrowserDom::PaintPicture()
{
    JsPaintPicture();
}

void BrowserDom::SetPacingTimer(bool on, int interval)
{
    JsSetPacingTimer(on, interval);
}

void BrowserDom::ArmMusicWatch(double afterMilliseconds)
{
    JsArmMusicWatch(afterMilliseconds);
}

void BrowserDom::Fetch(int request, FileKind kind, const std::string& key, const FileSource& source)
{
    std::string addresses;
    for (const std::string& address : source.addresses)
        addresses += (addresses.empty() ? "" : "\n") + address;
    JsFetch(request, static_cast<int>(kind), key.data(), static_cast<int>(key.size()), addresses.data(),
        static_cast<int>(addresses.size()), source.pickedIndex);
}

void BrowserDom::MusicPlay(int request, bool fromStart)
{
    JsMusicPlay(request, fromStart);
}

void BrowserDom::MusicStop(int request)
{
    JsMusicStop(request);
}

void BrowserDom::MusicRelease(int request)
{
    JsMusicRelease(request);
}

void BrowserDom::ShowFatal(const std::string& text)
{
    JsShowFatal(text.data(), static_cast<int>(text.size()));
}

BacklogLines BrowserDom::BacklogPosition() const
{
    return { JsBacklogLines(0), JsBacklogLines(1), JsBacklogLines(2) };
}

void BrowserDom::ShowBacklogFrom(int firstLine)
{
    JsShowBacklogFrom(firstLine);
}

void BrowserDom::SetSkipTimer(bool on, int interval)
{
    JsSetSkipTimer(on, interval);
}

void BrowserDom::RequestFullScreen(bool on)
{
    JsRequestFullScreen(on);
}

} // namespace miradel
