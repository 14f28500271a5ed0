// SPDX-License-Identifier: MIT
#pragma once

#include "web/PageDom.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace miradel {

// A document that keeps what the page did to it, and answers as a browser would: hiding the
// element that has the keyboard leaves the keyboard on the page.
class FakeDom final : public PageDom {
public:
    void SetText(PageElement element, TextView text) override { texts[element] = Text(text); }
    void SetVisible(PageElement element, bool shown) override
    {
        if (shown)
            visible.insert(element);
        else
            visible.erase(element);
        if (!shown && focus == element)
            focus.reset();
    }
    void Place(PageElement element, const PixelRect& rect) override { places[element] = rect; }
    void SetFontSize(PageElement element, float points) override { fontSizes[element] = points; }
    void SetColors(PageElement, PackedColor, PackedColor, bool) override { }
    void SetAccessibleName(PageElement, TextView) override { }
    void PlaceWindow(const PixelRect& rect, PackedColor) override { window = rect; }
    void SetSceneName(TextView name) override { scene = Text(name); }
    std::optional<PageElement> Focused() const override { return focus; }
    void Focus(std::optional<PageElement> element) override { focus = element; }
    void ClearPicture(PackedColor) override { }
    bool LoadPictureBuffer(const std::string& key) override { return decodedPictures.contains(key); }
    void PaintPicture() override { }
    void SetPacingTimer(bool on, int) override { pacing = on; }
    void ArmMusicWatch(double afterMilliseconds) override { watch = afterMilliseconds; }
    void Fetch(int request, FileKind kind, const std::string& key, const FileSource& source) override
    {
        requests[request] = { kind, key, source };
    }
    void MusicPlay(int request, bool fromStart) override { Music(fromStart ? "play from 0 " : "play ", request); }
    void MusicStop(int request) override { Music("stop ", request); }
    void MusicRelease(int request) override { Music("release ", request); }
    void ShowFatal(const std::string& text) override { fatal = text; }
    BacklogLines BacklogPosition() const override { return backlog; }
    void ShowBacklogFrom(int firstLine) override { backlog.first = firstLine; }
    void SetSkipTimer(bool on, int interval) override { skipInterval = on ? interval : 0; }
    void RequestFullScreen(bool on) override { fullScreenAsked.push_back(on); }

    bool Shown(PageElement element) const { return visible.contains(element); }
    // The requests asked for and not yet answered, of one kind.
    std::vector<int> Pending(FileKind kind) const
    {
        std::vector<int> pending;
        for (const auto& [request, wanted] : requests)
            if (wanted.kind == kind && !answered.contains(request))
                pending.push_back(request);
        return pending;
    }
    void Music(const char* call, int request) { musicCalls.push_back(call + std::to_string(request)); }

    struct Request {
        FileKind kind;
        std::string key;
        FileSource source;
    };
    std::map<int, Request> requests;
    std::set<int> answered;
    std::map<PageElement, Text> texts;
    std::set<PageElement> visible;
    std::map<PageElement, PixelRect> places;
    std::map<PageElement, float> fontSizes;
    PixelRect window {};
    Text scene;
    std::optional<PageElement> focus;
    std::set<std::string> decodedPictures;
    bool pacing = false;
    double watch = -1;
    std::vector<std::string> musicCalls;
    std::string fatal;
    // The backlog's wrapped text: lines as the test says the browser laid them out.
    BacklogLines backlog { 0, 0, 4 };
    int skipInterval = 0;
    std::vector<bool> fullScreenAsked;
};

} // namespace miradel
