// SPDX-License-Identifier: MIT
#include "Playtest.h"

#include "app/SceneFolder.h"
#include "game/Game.h"
#include "game/SceneNames.h"
#include "headless/HeadlessView.h"
#include "platform/ContentFiles.h"
#include "platform/Random.h"
#include "platform/RuntimeError.h"

#include <filesystem>

#include <random>
#include <vector>

namespace miradel::check {

namespace {

// Far more clicks than any sensible game needs; a game that uses them all is reported.
constexpr long long kMaxEventsPerGame = 200000;
constexpr TextView kOpeningShownName = u"txt/opn.dat";

// The game's folders, as the window sets them at start-up.
struct GameFolders {
    explicit GameFolders(const Text& folder)
        : appDir(folder.empty() || folder.back() == u'/' ? folder : folder + u'/')
        , imgDir(appDir + u"img/")
        , txtDir(appDir + u"txt/")
    {
    }
    Text appDir;
    Text imgDir;
    Text txtDir;
};

// A picture is there when its file is; decoding it is the file checks' business.
void FindPicture(const GameFolders& folders, TextView fileName)
{
    const ContentFile file = LocateContentFile(folders.imgDir, fileName, u".jpg", folders.appDir);
    std::error_code error;
    if (!std::filesystem::is_regular_file(file.path, error))
        throw RuntimeError("画像ファイルが見つかりません", file.shownName).InEnglish("picture file not found");
}

class OneGame {
public:
    OneGame(const GameFolders& folders, std::uint64_t seed, PlaytestResult& result)
        : m_view([&folders](TextView fileName) { FindPicture(folders, fileName); })
        , m_scenes(folders.txtDir, folders.appDir)
        , m_random(seed)
        , m_picker(seed ^ 0x9E3779B97F4A7C15ULL)
        , m_game(m_view, m_scenes, m_random)
        , m_result(result)
    {
    }

    std::string Play()
    {
        try {
            m_game.NewGame();
            Observe(Click::None);
            for (long long event = 0; event < kMaxEventsPerGame; ++event) {
                if (!m_outcome.empty())
                    return m_outcome;
                if (!NextEvent())
                    return "stopped: no button to click after " + m_scene;
            }
            return "stopped: no ending after " + std::to_string(kMaxEventsPerGame) + " clicks";
        } catch (const RuntimeError& error) {
            return "fatal error: " + error.Report();
        }
    }

private:
    enum class Click { None, Message, NextDay, Choice };

    bool NextEvent()
    {
        if (m_view.messageVisible) {
            m_game.Lbl_Click();
            Observe(Click::Message);
            return true;
        }
        if (m_view.nextDayVisible) {
            m_game.ComGame_Click();
            Observe(Click::NextDay);
            return true;
        }
        std::vector<int> offered;
        for (int i = 0; i <= DaysAndChoices::kFourthChoice; ++i) {
            if (m_view.choiceVisible[static_cast<std::size_t>(i)])
                offered.push_back(i);
        }
        if (offered.empty())
            return false;
        const int index = offered[std::uniform_int_distribution<std::size_t>(0, offered.size() - 1)(m_picker)];
        m_result.picturesShown.insert(index == 3 ? Text(u"4") : DecimalText(index));
        m_game.Com_Click(index);
        Observe(Click::Choice);
        return true;
    }

    // Scenes change only through a click on a button or a new game; line numbers only grow
    // within one visit, so a smaller one is the opening of a new game.
    void Observe(Click click)
    {
        const std::string scene = m_game.player.SceneShownName();
        const long long line = m_game.player.CurrentLineNumber();
        const bool buttonClick = click == Click::NextDay || click == Click::Choice;
        const bool newVisit = scene != m_scene || line < m_line || buttonClick;
        const bool restarted = click != Click::None && newVisit && scene == TextToUtf8(kOpeningShownName);
        if (restarted && buttonClick)
            m_result.restartsUnseen = true;
        if (newVisit && IsEnding(m_scene))
            m_outcome = SceneName(m_scene);
        else if (IsEnding(scene) && !m_game.player.SceneOpen())
            m_outcome = SceneName(scene);
        else if (restarted)
            m_outcome = "restarted by \">end\" before an ending";
        m_scene = scene;
        m_line = line;
        m_result.scenesReached.insert(scene);
        if (restarted || click == Click::None)
            m_result.picturesShown.insert(u"ttl");
        else if (click == Click::NextDay)
            m_result.picturesShown.insert(scene == "txt/not.dat" ? Text(u"ttl") : TextFromUtf8(SceneName(scene)));
    }

    static std::string SceneName(const std::string& shown)
    {
        const std::size_t slash = shown.rfind('/');
        const std::size_t dot = shown.rfind('.');
        return shown.substr(slash + 1, dot - slash - 1);
    }

    static bool IsEnding(const std::string& shown) { return SceneName(shown).starts_with("end"); }

    HeadlessView m_view;
    SceneFolder m_scenes;
    SeededRandom m_random;
    std::mt19937_64 m_picker;
    Game m_game;
    PlaytestResult& m_result;
    std::string m_scene;
    long long m_line = 0;
    std::string m_outcome;
};

void Summarise(const GameCheck& check, PlaytestResult& result)
{
    for (const SceneReport& scene : check.scenes) {
        if (!scene.present)
            continue;
        const bool restartsAtOnce = scene.walk.gameEndInFirstStep > 0 && scene.name != u"opn";
        if (result.scenesReached.contains(scene.shownName) || (restartsAtOnce && result.restartsUnseen)) {
            for (const PictureUse& use : scene.walk.pictures)
                result.picturesShown.insert(use.name);
            continue;
        }
        result.scenesNeverReached.push_back(scene.shownName);
        result.linesNeverReached += scene.walk.lastReachedLine;
    }
    for (const Text& picture : PicturesTheGameShows()) {
        if (!result.picturesShown.contains(picture))
            result.picturesNeverShown.push_back(picture);
    }
}

} // namespace

PlaytestResult RunPlaytest(const Text& gameFolder, const GameCheck& check, long long games, std::uint64_t seed)
{
    PlaytestResult result;
    const GameFolders folders(gameFolder);
    for (long long k = 0; k < games; ++k) {
        OneGame game(folders, seed + static_cast<std::uint64_t>(k), result);
        ++result.outcomes[game.Play()];
        ++result.games;
    }
    Summarise(check, result);
    return result;
}

void PrintPlaytest(const PlaytestResult& result, std::ostream& out)
{
    out << "playtest: " << result.games << " game(s)\n";
    for (const auto& [outcome, count] : result.outcomes)
        out << "playtest: ended " << outcome << ": " << count << " (" << count * 100 / result.games << "%)\n";
    for (const std::string& scene : result.scenesNeverReached)
        out << "playtest: never reached: " << scene << '\n';
    for (const Text& picture : result.picturesNeverShown)
        out << "playtest: never shown: img/" << TextToUtf8(picture) << ".jpg\n";
    out << "playtest: lines never reached: " << result.linesNeverReached << '\n';
}

} // namespace miradel::check
