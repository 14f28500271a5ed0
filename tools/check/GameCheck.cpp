// SPDX-License-Identifier: MIT
#include "GameCheck.h"

#include "ContentLookup.h"
#include "FileChecks.h"
#include "LineSpelling.h"
#include "SceneSource.h"
#include "game/SceneNames.h"
#include "platform/RuntimeError.h"

#include <array>
#include <set>

namespace miradel::check {

namespace {

constexpr long long kPictureNameColumn = 6;

std::string Quoted(TextView text)
{
    return "\"" + QuoteLine(text) + "\"";
}

class GameChecker {
public:
    GameChecker(const Text& gameFolder, const PageMeasure* measure, GameCheck& result)
        : m_lookup(gameFolder)
        , m_measure(measure)
        , m_result(result)
        , m_findings(result.findings)
    {
    }

    void Run()
    {
        for (const Text& scene : ScenesTheGameOpens())
            CheckScene(scene);
        for (const Text& picture : PicturesTheGameShows())
            CheckGamePicture(picture, "the game shows it");
        for (const Text& picture : BlinkingPictures())
            CheckGamePicture(picture + Text(kBlinkFrameSuffix),
                "the blink frame of picture " + Quoted(picture) + "; the game ends at its first blink");
        CheckMusic();
        ReportUnused(
            u"txt/", "nothing in the game opens this file; the scenes are opn, not, 0 to 3, end0 to end2 and 00 to 33");
        ReportUnused(u"img/", "nothing in the game shows this picture");
    }

private:
    // Reports a file that is missing or matches only ignoring case; true when it is there.
    bool Found(const ContentFile& located, const std::string& what, const std::string& place, long long line,
        long long column, Severity missing)
    {
        switch (located.match) {
        case ContentMatch::Exact:
            return true;
        case ContentMatch::IgnoringCase:
            m_findings.Warning(place, line, column,
                what + " matches the file " + located.foundName + " only when letter case is ignored, as on Windows; "
                    + (line > 0 ? std::string("write the name as the file is named")
                                : "rename the file to " + located.shownName));
            return true;
        case ContentMatch::Ambiguous:
        case ContentMatch::Missing:
            break;
        }
        m_findings.Add({ missing, place, line, column, what + " is missing: " + located.shownName });
        return false;
    }

    void CheckScene(const Text& name)
    {
        SceneReport report;
        report.name = name;
        const ContentFile& located = m_lookup.Locate(u"txt/", name, u".dat");
        report.shownName = located.shownName;
        const std::string what = "scene " + Quoted(name) + ", which the game opens " + WhenTheGameOpens(name) + ",";
        if (Found(located, what, located.shownName, 0, 0, Severity::Error)) {
            report.present = true;
            CheckSceneLines(report, located.path);
        }
        m_result.scenes.push_back(std::move(report));
    }

    void CheckSceneLines(SceneReport& report, const std::filesystem::path& path)
    {
        const SceneSource source = ReadSceneSource(path, report.shownName, m_findings);
        if (!source.readable)
            return;
        report.lineCount = static_cast<long long>(source.lines.size());
        if (source.lines.empty()) {
            m_findings.Error(report.shownName, 0, 0, "the scene file holds no line; the game ends when it opens it");
            return;
        }
        for (std::size_t i = 0; i < source.lines.size(); ++i)
            CheckLineSpelling(source.lines[i], report.shownName, static_cast<long long>(i) + 1, m_findings);
        report.walk = WalkScene(source.lines, report.shownName, m_measure, m_findings);
        if (report.name == u"opn" && report.walk.gameEndInFirstStep > 0) {
            m_findings.Error(report.shownName, report.walk.gameEndInFirstStep, 1,
                "the opening meets \">end\" before it shows anything, so the game would restart forever");
        }
        if (report.name.starts_with(u"end") && report.walk.ending == SceneEnding::NextOffer) {
            const long long line = report.walk.endLine > 0 ? report.walk.endLine : report.lineCount;
            m_findings.Warning(report.shownName, line, 1,
                "the ending ends with the choices, but every choice is used up by then: unless 真珠色 is open no "
                "button is left and the game stands still; end it with \">end\" to start a new game");
        }
        for (const PictureUse& use : report.walk.pictures)
            CheckScenePicture(use, report.shownName);
    }

    void CheckScenePicture(const PictureUse& use, const std::string& scene)
    {
        // The empty name repaints the picture on show; "_" is the blink frame of whatever
        // picture is on show, which depends on the path through the game.
        if (use.name.empty() || use.name == kBlinkFrameSuffix)
            return;
        if (use.name.find(u'\0') != Text::npos) {
            m_findings.Error(scene, use.line, kPictureNameColumn,
                "the picture name " + Quoted(use.name)
                    + " holds a NUL byte, which no file name can hold; the game ends here");
            return;
        }
        if (use.name.find(u'\\') != Text::npos) {
            m_findings.Warning(scene, use.line, kPictureNameColumn,
                "the picture name " + Quoted(use.name)
                    + " has a backslash, which only Windows takes as a folder separator; use \"/\"");
        }
        const ContentFile& located = m_lookup.Locate(u"img/", use.name, u".jpg");
        std::string what = "picture " + Quoted(use.name);
        if (use.name.size() > 4 && TextToUtf8(use.name.substr(use.name.size() - 4)) == ".jpg")
            what += " (names are written without \".jpg\")";
        if (Found(located, what, scene, use.line, kPictureNameColumn, Severity::Error))
            CheckPictureFile(located);
    }

    void CheckGamePicture(const Text& name, const std::string& why)
    {
        const ContentFile& located = m_lookup.Locate(u"img/", name, u".jpg");
        if (Found(located, "picture " + Quoted(name) + " (" + why + ")", located.shownName, 0, 0, Severity::Error))
            CheckPictureFile(located);
    }

    void CheckPictureFile(const ContentFile& located)
    {
        if (!m_decoded.insert(located.shownName).second)
            return;
        const PictureVerdict verdict = CheckPicture(located.path, located.shownName);
        if (verdict.fatal)
            m_findings.Error(located.shownName, 0, 0, verdict.problem + "; the game ends when it shows it");
        else if (!verdict.problem.empty())
            m_findings.Warning(located.shownName, 0, 0, verdict.problem);
    }

    void CheckMusic()
    {
        const ContentFile& located = m_lookup.Locate(u"", u"bgm.wav", u"");
        if (!Found(located, "the music file, which plays for the whole game,", "bgm.wav", 0, 0, Severity::Warning))
            return;
        const std::string problem = MusicProblem(located.path);
        if (!problem.empty())
            m_findings.Warning(located.shownName, 0, 0, "the music does not play: " + problem);
    }

    void ReportUnused(TextView folder, const std::string& message)
    {
        for (const std::string& file : m_lookup.UnusedFiles(folder))
            m_findings.Warning(file, 0, 0, message);
    }

    ContentLookup m_lookup;
    const PageMeasure* m_measure;
    GameCheck& m_result;
    Findings& m_findings;
    std::set<std::string> m_decoded;
};

} // namespace

std::string WhenTheGameOpens(TextView scene)
{
    if (scene == u"opn")
        return "at every new game";
    if (scene == u"not")
        return "on a day whose choice is used up";
    if (scene.size() == 1)
        return "on day " + std::to_string(scene[0] - u'0' + 1);
    if (scene.starts_with(u"end"))
        return std::string("as the ending when ")
            + TextToUtf8(kChoiceCaptions.at(static_cast<std::size_t>(scene[3] - u'0'))) + " was used up last";
    const std::size_t day = static_cast<std::size_t>(scene[0] - u'0');
    const std::string caption = TextToUtf8(kChoiceCaptions.at(static_cast<std::size_t>(scene[1] - u'0')));
    if (day == 3)
        return "after " + caption + " with a draw of 0 to 30, and on day 4";
    return "after " + caption + " on day " + std::to_string(day + 1) + " with a draw of 31 to 99";
}

GameCheck CheckGame(const Text& gameFolder, const PageMeasure* measure)
{
    GameCheck result;
    std::error_code error;
    const std::filesystem::path folder = PathFromText(gameFolder);
    result.folderReadable = std::filesystem::is_directory(folder, error);
    if (result.folderReadable) {
        std::filesystem::directory_iterator probe(folder, error);
        result.folderReadable = !error;
    }
    if (result.folderReadable)
        GameChecker(gameFolder, measure, result).Run();
    return result;
}

} // namespace miradel::check
