#include "Playtest.h"

#include "app/Frm.h"
#include "game/SceneNames.h"
#include "music/MusicProcedures.h"
#include "platform/FatalError.h"
#include "platform/Random.h"

#include <random>
#include <vector>

namespace miradel::check {

namespace {

// Far more clicks than any sensible game needs; a game that uses them all is reported.
constexpr long long kMaxEventsPerGame = 200000;
constexpr TextView kOpeningShownName = u"txt/opn.dat";

class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(std::uint64_t seed)
        : m_engine(seed)
    {
    }
    double NextUniform() override { return m_uniform(m_engine); }

private:
    std::mt19937_64 m_engine;
    std::uniform_real_distribution<double> m_uniform { 0.0, 1.0 };
};

// No sound device: every command fails quietly, as the service does without a file.
class SilentMediaControl final : public MediaControl {
public:
    MediaResult SendString(const char*, char*, std::size_t) override { return MediaResult::NotOpen; }
};

class OneGame {
public:
    OneGame(const Text& folder, std::uint64_t seed, PlaytestResult& result)
        : m_random(seed)
        , m_picker(seed ^ 0x9E3779B97F4A7C15ULL)
        , m_frm(folder, m_random)
        , m_result(result)
    {
    }

    std::string Play()
    {
        try {
            m_frm.Form_Load();
            m_frm.Form_Activate();
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
        if (m_frm.Lbl.Visible()) {
            m_frm.Lbl_Click();
            Observe(Click::Message);
            return true;
        }
        if (m_frm.ComGame.Visible()) {
            m_frm.ComGame_Click();
            Observe(Click::NextDay);
            return true;
        }
        std::vector<int> offered;
        for (int i = 0; i <= m_frm.Com.UBound(); ++i) {
            if (m_frm.Com(i).Visible())
                offered.push_back(i);
        }
        if (offered.empty())
            return false;
        const int index = offered[std::uniform_int_distribution<std::size_t>(0, offered.size() - 1)(m_picker)];
        m_result.picturesShown.insert(index == 3 ? Text(u"4") : DecimalText(index));
        m_frm.Com_Click(index);
        Observe(Click::Choice);
        return true;
    }

    // Scenes change only through a click on a button or a new game; line numbers only grow
    // within one visit, so a smaller one is the opening of a new game.
    void Observe(Click click)
    {
        const std::string scene = m_frm.game.player.SceneShownName();
        const long long line = m_frm.game.player.CurrentLineNumber();
        const bool buttonClick = click == Click::NextDay || click == Click::Choice;
        const bool newVisit = scene != m_scene || line < m_line || buttonClick;
        const bool restarted = click != Click::None && newVisit && scene == TextToUtf8(kOpeningShownName);
        if (restarted && buttonClick)
            m_result.restartsUnseen = true;
        if (newVisit && IsEnding(m_scene))
            m_outcome = SceneName(m_scene);
        else if (IsEnding(scene) && !m_frm.game.player.SceneOpen())
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

    SeededRandom m_random;
    std::mt19937_64 m_picker;
    Frm m_frm;
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
    SilentMediaControl silence;
    UseMediaControl(silence);
    SetEndProgramHandler([](int) {});
    SetFatalErrorHandler([](const RuntimeError&) {});
    for (long long k = 0; k < games; ++k) {
        OneGame game(gameFolder, seed + static_cast<std::uint64_t>(k), result);
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
