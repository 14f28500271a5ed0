#include "StoryGraph.h"

#include <QProcess>
#include <QStandardPaths>

#include <array>
#include <fstream>

namespace miradel::check {

namespace {

constexpr std::array<const char*, 4> kChoiceCaptions { "白銀の雲", "黄金の月", "なにもない", "真珠色" };

Text Digits(int first, int second)
{
    return Text { static_cast<char16_t>(u'0' + first), static_cast<char16_t>(u'0' + second) };
}

Text Digit(int value)
{
    return Text(1, static_cast<char16_t>(u'0' + value));
}

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
        const int next = day % 4 + 1;
        const std::string onDay = prefix + "next day (day " + std::to_string(next) + ")";
        if (next == 4) {
            Add(from, u"3", onDay);
        } else {
            Add(from, Digit(next - 1), onDay);
            if (!slotsFree)
                Add(from, u"not", onDay + ", its choice used up");
        }
        if (!slotsFree) {
            for (int last = 0; last < 3; ++last)
                Add(from, u"end" + Digit(last), prefix + "next day, all used up, " + kChoiceCaptions[last] + " last");
        }
    }

    void Choices(const Text& from, int day)
    {
        const std::string onDay = " on day " + std::to_string(day);
        for (int i = 0; i < 4; ++i) {
            const std::string caption = kChoiceCaptions[static_cast<std::size_t>(i)];
            const int low = i == 3 ? 3 : i;
            Add(from, Digits(3, low), caption + onDay + (day == 4 ? "" : ", draw 0-30"));
            if (day != 4)
                Add(from, Digits(day - 1, i), caption + onDay + ", draw 31-99");
        }
    }

    std::vector<StoryEdge> Take() { return std::move(m_edges); }

private:
    std::vector<StoryEdge> m_edges;
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
        dot += "  \"" + Escaped(TextToUtf8(edge.from)) + "\" -> \"" + Escaped(TextToUtf8(edge.to)) + "\" [label=\"" + label
            + "\"];\n";
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
