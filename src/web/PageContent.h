// SPDX-License-Identifier: MIT
#pragma once

#include "scenario/LineSource.h"
#include "web/PageDom.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace miradel {

// Where the page finds a file of the game, named as the game names it ("txt/opn.dat"): on the
// server, or in the folder that the player picked.
//
// A static server has no listing, and content made on Windows names its files without regard
// to letter case; so on the server the name as written is tried first, then with its folders
// and its file name each in lower and in upper case. A picked folder lists its files: there
// the one file that matches, exactly or else ignoring case, is taken, as on the desktop.
class GameLocation {
public:
    // The game folder on the server, as an address relative to the page ("" is the page's own).
    static GameLocation OnServer(std::string folder);
    // The files of a picked folder, each as its path below the picked folder ("Game/txt/a.dat").
    static GameLocation Picked(std::vector<std::string> paths);

    FileSource SourceOf(const std::string& relativePath) const;
    // What error reports say of the game folder.
    const std::string& FolderName() const { return m_folderName; }
    void SetFolderName(std::string name) { m_folderName = std::move(name); }

private:
    std::string m_serverFolder;
    bool m_picked = false;
    std::vector<std::string> m_pickedPaths;
    std::string m_pickedRoot; // the game folder inside the picked one, ending in "/" unless empty
    std::string m_folderName;
};

// The addresses to try on a server for a path, in turn, without repeats.
std::vector<std::string> ServerCandidates(const std::string& relativePath);
// The path of a content file: folder & name & extension, its separators (either slash)
// made "/", empty components dropped, as the desktop finds it.
std::string ContentPath(TextView folder, TextView name, TextView extension);
// Letter case folded for comparing names (ASCII, Latin-1 and full-width letters).
std::string FoldCase(const std::string& utf8);

// The game's scenes and pictures, fetched before the game starts: scenes are opened and
// pictures painted at once inside a step, while a browser answers only later. Every scene
// the game opens, every picture that it or a scene names, and the blink frames.
class PageContent final : public LineSource {
public:
    PageContent(PageDom& dom, GameLocation location);

    // Asks for everything; `ready` runs once all has come back, found or not.
    void Load(std::function<void()> ready);
    void FileArrived(int request, FileAnswer answer, std::string bytes);

    std::string OpenScene(TextFiles& files, std::int16_t number, TextView name) override;
    // Loads the picture `fileName` into the buffer; missing or unreadable is a RuntimeError.
    void LoadPicture(TextView fileName);

    const GameLocation& Location() const { return m_location; }
    // The pictures asked for, for the record.
    std::size_t PicturesWanted() const { return m_pictures.size(); }

private:
    struct Wanted {
        FileKind kind;
        std::string path;
        Text name;
    };
    void Ask(FileKind kind, const std::string& path, TextView name);
    void AskPicture(const Text& file);
    // Once every scene is in: the pictures that they name.
    void AskScenesPictures();
    void NotePicturesOf(const std::string& sceneBytes, const std::string& shownName);

    PageDom& m_dom;
    GameLocation m_location;
    std::function<void()> m_ready;
    std::vector<Wanted> m_requests;
    int m_outstanding = 0;
    int m_scenesOutstanding = 0;
    bool m_scenesRead = false;
    std::map<Text, std::string, std::less<>> m_scenes;
    std::map<Text, FileAnswer, std::less<>> m_sceneAnswers;
    std::map<Text, FileAnswer, std::less<>> m_pictures;
    std::set<Text, std::less<>> m_namedPictures;
    bool m_anyBlinkOfCurrent = false;
};

} // namespace miradel
