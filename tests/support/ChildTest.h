// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <map>
#include <string>

namespace miradel::test {

// Conditions that hold only from a process's start (the screens' scale, the locale) are tested
// in disabled tests of this binary, run in a child with the environment they need.
struct ChildOutcome {
    int exitCode = -1;
    std::string output; // stdout and stderr together
};

// Runs the disabled tests matching `filter` with `environment` added; a value of "" removes it.
inline ChildOutcome RunChildTests(const std::string& filter, const std::map<std::string, std::string>& environment)
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
        { "--gtest_also_run_disabled_tests", "--gtest_filter=" + QString::fromStdString(filter) });
    // A generous limit: a sanitizer build starts slowly. A child killed here has no exit code.
    if (!child.waitForFinished(180000))
        child.kill();
    child.waitForFinished(10000);
    ChildOutcome outcome { -1, child.readAll().toStdString() };
    // A filter that matches no test would pass without testing anything.
    if (child.exitStatus() == QProcess::NormalExit && outcome.output.find("PASSED  ] 0 tests") == std::string::npos)
        outcome.exitCode = child.exitCode();
    return outcome;
}

} // namespace miradel::test
