// SPDX-License-Identifier: MIT
#pragma once

#include "web/PageDom.h"

namespace miradel {

// The page's document, timers, fetching, canvas and Web Audio, through the JavaScript of
// page.js (the object MiradelPage).
class BrowserDom final : public PageDom {
public:
    void SetText(PageElement element, TextView text) override;
    void SetVisible(PageElement element, bool visible) override;
    void Place(PageElement element, const PixelRect& rect) override;
    void SetFontSize(PageElement element, float points) override;
    void SetColors(PageElement element, PackedColor fore, PackedColor back, bool transparent) override;
    void SetAccessibleName(PageElement element, TextView name) override;
    void PlaceWindow(const PixelRect& rect, PackedColor back) override;
    void SetSceneName(TextView name) override;
    std::optional<PageElement> Focused() const override;
    void Focus(std::optional<PageElement> element) override;
    void ClearPicture(PackedColor back) override;
    bool LoadPictureBuffer(const std::string& key) override;
    void PaintPicture() override;
    void SetPacingTimer(bool on, int interval) override;
    void ArmMusicWatch(double afterMilliseconds) override;
    void Fetch(int request, FileKind kind, const std::string& key, const FileSource& source) override;
    void MusicPlay(int request, bool fromStart) override;
    void MusicStop(int request) override;
    void MusicRelease(int request) override;
    void ShowFatal(const std::string& text) override;
    BacklogLines BacklogPosition() const override;
    void ShowBacklogFrom(int firstLine) override;
    void SetSkipTimer(bool on, int interval) override;
    void RequestFullScreen(bool on) override;
};

} // namespace miradel
