// SPDX-License-Identifier: MIT
#include "StoryGraph.h"

#include "game/DaysAndChoices.h"
#include "game/GameState.h"
#include "game/SceneNames.h"
#include "headless/HeadlessView.h"
#include "platform/Random.h"

#include <QProcess>
#include <QStandardPaths>

#include <array>
#include <fstream>

namespace miradel::check {

namespace {

std::string Caption(int index)
{
    return TextToUtf8(kChoiceCaptions.at(static_cast<std::size_t>(index)));
}

// What the game opens after a click, asked of the game's own days and choices with the
// state and the draw given.
class Clicks final : public DaysAndChoicesHost, public RandomSource {
public:
    struct Opened {
        Text scene;
        int day;
    };
    static constexpr int kNextDay = -1;
    static constexpr double kLowDraw = 0.0;
    static constexpr double kHighDraw = 0.99;

    // `usedSlots` lists the choices used up; `lastChoice` the one used up last.
    Opened After(int day, std::vector<int> usedSlots, int lastChoice, int click, double draw)
    {
        GameState game;
        game.day = static_cast<std::uint8_t>(day);
        for (int k = 1; k <= 3; ++k)
            game.choiceSlots[static_cast<std::size_t>(k - 1)] = static_cast<std::int16_t>(k);
        for (const int used : usedSlots)
            game.choiceSlots[static_cast<std::size_t>(used)].reset();
        game.lastChoice = static_cast<std::uint8_t>(lastChoice);
        m_draw = draw;
        DaysAndChoices days(game, m_view, *this, *this);
        if (click == kNextDay)
            days.ComGame_Click();
        else
            days.Com_Click(click);
        return { m_opened, game.day };
    }

private:
    void ShowPicture(TextView) override { }
    void OpenScene(TextView name) override { m_opened = name; }
    double NextUniform() override { return m_draw; }

    HeadlessView m_view;
    Text m_opened;
    double m_draw = kHighDraw;
};

// The days on which the game can have a scene on show.
std::vector<int> DaysOf(TextView scene)
{
    if (scene == u"opn")
        return { 0 };
    if (scene == u"not")
        return { 1, 2, 3 };
    if (scene.starts_with(u"end") || scene == u"3" || (scene.size() == 2 && scene[0] == u'3'))
        return scene == u"3" ? std::vector<int> { 4 } : std::vector<int> { 1, 2, 3, 4 };
    return { scene[0] - u'0' + 1 };
}

// The opening and the scenes a choice opens end with the next-day button; the others with
// the choices.
bool EndsWithNextDay(TextView scene)
{
    return scene == u"opn" || scene.size() == 2;
}

class EdgeList {
public:
    void Add(const Text& from, const Text& to, std::string label)
    {
        for (StoryEdge& edge : m_edges) {
            if (edge.from == from && edge.to == to) {
                edge.labels.push_back(std::move(label));
                return;
            }
        }
        m_edges.push_back({ from, to, { std::move(label) } });
    }

    void NextDay(const Text& from, int day, const std::string& prefix, bool slotsFree)
    {
        const Clicks::Opened next = m_clicks.After(day, {}, 0, Clicks::kNextDay, Clicks::kHighDraw);
        const std::string onDay = prefix + "next day (day " + std::to_string(next.day) + ")";
        Add(from, next.scene, onDay);
        if (slotsFree)
            return;
        if (next.day <= 3) {
            const Clicks::Opened used = m_clicks.After(day, { next.day - 1 }, 0, Clicks::kNextDay, Clicks::kHighDraw);
            if (used.scene != next.scene)
                Add(from, used.scene, onDay + ", its choice used up");
        }
        for (int last = 0; last < 3; ++last) {
            const Clicks::Opened ending = m_clicks.After(day, { 0, 1, 2 }, last, Clicks::kNextDay, Clicks::kHighDraw);
            Add(from, ending.scene, prefix + "next day, all used up, " + Caption(last) + " last");
        }
    }

    void Choices(const Text& from, int day)
    {
        const std::string onDay = " on day " + std::to_string(day);
        for (int i = 0; i <= DaysAndChoices::kFourthChoice; ++i) {
            const Text low = m_clicks.After(day, {}, 0, i, Clicks::kLowDraw).scene;
            const Text high = m_clicks.After(day, {}, 0, i, Clicks::kHighDraw).scene;
            if (low == high) {
                Add(from, low, Caption(i) + onDay);
                continue;
            }
            Add(from, low, Caption(i) + onDay + ", draw 0-30");
            Add(from, high, Caption(i) + onDay + ", draw 31-99");
        }
    }

    std::vector<StoryEdge> Take() { return std::move(m_edges); }

private:
    std::vector<StoryEdge> m_edges;
    Clicks m_clicks;
};

std::string Escaped(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        if (c == '"' || c == '\\')
            escaped += '\\';
        escaped += c;
    }
    return escaped;
}

std::string SvgNameFor(const std::string& file)
{
    const bool dot = file.size() > 4 && file.ends_with(".dot");
    return (dot ? file.substr(0, file.size() - 4) : file) + ".svg";
}

} // namespace

std::vector<StoryEdge> StoryEdges(const GameCheck& check)
{
    EdgeList edges;
    for (const SceneReport& scene : check.scenes) {
        if (!scene.present || scene.lineCount == 0)
            continue;
        switch (scene.walk.ending) {
        case SceneEnding::GameEnd:
            edges.Add(scene.name, u"opn", ">end: new game");
            break;
        case SceneEnding::Loop:
            edges.NextDay(scene.name, 0, ">loop, ", scene.name == u"opn");
            break;
        case SceneEnding::NextOffer:
            for (int day : DaysOf(scene.name)) {
                if (EndsWithNextDay(scene.name))
                    edges.NextDay(scene.name, day, "", scene.name == u"opn");
                else if (day > 0)
                    edges.Choices(scene.name, day);
            }
            break;
        }
    }
    return edges.Take();
}

std::string StoryGraphDot(const GameCheck& check)
{
    std::string dot = "digraph story {\n  rankdir=LR;\n  node [shape=box, fontname=\"IPAPGothic\"];\n"
                      "  edge [fontname=\"IPAPGothic\", fontsize=9];\n";
    for (const SceneReport& scene : check.scenes) {
        const std::string name = Escaped(TextToUtf8(scene.name));
        dot += "  \"" + name + "\"";
        if (!scene.present)
            dot += " [label=\"" + name + "\\n(missing)\", style=dashed, color=red, fontcolor=red]";
        dot += ";\n";
    }
    for (const StoryEdge& edge : StoryEdges(check)) {
        std::string label;
        for (const std::string& line : edge.labels)
            label += (label.empty() ? "" : "\\n") + Escaped(line);
        dot += "  \"" + Escaped(TextToUtf8(edge.from)) + "\" -> \"" + Escaped(TextToUtf8(edge.to)) + "\" [label=\""
            + label + "\"];\n";
    }
    return dot + "}\n";
}

bool WriteStoryGraph(const GameCheck& check, const std::string& file, std::ostream& errors)
{
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << StoryGraphDot(check);
        if (!out) {
            errors << "miradel-check: cannot write the graph to " << file << '\n';
            return false;
        }
    }
    const QString dot = QStandardPaths::findExecutable(QStringLiteral("dot"));
    if (dot.isEmpty())
        return true;
    const QStringList arguments { QStringLiteral("-Tsvg"), QString::fromStdString(file), QStringLiteral("-o"),
        QString::fromStdString(SvgNameFor(file)) };
    if (QProcess::execute(dot, arguments) != 0)
        errors << "miradel-check: Graphviz could not draw " << SvgNameFor(file) << '\n';
    return true;
}

} // namespace miradel::check
