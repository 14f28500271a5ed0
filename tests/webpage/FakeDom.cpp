// SPDX-License-Identifier: MIT
#include "FakeDom.h"

namespace miradel {

void FakeDom::SetVisible(PageElement element, bool shown)
{
    if (shown) {
        visible.insert(element);
        return;
    }
    visible.erase(element);
    if (focus == element)
        focus.reset();
}

bool FakeDom::LoadPictureBuffer(const std::string& key)
{
    if (!decodedPictures.contains(key))
        return false;
    buffer = key;
    return true;
}

void FakeDom::Fetch(int request, FileKind kind, const std::string& key, const FileSource& source)
{
    requests[request] = { kind, key, source };
}

void FakeDom::MusicPlay(int request, bool fromStart)
{
    musicCalls.push_back((fromStart ? "play from 0 " : "play ") + std::to_string(request));
}

std::vector<int> FakeDom::Pending(FileKind kind) const
{
    std::vector<int> pending;
    for (const auto& [request, wanted] : requests) {
        if (wanted.kind == kind && !answered.contains(request))
            pending.push_back(request);
    }
    return pending;
}

} // namespace miradel
