// SPDX-License-Identifier: MIT
#include "web/PageContent.h"

#include "game/SceneNames.h"
#include "platform/PathComponents.h"
#include "platform/RuntimeError.h"
#include "platform/TextFiles.h"
#include "scenario/LineKind.h"

#include <algorithm>
#include <utility>

namespace miradel {

namespace {

std::string Joined(const std::vector<std::string>& parts, std::size_t from = 0)
{
    std::string path;
    for (std::size_t i = from; i < parts.size(); ++i)
        path += (i == from ? "" : "/") + parts[i];
    return path;
}

std::string AsciiCase(std::string text, bool upper)
{
    for (char& c : text) {
        if (upper && c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (!upper && c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

} // namespace

std::string ContentPath(TextView folder, TextView name, TextView extension)
{
    return Joined(PathComponents<char>(TextToUtf8(Text(folder) + Text(name) + Text(extension))));
}

std::string FoldCase(const std::string& utf8)
{
    Text text = TextFromUtf8(utf8);
    for (char16_t& c : text) {
        if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
            c = static_cast<char16_t>(c + 0x20);
        else if (c >= 0xFF21 && c <= 0xFF3A) // full-width A to Z
            c = static_cast<char16_t>(c + 0x20);
    }
    return TextToUtf8(text);
}

std::vector<std::string> ServerCandidates(const std::string& relativePath)
{
    const std::size_t slash = relativePath.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : relativePath.substr(0, slash + 1);
    const std::string file = slash == std::string::npos ? relativePath : relativePath.substr(slash + 1);
    const std::string folders[] = { folder, AsciiCase(folder, false), AsciiCase(folder, true) };
    const std::string files[] = { file, AsciiCase(file, false), AsciiCase(file, true) };
    // As written; all in one case; then folders and file name each in their own.
    constexpr std::pair<int, int> kOrder[]
        = { { 0, 0 }, { 1, 1 }, { 2, 2 }, { 0, 1 }, { 0, 2 }, { 1, 0 }, { 2, 0 }, { 1, 2 }, { 2, 1 } };
    std::vector<std::string> candidates;
    for (const auto& [f, n] : kOrder) {
        std::string candidate = folders[f] + files[n];
        if (std::find(candidates.begin(), candidates.end(), candidate) == candidates.end())
            candidates.push_back(std::move(candidate));
    }
    return candidates;
}

GameLocation GameLocation::OnServer(std::string folder)
{
    GameLocation location;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    location.m_serverFolder = folder;
    location.m_folderName = folder;
    return location;
}

GameLocation GameLocation::Picked(std::vector<std::string> paths)
{
    GameLocation location;
    location.m_picked = true;
    location.m_pickedPaths = std::move(paths);
    // The game folder is where the opening scene lies: the picked folder, or the highest
    // folder inside it that holds one (a player may pick the folder around the game).
    const std::string opening = FoldCase(ContentPath(u"txt/", u"opn", u".dat"));
    std::size_t bestDepth = std::string::npos;
    for (const std::string& path : location.m_pickedPaths) {
        const std::vector<std::string> parts = PathComponents<char>(path);
        const std::string folded = FoldCase(Joined(parts));
        if (folded.size() < opening.size()
            || folded.compare(folded.size() - opening.size(), opening.size(), opening) != 0)
            continue;
        const std::string prefix = folded.substr(0, folded.size() - opening.size());
        if (!prefix.empty() && prefix.back() != '/')
            continue;
        if (parts.size() < bestDepth) {
            bestDepth = parts.size();
            location.m_pickedRoot = Joined(parts).substr(0, prefix.size());
        }
    }
    if (bestDepth == std::string::npos && !location.m_pickedPaths.empty()) {
        const std::vector<std::string> parts = PathComponents<char>(location.m_pickedPaths.front());
        location.m_pickedRoot = parts.size() > 1 ? parts.front() + "/" : std::string();
    }
    location.m_folderName = location.m_pickedRoot;
    return location;
}

FileSource GameLocation::SourceOf(const std::string& relativePath) const
{
    FileSource source;
    if (!m_picked) {
        for (const std::string& candidate : ServerCandidates(relativePath))
            source.addresses.push_back(m_serverFolder + candidate);
        return source;
    }
    const std::string wanted = m_pickedRoot + relativePath;
    const std::string foldedWanted = FoldCase(wanted);
    int ignoringCase = -1;
    int ignoringCaseCount = 0;
    for (std::size_t i = 0; i < m_pickedPaths.size(); ++i) {
        const std::string path = Joined(PathComponents<char>(m_pickedPaths[i]));
        if (path == wanted) {
            source.pickedIndex = static_cast<int>(i);
            return source;
        }
        if (FoldCase(path) == foldedWanted) {
            ignoringCase = static_cast<int>(i);
            ++ignoringCaseCount;
        }
    }
    // Two files that differ only in case: which one the author meant cannot be told.
    if (ignoringCaseCount == 1)
        source.pickedIndex = ignoringCase;
    return source;
}

PageContent::PageContent(PageDom& dom, GameLocation location)
    : m_dom(dom)
    , m_location(std::move(location))
{
}

void PageContent::Ask(FileKind kind, const std::string& path, TextView name)
{
    const int request = static_cast<int>(m_requests.size());
    m_requests.push_back({ kind, path, Text(name) });
    ++m_outstanding;
    if (kind == FileKind::Scene)
        ++m_scenesOutstanding;
    m_dom.Fetch(request, kind, TextToUtf8(name), m_location.SourceOf(path));
}

void PageContent::Load(std::function<void()> ready)
{
    m_ready = std::move(ready);
    for (const Text& scene : ScenesTheGameOpens())
        Ask(FileKind::Scene, ContentPath(u"txt/", scene, u".dat"), scene);
    // The pictures that the game itself shows come at the same time as the scenes.
    for (const Text& picture : PicturesTheGameShows())
        AskPicture(picture);
    for (const Text& picture : BlinkingPictures())
        AskPicture(picture + Text(kBlinkFrameSuffix));
}

void PageContent::AskPicture(const Text& file)
{
    if (m_pictures.contains(file))
        return;
    m_pictures[file] = FileAnswer::Missing;
    Ask(FileKind::Picture, ContentPath(u"img/", file, u".jpg"), file);
}

void PageContent::AskScenesPictures()
{
    m_scenesRead = true;
    std::set<Text, std::less<>> names(PicturesTheGameShows().begin(), PicturesTheGameShows().end());
    names.insert(m_namedPictures.begin(), m_namedPictures.end());
    for (const Text& name : names)
        AskPicture(name);
    // A scene line ">img _" shows the blink frame of whatever picture is on show.
    if (m_anyBlinkOfCurrent) {
        for (const Text& name : names)
            AskPicture(name + Text(kBlinkFrameSuffix));
    }
}

void PageContent::NotePicturesOf(const std::string& sceneBytes, const std::string& shownName)
{
    TextFiles files;
    try {
        files.OpenBytes(1, sceneBytes, shownName);
        while (!files.AtEnd(1)) {
            const Text line = files.LineInput(1);
            if (ClassifyLine(line) != LineKind::Picture)
                continue;
            const TextView name = PictureNameOf(line);
            if (name == kBlinkFrameSuffix)
                m_anyBlinkOfCurrent = true;
            else if (!name.empty())
                m_namedPictures.insert(Text(name));
        }
    } catch (const RuntimeError&) {
        // A scene that cannot be read reports itself when it is played.
    }
}

void PageContent::FileArrived(int request, FileAnswer answer, std::string bytes)
{
    if (request < 0 || request >= static_cast<int>(m_requests.size()))
        return;
    const Wanted& wanted = m_requests[static_cast<std::size_t>(request)];
    if (wanted.kind == FileKind::Scene) {
        --m_scenesOutstanding;
        m_sceneAnswers[wanted.name] = answer;
        if (answer == FileAnswer::Found) {
            NotePicturesOf(bytes, wanted.path);
            m_scenes[wanted.name] = std::move(bytes);
        }
    } else if (wanted.kind == FileKind::Picture) {
        m_pictures[wanted.name] = answer;
    }
    --m_outstanding;
    if (!m_scenesRead && m_scenesOutstanding == 0)
        AskScenesPictures();
    if (m_outstanding == 0 && m_ready)
        std::exchange(m_ready, nullptr)();
}

std::string PageContent::OpenScene(TextFiles& files, std::int16_t number, TextView name)
{
    const std::string shownName = ContentPath(u"txt/", name, u".dat");
    const auto answer = m_sceneAnswers.find(name);
    if (answer == m_sceneAnswers.end() || answer->second == FileAnswer::Missing)
        throw RuntimeError("シナリオファイルが見つかりません", shownName).InEnglish("scene file not found");
    if (answer->second != FileAnswer::Found)
        throw RuntimeError("ファイルを読めません", shownName).InEnglish("cannot read the file");
    files.OpenBytes(number, m_scenes.find(name)->second, shownName);
    m_dom.SetSceneName(name);
    return shownName;
}

void PageContent::LoadPicture(TextView fileName)
{
    const std::string shownName = ContentPath(u"img/", fileName, u".jpg");
    const auto answer = m_pictures.find(fileName);
    const FileAnswer found = answer == m_pictures.end() ? FileAnswer::Missing : answer->second;
    if (found == FileAnswer::Missing)
        throw RuntimeError("画像ファイルが見つかりません", shownName).InEnglish("picture file not found");
    if (found == FileAnswer::Unreadable)
        throw RuntimeError("画像ファイルを読めません", shownName).InEnglish("cannot read the picture file");
    if (found == FileAnswer::Broken || !m_dom.LoadPictureBuffer(TextToUtf8(fileName))) {
        throw RuntimeError("画像として読み込めません (ブラウザが画像として読めない内容です)", shownName)
            .InEnglish("cannot read the picture: the browser cannot decode it");
    }
}

} // namespace miradel
