// SPDX-License-Identifier: MIT
// miradel-check [--werror] [--graph FILE] [--playtest N [--seed S]] [GAME_FOLDER]
//
// Lists, as "file:line:column: error|warning: message", everything in a game folder that
// would end the game or look wrong when it is played. Exit status: 0 without errors, 1 with
// errors (or warnings under --werror), 2 when the folder cannot be read or the command line
// is wrong.

#include "CommandLine.h"
#include "GameCheck.h"
#include "MessageAreaMeasure.h"
#include "Playtest.h"
#include "StoryGraph.h"
#include "platform/Fonts.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace {

// The checker speaks only through its findings: Qt's own notes (font fallbacks, decoder
// warnings about a broken picture) would be noise between them.
void DropQtMessages(QtMsgType, const QMessageLogContext&, const QString&)
{
}

miradel::Text GameFolderText(const std::string& argument)
{
    std::error_code error;
    std::filesystem::path folder = std::filesystem::absolute(argument, error);
    std::string text = folder.lexically_normal().generic_string();
    if (text.empty() || text.back() != '/')
        text += '/';
    return miradel::TextFromUtf8(text);
}

int Report(const miradel::check::GameCheck& check, bool warningsFail)
{
    for (const miradel::check::Finding& finding : check.findings.Sorted())
        std::cout << miradel::check::FormatFinding(finding) << '\n';
    const std::size_t errors = check.findings.ErrorCount();
    const std::size_t warnings = check.findings.WarningCount();
    if (errors + warnings > 0)
        std::cerr << "miradel-check: " << errors << " error(s), " << warnings << " warning(s)\n";
    return errors > 0 || (warningsFail && warnings > 0) ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace miradel::check;
    CommandLine options;
    std::string problem;
    if (!ParseCommandLine(argc, argv, options, problem)) {
        std::cerr << "miradel-check: " << problem << " (see miradel-check --help)\n";
        return 2;
    }
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    if (options.version) {
        std::cout << "miradel-check " MIRADEL_VERSION "\n";
        return 0;
    }
    // No window is ever shown and no sound is ever played.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    qInstallMessageHandler(DropQtMessages);
    QApplication application(argc, argv);
    miradel::ChooseJapaneseInterfaceFont();

    const miradel::Text folder = GameFolderText(options.gameFolder);
    const MessageAreaMeasure measure;
    const GameCheck check = CheckGame(folder, &measure);
    if (!check.folderReadable) {
        std::cerr << "miradel-check: cannot read the game folder " << options.gameFolder << '\n';
        return 2;
    }
    int status = Report(check, options.warningsFail);
    if (!options.graphFile.empty() && !WriteStoryGraph(check, options.graphFile, std::cerr))
        status = 2;
    if (options.playtestGames > 0)
        PrintPlaytest(RunPlaytest(folder, check, options.playtestGames, options.seed), std::cout);
    std::cout.flush();
    return status;
}
