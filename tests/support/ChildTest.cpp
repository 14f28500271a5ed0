// SPDX-License-Identifier: MIT
#include "support/ChildTest.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

namespace miradel::test {

ChildOutcome RunChildTests(const std::string& filter, const std::map<std::string, std::string>& environment)
{
    QProcessEnvironment childEnvironment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : environment) {
        if (value.empty())
            childEnvironment.remove(QString::fromStdString(name));
        else
            childEnvironment.insert(QString::fromStdString(name), QString::fromStdString(value));
    }
    QProcess child;
    child.setProcessEnvironment(childEnvironment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
        { QStringLiteral("--gtest_also_run_disabled_tests"),
            QStringLiteral("--gtest_filter=") + QString::fromStdString(filter) });
    ChildOutcome outcome;
    // A generous limit: a sanitizer build starts slowly.
    if (!child.waitForFinished(180000)) {
        child.kill();
        child.waitForFinished(10000);
        outcome.output = "the child did not finish in time\n";
    }
    outcome.output += child.readAll().toStdString();
    if (child.exitStatus() == QProcess::NormalExit)
        outcome.exitCode = child.exitCode();
    return outcome;
}

} // namespace miradel::test
